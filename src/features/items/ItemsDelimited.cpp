// A table of items as delimited text: CSV for files, tab-separated for the clipboard.
#include "items/ItemsDelimited.h"

#include "core/Delimited.h"

namespace {

constexpr TextView kDepthCaption = u"Depth";

// One line: for a tree the depth that depth() gives first, then the cells that cellAt gives for
// each column.
template <typename Depth, typename CellAt>
void AppendLine(Text& out, const ItemsTable& table, char16_t delimiter, Depth&& depth,
                CellAt&& cellAt) {
    if (HasDepths(table.Kind())) {
        out += depth();
        out += delimiter;
    }
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        if (column != 0) {
            out += delimiter;
        }
        AppendDelimitedCell(out, cellAt(column), delimiter);
    }
    out += kLineEnd;
}

}  // namespace

Text ItemsDelimitedText(const ItemsTable& table, Delimiter delimiter,
                        std::span<const std::size_t> rows) {
    const auto separator = static_cast<char16_t>(delimiter);
    Text text;
    AppendLine(
        text, table, separator, [] { return kDepthCaption; },
        [&](std::size_t column) { return table.Caption(column); });
    const auto appendRow = [&](std::size_t row) {
        AppendLine(
            text, table, separator, [&] { return DecimalText(table.Depth(row)); },
            [&](std::size_t column) { return table.Cell(row, column); });
    };
    if (rows.empty()) {
        for (std::size_t row = 0; row < table.Rows(); ++row) {
            appendRow(row);
        }
    } else {
        for (const std::size_t row : rows) {
            appendRow(row);
        }
    }
    return text;
}
