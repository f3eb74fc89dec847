// Reads a list view: its columns' captions, the columns its details view hides, and its rows
// cell by cell.
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

namespace {

// A list view's columns beyond this many are not read.
constexpr std::int64_t kColumnsCap = 1024;

// A list view's column captions: its header's items, or one column without a caption.
std::vector<Text> Captions(const ControlRead& read) {
    const RemoteNumber columns = read.remote.Count(read.control, ItemCount::ListViewColumns);
    if (columns.end != RemoteEnd::Answered || columns.value <= 0) {
        return {};
    }
    std::vector<ItemRef> refs;
    for (std::int64_t column = 0; column < std::min(columns.value, kColumnsCap); ++column) {
        refs.push_back({static_cast<std::uint64_t>(column), 0});
    }
    RemoteTexts captions =
        read.remote.ItemTexts(read.control, ItemText::ListViewColumn, refs, kItemTextCap);
    captions.texts.resize(refs.size());
    return std::move(captions.texts);
}

// Marks the columns that the list view's details view gives no width; a list view showing
// another view, or not answering, hides none.
void MarkHiddenColumns(const ControlRead& read, ItemsTable& table) {
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        const RemoteNumber width =
            read.remote.ListViewColumnWidth(read.control, static_cast<int>(column));
        if (width.end != RemoteEnd::Answered || width.value < 0) {
            return;
        }
        if (width.value == 0) {
            table.HideColumn(column);
        }
    }
}

}  // namespace

ItemsTable ListViewTable(const ControlRead& read) {
    ItemsTable table(read.kind, Captions(read));
    MarkHiddenColumns(read, table);
    return table;
}

void ReadListViewRows(const ControlRead& read, ItemsTable& table, std::size_t allowed) {
    const std::size_t columns = table.Columns();
    std::vector<ItemRef> refs;
    for (std::size_t first = 0; first < allowed; first += kRowsPerRound) {
        const std::size_t rows = std::min(kRowsPerRound, allowed - first);
        refs.clear();
        for (std::size_t row = first; row < first + rows; ++row) {
            for (std::size_t column = 0; column < columns; ++column) {
                refs.push_back({row, static_cast<int>(column)});
            }
        }
        const RemoteTexts round =
            read.remote.ItemTexts(read.control, ItemText::ListViewCell, refs, kItemTextCap);
        // Only whole rows: a row cut short by the end of the read is not shown.
        for (std::size_t row = 0; (row + 1) * columns <= round.texts.size(); ++row) {
            table.AppendRow(std::span(round.texts).subspan(row * columns, columns));
        }
        if (!TakeRound(table, round)) {
            return;
        }
    }
}
