// Picking a window by pointing at it: while picking, the pointer is a crosshair held by the main
// window (mouse capture), and the frame outlines the window under it; a click picks, Esc cancels.
#pragma once

#include <windows.h>

#include "wingui/HighlightFrame.h"

// The deepest visible window at point (screen coordinates), disabled ones included: the top-level
// window there, then at each level the smallest child that holds the point, so a group box does
// not hide the buttons inside it. Null where there is no window, or it is one of this program's.
[[nodiscard]] HWND DeepestWindowAt(POINT point) noexcept;

class WindowPicker {
public:
    // Picking captures the pointer for owner and outlines with frame; both outlive this.
    WindowPicker(HWND owner, HighlightFrame& frame) noexcept;
    ~WindowPicker();
    WindowPicker(const WindowPicker&) = delete;
    WindowPicker& operator=(const WindowPicker&) = delete;

    [[nodiscard]] bool Picking() const noexcept { return m_picking; }
    // Starts picking: the crosshair, the capture and the outline of the window under the pointer.
    void Start() noexcept;
    // The pointer moved while picking: outlines the window now under it, when that is another.
    void Track() noexcept;
    // Ends picking and answers the window under the pointer (null when there is none to pick).
    [[nodiscard]] HWND Finish() noexcept;
    // Ends picking with nothing picked (Esc, or the capture went elsewhere); pointer and capture
    // are as before it started.
    void Cancel() noexcept;

private:
    static void CALLBACK OnTrackTimer(HWND owner, UINT message, UINT_PTR picker, DWORD time);

    HWND m_owner;
    HighlightFrame& m_frame;
    HCURSOR m_crosshair;
    HCURSOR m_pointerBefore = nullptr;
    bool m_picking = false;
    // The window outlined last; null when none is.
    HWND m_under = nullptr;
};

// The window under the pointer now, as DeepestWindowAt finds it.
[[nodiscard]] HWND WindowUnderPointer() noexcept;
