// The spreadsheet export.
#include "export/SpreadsheetExport.h"

#include <algorithm>
#include <memory>

namespace {

// Spreadsheet cells get the subitems without "=", so that none is taken for a formula.
Text WithoutEquals(Text text) {
    std::erase(text, u'=');
    return text;
}

}  // namespace

std::size_t WriteTickedRowsToWorkbook(StepRunner& steps, const RowTable& results,
                                      AutomationObject& workbook, EventPump& pump) {
    // Taken where the first caption needs it; without it nothing can be written.
    std::unique_ptr<AutomationObject> sheet;
    if (!steps.Run(124, [&] { sheet = workbook.Get(u"ActiveSheet"); })) {
        return 0;
    }
    std::size_t unwritten = 0;
    const auto cell = [&](std::int32_t row, std::int32_t column) {
        return sheet->Get(u"cells", {row, column});
    };
    std::int32_t sheetColumn = 1;
    const int columns = results.ColumnCount();
    for (int column = 1; column <= columns && !steps.CommandEnded(); ++column) {
        steps.Run(122, [&] { pump.Pump(); });
        if (!steps.Run(124,
                       [&] { cell(1, sheetColumn)->PutDefault(results.ColumnHeader(column)); })) {
            ++unwritten;
        }
        // The next caption goes to the next column, after a failed one too.
        ++sheetColumn;
        // A caption that the user stopped waiting for asks nothing more of the application.
        if (!steps.CommandEnded()) {
            steps.Run(134, [&] { sheet->Get(u"Columns", {column})->Call(u"Autofit"); });
        }
    }
    std::int32_t sheetRow = 2;
    const std::size_t rows = results.RowCount();
    for (std::size_t row = 1; row <= rows && !steps.CommandEnded(); ++row) {
        steps.Run(142, [&] { pump.Pump(); });
        if (steps.Check(144, [&] { return results.Checked(row); })) {
            sheetColumn = 1;
            const int rowColumns = results.ColumnCount();
            for (int column = 1; column <= rowColumns && !steps.CommandEnded(); ++column) {
                steps.Run(150, [&] { pump.Pump(); });
                const int line = column == 1 ? 152 : 158;
                if (!steps.Run(line, [&] {
                        Text value = column == 1 ? results.MainText(row)
                                                 : WithoutEquals(results.SubItem(row, column - 1));
                        cell(sheetRow, sheetColumn)->Put(u"Value", std::move(value));
                    })) {
                    ++unwritten;
                }
                ++sheetColumn;
            }
        }
        ++sheetRow;
    }
    if (!steps.CommandEnded()) {
        steps.Run(168, [&] { sheet->Get(u"Columns")->Call(u"Autofit"); });
    }
    return unwritten;
}

Text UnwrittenCellsNote(std::size_t cells) {
    return Counted(cells, u"cell could not be written in the workbook: it is empty.",
                   u"cells could not be written in the workbook: they are empty.");
}
