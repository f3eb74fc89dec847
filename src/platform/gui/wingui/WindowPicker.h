// Picking a window by pointing at it: while picking, the pointer is a crosshair held by the main
// window and the frame outlines the window under it. Hooks on the system's pointer and keys see
// each click and Esc whichever program's window they fall on: a click picks the window under it
// without reaching that window, a release after a drag from the finder mark picks where it ends,
// and Esc cancels.
#pragma once

#include <windows.h>

#include "win32/ScopedHandles.h"
#include "win32/WindowAtPoint.h"
#include "wingui/HighlightFrame.h"

// What the hooks post to the owner while picking: wParam is one of the events below, lParam the
// point of a release (screen coordinates, as MAKELPARAM packs them).
inline constexpr UINT kPickerMessage = WM_APP + 2;
inline constexpr WPARAM kPickerReleased = 1;
inline constexpr WPARAM kPickerEscaped = 2;

class WindowPicker {
public:
    // Picking captures the pointer for owner and outlines with frame; both outlive this.
    WindowPicker(HWND owner, HighlightFrame& frame) noexcept;
    ~WindowPicker();
    WindowPicker(const WindowPicker&) = delete;
    WindowPicker& operator=(const WindowPicker&) = delete;

    [[nodiscard]] bool Picking() const noexcept { return m_picking; }
    // Starts picking: the crosshair, the capture, the hooks and the outline of the window under the
    // pointer. The next release of the left button picks: of the next click, or of the press on
    // the finder mark that started it.
    void Start() noexcept;
    // The pointer moved while picking: outlines the window now under it, when that is another.
    void Track() noexcept;
    // Ends picking and answers the window at point, or under the pointer (null when there is none
    // to pick).
    [[nodiscard]] HWND FinishAt(POINT point) noexcept;
    [[nodiscard]] HWND Finish() noexcept;
    // Ends picking with nothing picked (Esc, or the capture went elsewhere); pointer, capture and
    // hooks are as before it started.
    void Cancel() noexcept;

private:
    static void CALLBACK OnTrackTimer(HWND owner, UINT message, UINT_PTR picker, DWORD time);
    static LRESULT CALLBACK OnPointerHook(int code, WPARAM message, LPARAM event);
    static LRESULT CALLBACK OnKeyHook(int code, WPARAM message, LPARAM event);
    // The picker whose hooks are set: the system's hooks carry no data of their own.
    static inline WindowPicker* s_hooked = nullptr;

    HWND m_owner;
    HighlightFrame& m_frame;
    HCURSOR m_crosshair;
    HCURSOR m_pointerBefore = nullptr;
    bool m_picking = false;
    // A press the pointer hook kept from its window: its release is kept from it too.
    bool m_pressKept = false;
    ScopedHook m_pointerHook;
    ScopedHook m_keyHook;
    // The window outlined last; null when none is.
    HWND m_under = nullptr;
};

// The window under the pointer now, as DeepestWindowAt finds it.
[[nodiscard]] HWND WindowUnderPointer() noexcept;
