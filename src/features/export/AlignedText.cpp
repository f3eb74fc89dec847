// Aligned text of the ticked results rows.
#include "export/AlignedText.h"

#include <algorithm>
#include <vector>

namespace {

const Text& Cell(const RowTable& table, std::size_t row, int column) {
    return table.RowCells(row)[static_cast<std::size_t>(column - 1)];
}

}  // namespace

Text RenderAlignedText(const RowTable& table, EventPump& pump) {
    const int columns = table.ColumnCount();
    std::vector<std::size_t> widths;
    std::size_t ticked = 0;
    // The last cells are never padded: the text holds just their own lengths.
    std::size_t lastCellsLength = 0;
    for (int column = 1; column <= columns; ++column) {
        std::size_t widest = 0;
        const std::size_t rows = table.RowCount();
        for (std::size_t row = 1; row <= rows; ++row) {
            pump.Pump();
            const std::size_t length = Cell(table, row, column).size();
            widest = std::max(widest, length);
            if (table.Checked(row)) {
                ticked += column == 1 ? 1 : 0;
                lastCellsLength += column == columns ? length : 0;
            }
        }
        widths.push_back(widest);
    }
    // Each ticked line: the padded cells but the last, each with its tab, then CR LF.
    std::size_t paddedLength = 2;
    for (int column = 1; column < columns; ++column) {
        paddedLength += widths[static_cast<std::size_t>(column - 1)] + 1;
    }
    Text text;
    text.reserve(ticked * paddedLength + lastCellsLength);
    const std::size_t rows = table.RowCount();
    for (std::size_t row = 1; row <= rows; ++row) {
        pump.Pump();
        if (!table.Checked(row)) {
            continue;
        }
        for (int column = 1; column <= columns; ++column) {
            pump.Pump();
            const Text& cell = Cell(table, row, column);
            text += cell;
            if (column == columns) {
                break;  // the last cell goes without padding or tab
            }
            // A cell that grew since it was measured goes in unpadded.
            const std::size_t width = widths[static_cast<std::size_t>(column - 1)];
            text.append(width > cell.size() ? width - cell.size() : 0, u' ');
            text += u'\t';
        }
        text.erase(text.find_last_not_of(u' ') + 1);
        text += kLineEnd;
    }
    return text;
}
