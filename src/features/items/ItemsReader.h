// The items reader: which controls have items, how many they say they have, and their items
// as a table, read through the RemoteItems port without believing any count or length beyond
// what a read takes.
#pragma once

#include <cstddef>
#include <optional>

#include "core/Text.h"
#include "items/ItemsTable.h"
#include "ports/RemoteItems.h"

// A read takes at most this many items of one control (rows of a list view).
inline constexpr std::size_t kItemsCap = 200000;
// And each item text up to this many UTF-16 code units.
inline constexpr std::size_t kItemTextCap = std::size_t{1} << 16;

// The kind of items a window of this class holds, by the class names of the common controls
// and of the superclasses old software gives them; nothing for a window without items.
[[nodiscard]] std::optional<ItemsKind> ItemsKindOfClass(TextView className);

// The kind of items a window holds: by its class, else a menu when it is a top-level window with a
// menu bar (which asks no message); nothing for a window without items.
[[nodiscard]] std::optional<ItemsKind> ItemsKindOfWindow(WindowHandle window, TextView className,
                                                         RemoteItems& remote);

// True for a list box or combo box that draws its items itself and keeps item data, not texts:
// its items cannot be read. Asks no message.
[[nodiscard]] bool KeepsNoTexts(WindowHandle control, ItemsKind kind, RemoteItems& remote);

// The control's answer to its count message, and how the conversation ended; a count below zero
// is not believed and ends as Refused.
[[nodiscard]] RemoteNumber AskItemCount(WindowHandle control, ItemsKind kind, RemoteItems& remote);

// The control's own word for how many items it has: the probe that confirms the kind before a
// read. Nothing when the window is not such a control or did not answer.
[[nodiscard]] std::optional<std::int64_t> CountItems(WindowHandle control, ItemsKind kind,
                                                     RemoteItems& remote);

// Every item of the control, up to kItemsCap: a list view's rows by its columns with their
// captions, a tree's items in pre-order with their depths, one column for the other kinds.
[[nodiscard]] ItemsTable ReadItems(WindowHandle control, ItemsKind kind, RemoteItems& remote,
                                   std::size_t cap = kItemsCap);

// A short phrase for the read's end, for titles and notes ("read", "timed out", ...).
[[nodiscard]] Text ItemsStatusText(ItemsStatus status);
// What a read with the status NoText says of its rows: "the program gave no text for its 12 rows:
// it may draw them itself".
[[nodiscard]] Text NoTextSentence(std::size_t rows);
// The kind's name as a user knows it ("List box", "Tree view", ...).
[[nodiscard]] Text ItemsKindName(ItemsKind kind);
