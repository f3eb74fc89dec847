// Two moments of the same tree of windows compared: what was added, removed and changed from one
// to the other, as watch sees it within one run of a program and diff between two dumps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"
#include "documents/JsonText.h"

// A window as a dump describes it, for comparing two moments of the same tree.
struct SnapshotWindow {
    WindowHandle handle = 0;
    WindowHandle parent = 0;  // 0 for the first window
    int depth = 0;
    Text path;
    bool pathCut = false;  // the path was over the walk's longest, and is empty
    Text className;
    Text text;
    bool visible = false;
    bool enabled = false;
    std::string status;  // "read", "timedOut", "cut", "changing", "gone", "denied"
    std::optional<Json>
        items;  // the dump's "items" object as written (kind, status, columns, rows...)
    // Every member as the dump wrote it (controlId, rect... too), without "type" and "children":
    // what a change that adds or removes the window says of it.
    Json members;
};
using Snapshot = std::vector<SnapshotWindow>;  // the walk's pre-order

// A window object of a dump document (JSON tree node without its "children", or a JSON Lines
// "type":"window" line): throws Failure naming the member that is missing or of the wrong type.
[[nodiscard]] SnapshotWindow SnapshotWindowOf(const Json& window);

enum class MatchBy { Handle, PathThenHandle };
enum class ChangeKind { Added, Removed, Text, Items, Visible, Enabled };
struct WindowChange {
    ChangeKind kind;
    const SnapshotWindow* before = nullptr;  // null for Added
    const SnapshotWindow* after = nullptr;   // null for Removed
};

// What changed from before to after, in after's order. A removed window comes where it stood:
// before the first window that followed it in before and is still there (at the end when none
// is), and before the windows added in its place; a removed subtree stays in one piece, in
// before's order.
//
// MatchBy::Handle (one run of a program): the same handle and the same class name, whatever its
// case, is the same window; a handle reused by a window of another class is a removal and an
// addition. MatchBy::PathThenHandle (two runs): the same path first, then among the windows left
// the same handle and class. A matched pair gives a change for each of text, items, visible and
// enabled that differs, in that order.
//
// What was not read is no change: a window "gone" in a snapshot is not in it; a text that timed
// out or was denied is compared with nothing; items are compared only when both moments have
// them, read (neither "timedOut", "gone" nor "denied").
[[nodiscard]] std::vector<WindowChange> CompareSnapshots(const Snapshot& before,
                                                         const Snapshot& after, MatchBy match);

// The change's name as its line writes it: "added", "removed", "text", "items", "visible",
// "enabled".
[[nodiscard]] const char* ChangeName(ChangeKind kind) noexcept;

// A change as one JSON Lines object: "type":"change", then "time" when given, "change",
// "handle", "handleHex", "path", "class" (the window's after the change, before it for a
// removal), then "old" and "new": texts for text, booleans for visible and enabled, the items
// objects for items; for added "new" is the window's members and "old" null, for removed the
// reverse.
[[nodiscard]] Json ChangeObject(const WindowChange& change, const std::optional<std::string>& time);
