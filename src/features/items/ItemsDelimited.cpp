// A table of items as delimited text: CSV for files, tab-separated for the clipboard.
#include "items/ItemsDelimited.h"

#include <iterator>

namespace {

constexpr TextView kDepthCaption = u"Depth";
constexpr TextView kLineEnd = u"\r\n";
constexpr char16_t kQuote = u'"';

// A cell as it is, or, when it holds the delimiter, a quote, CR or LF, between quotes with each
// of its quotes doubled; every other unit (surrogates too) is copied as it is.
void AppendCell(Text& out, TextView cell, char16_t delimiter) {
    const char16_t special[] = {delimiter, kQuote, u'\r', u'\n'};
    if (cell.find_first_of(TextView(special, std::size(special))) == TextView::npos) {
        out += cell;
        return;
    }
    out += kQuote;
    for (const char16_t unit : cell) {
        if (unit == kQuote) {
            out += kQuote;
        }
        out += unit;
    }
    out += kQuote;
}

// One line: for a tree the depth that depth() gives first, then the cells that cellAt gives for
// each column.
template <typename Depth, typename CellAt>
void AppendLine(Text& out, const ItemsTable& table, char16_t delimiter, Depth&& depth,
                CellAt&& cellAt) {
    if (table.Kind() == ItemsKind::TreeView) {
        out += depth();
        out += delimiter;
    }
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        if (column != 0) {
            out += delimiter;
        }
        AppendCell(out, cellAt(column), delimiter);
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
