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
    for (int column = 1; column <= columns; ++column) {
        std::size_t widest = 0;
        const std::size_t rows = table.RowCount();
        for (std::size_t row = 1; row <= rows; ++row) {
            pump.Pump();
            widest = std::max(widest, Cell(table, row, column).size());
            ticked += column == 1 && table.Checked(row) ? 1 : 0;
        }
        widths.push_back(widest);
    }
    Text text;
    std::size_t lineLength = 2;
    for (const std::size_t width : widths) {
        lineLength += width + 1;
    }
    text.reserve(ticked * lineLength);
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
            // A cell that grew since it was measured goes in unpadded.
            const std::size_t width = widths[static_cast<std::size_t>(column - 1)];
            text.append(width > cell.size() ? width - cell.size() : 0, u' ');
            text += u'\t';
        }
        if (!text.empty() && text.back() == u'\t') {
            text.pop_back();
        }
        text.erase(text.find_last_not_of(u' ') + 1);
        text += u"\r\n";
    }
    return text;
}
