// Reads a tree view's items in pre-order with their depths, collapsed ones too.
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

// Every item by the control's own steps from item to item, then their texts in rounds.
void ReadTreeItems(const ControlRead& read, ItemsTable& table) {
    std::vector<std::pair<std::uint64_t, int>> items;
    std::vector<std::pair<std::uint64_t, int>> pending;
    const RemoteNumber root = read.remote.TreeItem(read.control, TreeStep::Root, 0);
    if (root.end != RemoteEnd::Answered) {
        table.status = ItemsStatusOf(root.end);
        return;
    }
    if (root.value != 0) {
        pending.emplace_back(static_cast<std::uint64_t>(root.value), 0);
    }
    while (!pending.empty()) {
        if (items.size() == read.cap) {
            table.status = ItemsStatus::Capped;
            break;
        }
        const auto [item, depth] = pending.back();
        pending.pop_back();
        items.emplace_back(item, depth);
        const RemoteNumber next = read.remote.TreeItem(read.control, TreeStep::Next, item);
        const RemoteNumber child = read.remote.TreeItem(read.control, TreeStep::Child, item);
        if (next.end != RemoteEnd::Answered || child.end != RemoteEnd::Answered) {
            table.status = ItemsStatusOf(next.end != RemoteEnd::Answered ? next.end : child.end);
            break;
        }
        if (next.value != 0) {
            pending.emplace_back(static_cast<std::uint64_t>(next.value), depth);
        }
        if (child.value != 0) {
            pending.emplace_back(static_cast<std::uint64_t>(child.value), depth + 1);
        }
    }
    std::vector<ItemRef> refs;
    for (std::size_t first = 0; first < items.size(); first += kRowsPerRound) {
        const std::size_t count = std::min(kRowsPerRound, items.size() - first);
        refs.clear();
        for (std::size_t item = first; item < first + count; ++item) {
            refs.push_back({items[item].first, 0});
        }
        const RemoteTexts round =
            read.remote.ItemTexts(read.control, ItemText::TreeItem, refs, kItemTextCap);
        for (std::size_t item = 0; item < round.texts.size(); ++item) {
            table.AppendRow(std::span(&round.texts[item], 1), items[first + item].second);
        }
        if (!TakeRound(table, round)) {
            return;
        }
    }
}
