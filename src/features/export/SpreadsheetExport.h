// The spreadsheet export: the ticked results rows written into a new workbook by automation.
#pragma once

#include <memory>

#include "core/RowTable.h"
#include "core/Steps.h"
#include "ports/Automation.h"
#include "ports/EventPump.h"

// The spreadsheet application's registered name.
inline constexpr TextView kSpreadsheetProgId = u"Excel.Application";

// The object a step needs, or the failure that an earlier failed step left behind.
AutomationObject& RequireSpreadsheetObject(const std::unique_ptr<AutomationObject>& object,
                                           TextView what);

// Captions in sheet row 1, then ticked results row r in sheet row r + 1, each cell a numbered
// step of steps. Stops early only when the spreadsheet application has gone.
void WriteTickedRowsToWorkbook(StepRunner& steps, const RowTable& results,
                               const std::unique_ptr<AutomationObject>& workbook, EventPump& pump);
