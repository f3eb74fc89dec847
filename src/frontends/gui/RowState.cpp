// The state of a results row's window as it is now.
#include "gui/RowState.h"

#include <optional>

#include "core/Failure.h"
#include "core/RowTable.h"

RowWindowState StateOfRowWindow(std::span<const Text> cells, WindowSystem& windows,
                                WindowDetails& details) {
    if (cells.size() <= kHandleColumn) {
        return {};
    }
    WindowHandle window = 0;
    try {
        window = ParseHandle(cells[kHandleColumn]);
    } catch (const Failure&) {
        return {};
    }
    const std::optional<WindowFacts> facts = details.Facts(window);
    if (!facts) {
        return {};
    }
    return {true, windows.IsVisible(window), *facts};
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
