// The window procedure of the program's own window classes: each window belongs to the object
// that its creation names (CreateWindowEx's last argument), which is told its handle at once and
// answers every message once it is ready for them; no exception crosses the window system.
#pragma once

#include <windows.h>

// Owner has WindowCreated(HWND), ReadyForMessages() and HandleMessage(message, wParam, lParam),
// which this procedure may reach as a friend. A window whose tie to its object was cut
// (GWLP_USERDATA set to 0) gets the default handling.
template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner =
            static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->WindowCreated(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr || !owner->ReadyForMessages()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return owner->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the window system.
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
