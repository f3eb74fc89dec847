// Port: what the command line tells about a window beyond its class and text: its place on
// screen and its state, and the program that owns it.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Text.h"

// A rectangle in screen coordinates: left and top inside, right and bottom just outside.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct WindowFacts {
    // The control id a dialog knows the window by (for a top-level window, its menu's handle).
    std::int64_t controlId = 0;
    // The window's own visible style; it shows only when its parents' show too.
    bool visibleStyle = false;
    bool enabled = false;
    ScreenRect rect;
};

class WindowDetails {
public:
    virtual ~WindowDetails() = default;

    // Nothing once the handle no longer names a window.
    [[nodiscard]] std::optional<WindowFacts> Facts(WindowHandle window) {
        return FactsWithId(window, ControlId(window));
    }
    // The control id alone, as the facts have it; 0 when there is no window.
    [[nodiscard]] virtual std::int64_t ControlId(WindowHandle window) = 0;
    // The facts of a window whose control id was read already: the system is not asked for it
    // again.
    [[nodiscard]] virtual std::optional<WindowFacts> FactsWithId(WindowHandle window,
                                                                 std::int64_t controlId) = 0;
    // The window's parent: the desktop for a top-level window; 0 when there is no window.
    [[nodiscard]] virtual WindowHandle ParentOf(WindowHandle window) = 0;
    // The id of the process that owns the window; 0 when there is no window.
    [[nodiscard]] virtual std::uint32_t ProcessOf(WindowHandle window) = 0;
    // The file name of the process's program ("notepad.exe"); empty when it cannot be read.
    [[nodiscard]] virtual Text ImageName(std::uint32_t processId) = 0;
};
