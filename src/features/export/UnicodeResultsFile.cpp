// The results as UTF-8 CSV or tab-separated text.
#include "export/UnicodeResultsFile.h"

#include <algorithm>

#include "core/Delimited.h"

std::size_t CharactersLostInAnsi(const RowTable& table, SaveFiles& files) {
    std::size_t lost = 0;
    for (std::size_t row = 1; row <= table.RowCount(); ++row) {
        for (const Text& cell : table.RowCells(row)) {
            // ASCII is the same in every ANSI code page: only other cells are asked about.
            if (std::any_of(cell.begin(), cell.end(), [](char16_t unit) { return unit >= 0x80; })) {
                lost += files.CountUnwritableInAnsi(cell);
            }
        }
    }
    return lost;
}

std::size_t CharactersLostInAnyEncoding(const RowTable& table) {
    std::size_t lost = 0;
    for (std::size_t row = 1; row <= table.RowCount(); ++row) {
        for (const Text& cell : table.RowCells(row)) {
            lost += CountLoneSurrogates(cell);
        }
    }
    return lost;
}

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
                if (type == ResultsFileType::TabSeparated) {
                    AppendTabSeparatedCell(text, TextView(cell));
                } else {
                    text += cell;
                }
                text += u'\t';
            }
            text += kLineEnd;
        }
    }
    return std::string(kUtf8ByteOrderMark) + TextToUtf8(text);
}
