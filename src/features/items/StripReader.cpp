// Reads the items of a tab control, a header, a status bar or a toolbar: a strip of a few
// items, one text each, asked at once.
#include <span>
#include <vector>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

namespace {

// The texts read by item kind, for the kinds whose items are one text each.
ItemText SingleTextOf(ItemsKind kind) {
    switch (kind) {
        case ItemsKind::Tab:
            return ItemText::TabItem;
        case ItemsKind::Header:
            return ItemText::HeaderItem;
        case ItemsKind::StatusBar:
            return ItemText::StatusPart;
        default:
            return ItemText::ToolbarButton;
    }
}

}  // namespace

void ReadStripItems(const ControlRead& read, ItemsTable& table, std::size_t allowed) {
    std::vector<ItemRef> refs;
    for (std::size_t item = 0; item < allowed; ++item) {
        refs.push_back({item, 0});
    }
    const RemoteTexts texts =
        read.remote.ItemTexts(read.control, SingleTextOf(read.kind), refs, kItemTextCap);
    for (const Text& text : texts.texts) {
        table.AppendRow(std::span(&text, 1));
    }
    TakeRound(table, texts);
}
