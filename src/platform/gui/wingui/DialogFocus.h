// The keyboard focus of a window that holds controls, kept as a dialog keeps it: the control that
// had it when the window was deactivated gets it back when the window is activated again.
#pragma once

#include <windows.h>

class DialogFocus {
public:
    // The window's WM_ACTIVATE: remembers the focused control when the window is deactivated.
    LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam) noexcept {
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            m_last = IsChild(window, focus) ? focus : m_last;
        }
        return DefWindowProcW(window, WM_ACTIVATE, wParam, lParam);
    }
    // The window's WM_SETFOCUS: the focus goes on to the remembered control, at first to first.
    LRESULT OnSetFocus(HWND first) const noexcept {
        SetFocus(m_last != nullptr ? m_last : first);
        return 0;
    }

private:
    HWND m_last = nullptr;
};
