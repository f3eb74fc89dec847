// The spreadsheet export: the ticked results rows written into a new workbook by automation.
#pragma once

#include "core/RowTable.h"
#include "core/Steps.h"
#include "ports/Automation.h"
#include "ports/EventPump.h"

// The spreadsheet application's registered name.
inline constexpr TextView kSpreadsheetProgId = u"Excel.Application";

// Captions in sheet row 1, then ticked results row r in sheet row r + 1, each cell a numbered
// step of steps, on the workbook's active sheet. Stops early when the sheet cannot be had (with
// one report) or the command has ended. Answers how many cells could not be written.
std::size_t WriteTickedRowsToWorkbook(StepRunner& steps, const RowTable& results,
                                      AutomationObject& workbook, EventPump& pump);

// The note at the end of an export that left cells empty.
[[nodiscard]] Text UnwrittenCellsNote(std::size_t cells);
