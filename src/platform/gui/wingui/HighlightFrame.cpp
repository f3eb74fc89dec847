// The highlight frame's window.
#include "wingui/HighlightFrame.h"

#include "core/Failure.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Text.h"

namespace {

constexpr wchar_t kClassName[] = L"TessivaneHighlightFrame";
// Click-through (layered and transparent), above every other window, never activated, and not on
// the taskbar.
constexpr DWORD kExStyle =
    WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
// The colour that the system leaves out, so that only the border shows.
constexpr COLORREF kSeeThrough = RGB(255, 0, 255);
constexpr COLORREF kBorderColour = RGB(255, 0, 0);
constexpr int kBorderPixels = 3;
constexpr UINT_PTR kHideTimer = 1;
// While shown, the frame looks this often where its window is: it follows a window that moves
// and hides once the window is hidden or closed.
constexpr UINT_PTR kFollowTimer = 2;
constexpr UINT kFollowEveryMs = 50;

void Paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT inside;
    GetClientRect(window, &inside);
    FillRect(dc, &inside, ScopedBrush(CreateSolidBrush(kBorderColour)).get());
    InflateRect(&inside, -kBorderPixels, -kBorderPixels);
    FillRect(dc, &inside, ScopedBrush(CreateSolidBrush(kSeeThrough)).get());
    EndPaint(window, &paint);
}

void HideFrame(HWND frame) noexcept {
    KillTimer(frame, kHideTimer);
    KillTimer(frame, kFollowTimer);
    SetWindowLongPtrW(frame, GWLP_USERDATA, 0);
    ShowWindow(frame, SW_HIDE);
}

// Puts the frame over target's window rectangle; false, with the frame hidden, when target is
// hidden or gone.
bool FrameTarget(HWND frame, HWND target) noexcept {
    RECT bounds;
    if (!IsWindowVisible(target) || !GetWindowRect(target, &bounds)) {
        HideFrame(frame);
        return false;
    }
    RECT shown;
    if (IsWindowVisible(frame) && GetWindowRect(frame, &shown) && EqualRect(&shown, &bounds)) {
        return true;
    }
    SetWindowPos(frame, HWND_TOPMOST, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return true;
}

}  // namespace

HighlightFrame::HighlightFrame() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = &HighlightFrame::FrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = kClassName;
    if (RegisterClassExW(&frameClass) == 0) {
        const DWORD error = GetLastError();
        throw Failure(u"The highlight frame's class could not be registered: " +
                      SystemMessage(error));
    }
    m_window.reset(CreateWindowExW(kExStyle, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, instance, nullptr));
    if (!m_window || !SetLayeredWindowAttributes(m_window.get(), kSeeThrough, 0, LWA_COLORKEY)) {
        const DWORD error = GetLastError();
        throw Failure(u"The highlight frame could not be created: " + SystemMessage(error));
    }
}

bool HighlightFrame::Outline(HWND target, std::optional<std::chrono::milliseconds> time) noexcept {
    const HWND frame = m_window.get();
    KillTimer(frame, kHideTimer);
    if (!FrameTarget(frame, target)) {
        return false;
    }
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    SetTimer(frame, kFollowTimer, kFollowEveryMs, nullptr);
    if (time) {
        SetTimer(frame, kHideTimer, static_cast<UINT>(time->count()), nullptr);
    }
    return true;
}

void HighlightFrame::Hide() noexcept {
    HideFrame(m_window.get());
}

// The frame keeps no state beyond its window, whose user data is the window it outlines: it
// paints its border, follows that window and hides at its timer.
LRESULT CALLBACK HighlightFrame::FrameProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;
        case WM_TIMER:
            if (wParam == kFollowTimer) {
                FrameTarget(window,
                            reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            } else {
                HideFrame(window);
            }
            return 0;
        case WM_NCHITTEST:
            // Points over the frame belong to the window below it.
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
