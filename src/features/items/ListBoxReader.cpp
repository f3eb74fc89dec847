// Reads a list box's or combo box's items, a text each, in rounds.
#include <algorithm>
#include <span>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

// An owner-drawn list that keeps no texts gives none, and says how many items it holds.
void ReadListBoxItems(const ControlRead& read, ItemsTable& table, std::size_t allowed) {
    if (KeepsNoTexts(read.control, read.kind, read.remote)) {
        table.status = ItemsStatus::NoTexts;
        table.claimed = static_cast<std::int64_t>(allowed);
        return;
    }
    for (std::size_t first = 0; first < allowed; first += kRowsPerRound) {
        const std::size_t count = std::min(kRowsPerRound, allowed - first);
        const RemoteTexts round =
            read.remote.ListTexts(read.control, read.kind, first, count, kItemTextCap);
        for (const Text& text : round.texts) {
            table.AppendRow(std::span(&text, 1));
        }
        if (!TakeRound(table, round)) {
            return;
        }
    }
}
