// The readers ReadItems hands a control to, one for each family of kinds, and what they share:
// the read they serve, how a conversation's end ends the read, and the rounds texts are asked in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "items/ItemsTable.h"
#include "ports/RemoteItems.h"

// Rows read in one round of item texts, so that the references a round needs stay small.
inline constexpr std::size_t kRowsPerRound = 2048;

// One control's read: the control, its kind, the port that asks it and the items it is allowed.
struct ControlRead {
    WindowHandle control;
    ItemsKind kind;
    RemoteItems& remote;
    std::size_t cap;
};

// The read's end for a conversation that ended so.
[[nodiscard]] ItemsStatus ItemsStatusOf(RemoteEnd end);
// Takes how an answer ended; false when the read ends here.
bool TakeEnd(ItemsTable& table, RemoteEnd end);
// Takes what a round read, its cut texts counted; false when the read ends here.
bool TakeRound(ItemsTable& table, const RemoteTexts& round);

// A window's menu bar and how many items it holds.
struct MenuBarRead {
    // 0 when the bar could not be had: then count says why (Gone for a window without one).
    std::uint64_t menu = 0;
    RemoteNumber count;
};
[[nodiscard]] MenuBarRead ReadMenuBar(WindowHandle window, RemoteItems& remote);

// The menu bar's items and its drop-down menus' below them, with their states.
[[nodiscard]] ItemsTable ReadMenuItems(const ControlRead& read);
// A console window's lines.
[[nodiscard]] ItemsTable ReadConsoleItems(const ControlRead& read);
// A window's own accessible tree: its nodes in pre-order with their depths, by Name, Role, Value
// and State.
[[nodiscard]] ItemsTable ReadAccessibleItems(const ControlRead& read);

// A list view's empty table: its columns' captions, those its details view hides marked.
[[nodiscard]] ItemsTable ListViewTable(const ControlRead& read);

// The readers of the kinds that answer a count first: each appends the first allowed items.
void ReadListBoxItems(const ControlRead& read, ItemsTable& table, std::size_t allowed);
void ReadListViewRows(const ControlRead& read, ItemsTable& table, std::size_t allowed);
void ReadStripItems(const ControlRead& read, ItemsTable& table, std::size_t allowed);
// A tree's items are found by its own steps, up to the read's cap, whatever count it gave.
void ReadTreeItems(const ControlRead& read, ItemsTable& table);
