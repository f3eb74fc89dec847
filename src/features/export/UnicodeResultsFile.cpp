// The results as UTF-8 CSV or tab-separated text.
#include "export/UnicodeResultsFile.h"

#include "core/Delimited.h"

namespace {

constexpr TextView kLineEnd = u"\r\n";

}  // namespace

std::string UnicodeResultsFileBytes(const RowTable& table, ResultsFileType type) {
    Text text;
    if (type == ResultsFileType::Csv) {
        const auto appendLine = [&](auto cellAt) {
            for (int column = 1; column <= table.ColumnCount(); ++column) {
                if (column != 1) {
                    text += u',';
                }
                AppendDelimitedCell(text, cellAt(column), u',');
            }
            text += kLineEnd;
        };
        appendLine([&](int column) -> TextView { return table.ColumnHeader(column); });
        for (std::size_t row = 1; row <= table.RowCount(); ++row) {
            const auto cells = table.RowCells(row);
            appendLine([&](int column) -> TextView {
                return cells[static_cast<std::size_t>(column - 1)];
            });
        }
    } else {
        for (std::size_t row = 1; row <= table.RowCount(); ++row) {
            for (const Text& cell : table.RowCells(row)) {
                text += cell;
                text += u'\t';
            }
            text += kLineEnd;
        }
    }
    return std::string(kUtf8ByteOrderMark) + TextToUtf8(text);
}
