// Reads the lines a console window shows, which come in one answer.
#include <span>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

// The lines beyond the cap are left out.
ItemsTable ReadConsoleItems(const ControlRead& read) {
    ItemsTable table(read.kind, {});
    RemoteTexts lines = read.remote.ConsoleLines(read.control, kItemTextCap);
    if (lines.texts.size() > read.cap) {
        table.claimed = static_cast<std::int64_t>(lines.texts.size());
        lines.texts.resize(read.cap);
        table.status = ItemsStatus::Capped;
    }
    for (const Text& line : lines.texts) {
        table.AppendRow(std::span(&line, 1));
    }
    static_cast<void>(TakeRound(table, lines));
    table.ShrinkToFit();
    return table;
}
