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
// The columns of an accessible tree that hold a node's name and its value.
inline constexpr std::size_t kAccessibleNameColumn = 0;
inline constexpr std::size_t kAccessibleValueColumn = 2;
// An accessible tree is read down to this depth below its window's own object.
inline constexpr int kDeepestAccessible = 64;

// The kind of items a window of this class holds, by the class names of the common controls
// and of the superclasses old software gives them; nothing for a window without items.
[[nodiscard]] std::optional<ItemsKind> ItemsKindOfClass(TextView className);

// True for a class that may belong to a window drawing its own controls: none of the system's
// controls, whose accessible objects only repeat what their messages read.
[[nodiscard]] bool MayDrawOwnControls(TextView className);

// A node's MSAA state bits in words, as the State column of an accessible tree gives them
// ("focused, checked").
[[nodiscard]] Text AccessibleStateWords(std::uint32_t state);

// The kind of items a window holds: by its class, else a menu when it is a top-level window with a
// menu bar (which asks no message), else an accessible tree when its class may draw its own
// controls and its program answers for it with an object of its own that has children (asked
// once a while: see RemoteItems::AccessibleChildCount); nothing for a window without items.
// Whether ItemsKindOfWindow asks a window for its accessible object, or takes the answer last
// given, if any.
enum class AccessibleProbe { Ask, Known };
[[nodiscard]] std::optional<ItemsKind> ItemsKindOfWindow(
    WindowHandle window, TextView className, RemoteItems& remote,
    AccessibleProbe probe = AccessibleProbe::Ask);

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
