// The state of a results row's window as it is now, shown without changing any cell: rows of
// hidden windows are drawn grey, of disabled ones grey and italic, and the row's info tip tells
// the state, the control id and the rectangle.
#pragma once

#include <optional>
#include <span>

#include "core/RowTable.h"
#include "core/Text.h"
#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"

enum class RowLook { Plain, Hidden, Disabled };

struct RowWindowState {
    bool exists = false;
    // On screen: the window and every parent of it visible.
    bool visible = false;
    WindowFacts facts;
};

// The state of the window whose handle is the row's second cell; not existing when the handle
// names no window (or the row has none).
[[nodiscard]] RowWindowState StateOfRowWindow(std::span<const Text> cells, WindowSystem& windows,
                                              WindowDetails& details);

// Disabled wins over hidden: a disabled window is drawn grey italic whether shown or not.
[[nodiscard]] RowLook LookOf(const RowWindowState& state) noexcept;

// "Visible, enabled. Control id 7. On screen at (10, 20) to (110, 44), 100 x 24."
[[nodiscard]] Text StateTip(const RowWindowState& state);

// The path of the window of results row `row` (from 1) below the window of the first row, the
// extracted one, as tessivane-cli's dump and find write it; nothing once either has closed.
[[nodiscard]] std::optional<Text> RowPath(const RowTable& rows, std::size_t row,
                                          WindowSystem& windows, WindowDetails& details);

// The tip's line for the row's path: "Path: Button#1", or that its window has closed.
[[nodiscard]] Text PathTip(const std::optional<Text>& path);
