// The program's own top-level windows: each belongs to the object that its creation names
// (CreateWindowEx's last argument), which answers every message once it is ready for them; no
// exception crosses the window system. One lifetime rule holds for every window the program makes:
// its owner destroys it (ScopedWindow, or ScopedOwnedWindow for these), and controls go with their
// parent. The main window alone lives until the UI thread ends.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// A kind of the program's windows: its class, its styles, and its name in the failures of making
// one ("The main window").
struct OwnedWindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    // Null where the window paints its own background.
    HBRUSH background;
    const char16_t* name;
};

// Cuts the window's tie to its object first: the object is going, and the messages of the
// window's destruction get the default handling.
struct OwnedWindowDeleter {
    void operator()(HWND window) const noexcept {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
};
using ScopedOwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, OwnedWindowDeleter>;

// Owner has ReadyForMessages() and HandleMessage(message, wParam, lParam), which this procedure
// may reach as a friend. A window whose tie to its object was cut (GWLP_USERDATA set to 0) gets the
// default handling.
template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr || !owner->ReadyForMessages()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return owner->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the window system: the message gets the default handling.
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Registers kind's class with procedure, once however many windows of it are made: the program's
// icon, the arrow pointer. Throws Failure when it cannot.
void RegisterOwnedWindowClass(const OwnedWindowKind& kind, WNDPROC procedure);
// Throws Failure naming kind's window and the system's message for error.
[[noreturn]] void ThrowWindowNotCreated(const OwnedWindowKind& kind, DWORD error);

// Makes a window of kind for owner, of outer size (CW_USEDEFAULT for the system's choice), owned by
// parent when there is one; it is hidden. Throws Failure when it cannot.
template <typename Owner>
[[nodiscard]] HWND CreateOwnedWindow(Owner& owner, const OwnedWindowKind& kind, SIZE size,
                                     HWND parent) {
    RegisterOwnedWindowClass(kind, &OwnedWindowProc<Owner>);
    const HWND window =
        CreateWindowExW(kind.exStyle, kind.className, L"", kind.style, CW_USEDEFAULT, CW_USEDEFAULT,
                        size.cx, size.cy, parent, nullptr, GetModuleHandleW(nullptr), &owner);
    if (window == nullptr) {
        ThrowWindowNotCreated(kind, GetLastError());
    }
    return window;
}
