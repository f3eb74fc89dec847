// The state of a results row's window as it is now.
#include "gui/RowState.h"

#include <optional>

#include "core/Failure.h"
#include "core/RowTable.h"
#include "finding/ControlPaths.h"

namespace {

// The window whose handle is the row's second cell; nothing when the row has none.
std::optional<WindowHandle> WindowOfRow(std::span<const Text> cells) {
    if (cells.size() <= kHandleColumn) {
        return std::nullopt;
    }
    try {
        return ParseHandle(cells[kHandleColumn]);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

}  // namespace

RowWindowState StateOfRowWindow(std::span<const Text> cells, WindowSystem& windows,
                                WindowDetails& details) {
    const std::optional<WindowHandle> window = WindowOfRow(cells);
    if (!window) {
        return {};
    }
    const std::optional<WindowFacts> facts = details.Facts(*window);
    if (!facts) {
        return {};
    }
    return {true, windows.IsVisible(*window), *facts};
}

RowLook LookOf(const RowWindowState& state) noexcept {
    if (!state.exists) {
        return RowLook::Plain;
    }
    if (!state.facts.enabled) {
        return RowLook::Disabled;
    }
    return state.visible ? RowLook::Plain : RowLook::Hidden;
}

Text StateTip(const RowWindowState& state) {
    if (!state.exists) {
        return u"This window no longer exists.";
    }
    const ScreenRect& rect = state.facts.rect;
    return Text(state.visible ? u"Visible" : u"Hidden") +
           (state.facts.enabled ? u", enabled. " : u", disabled. ") + u"Control id " +
           DecimalText(state.facts.controlId) + u". On screen at (" + DecimalText(rect.left) +
           u", " + DecimalText(rect.top) + u") to (" + DecimalText(rect.right) + u", " +
           DecimalText(rect.bottom) + u"), " + DecimalText(rect.right - rect.left) + u" x " +
           DecimalText(rect.bottom - rect.top) + u".";
}

std::optional<Text> RowPath(const RowTable& rows, std::size_t row, WindowSystem& windows,
                            WindowDetails& details) {
    if (row == 0 || row > rows.RowCount()) {
        return std::nullopt;
    }
    const std::optional<WindowHandle> root = WindowOfRow(rows.RowCells(1));
    const std::optional<WindowHandle> window = WindowOfRow(rows.RowCells(row));
    if (!root || !window || !windows.Exists(*root)) {
        return std::nullopt;
    }
    return PathBelow(*root, *window, windows, details);
}

Text PathTip(const std::optional<Text>& path) {
    if (!path) {
        return u"Path: none, the window (or the extracted window) has closed.";
    }
    return path->empty() ? u"Path: empty, the extracted window itself." : u"Path: " + *path;
}
