// Picking a window by pointing at it, or by dragging the finder mark onto it.
#include "wingui/WindowPicker.h"

#include <utility>

#include "win32/WindowAtPoint.h"
#include "wingui/Resources.h"

namespace {

// Moves are also looked for this often: the system reports them to the capture only now and
// then while the pointer is over other programs' windows with no button down.
constexpr UINT kTrackMilliseconds = 50;

}  // namespace

HWND WindowUnderPointer() noexcept {
    POINT point;
    return GetCursorPos(&point) ? DeepestWindowAt(point) : nullptr;
}

WindowPicker::WindowPicker(HWND owner, HighlightFrame& frame) noexcept
    : m_owner(owner),
      m_frame(frame),
      // A shared resource of the program: never destroyed.
      m_crosshair(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kPickPointerId))) {}

WindowPicker::~WindowPicker() {
    Cancel();
}

void WindowPicker::Start() noexcept {
    if (m_picking) {
        return;
    }
    // The capture first: taking it reports the loss of any capture before, which ends picking.
    SetCapture(m_owner);
    m_picking = true;
    m_pressKept = false;
    m_under = nullptr;
    m_pointerBefore = SetCursor(m_crosshair);
    // The capture alone does not see clicks on other programs' windows, nor keys pressed there.
    s_hooked = this;
    const HINSTANCE program = GetModuleHandleW(nullptr);
    m_pointerHook.reset(SetWindowsHookExW(WH_MOUSE_LL, &OnPointerHook, program, 0));
    m_keyHook.reset(SetWindowsHookExW(WH_KEYBOARD_LL, &OnKeyHook, program, 0));
    // The timer's id is this picker, which ends the timer before it goes.
    SetTimer(m_owner, reinterpret_cast<UINT_PTR>(this), kTrackMilliseconds, &OnTrackTimer);
    m_frame.Hide();
    Track();
}

// A press while picking is kept from the window under it, and so is its release, which picks; a
// release whose press was not kept (the drag from the finder mark) goes on to the capture.
LRESULT CALLBACK WindowPicker::OnPointerHook(int code, WPARAM message, LPARAM event) {
    WindowPicker* picker = s_hooked;
    if (code == HC_ACTION && picker != nullptr) {
        if (message == WM_LBUTTONDOWN) {
            picker->m_pressKept = true;
            return 1;
        }
        if (message == WM_LBUTTONUP) {
            const POINT at = reinterpret_cast<const MSLLHOOKSTRUCT*>(event)->pt;
            PostMessageW(picker->m_owner, kPickerMessage, kPickerReleased, MAKELPARAM(at.x, at.y));
            if (std::exchange(picker->m_pressKept, false)) {
                return 1;
            }
        }
    }
    return CallNextHookEx(nullptr, code, message, event);
}

// Esc cancels picking wherever the keyboard's focus is, and goes no further.
LRESULT CALLBACK WindowPicker::OnKeyHook(int code, WPARAM message, LPARAM event) {
    if (code == HC_ACTION && s_hooked != nullptr &&
        (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode == VK_ESCAPE) {
        PostMessageW(s_hooked->m_owner, kPickerMessage, kPickerEscaped, 0);
        return 1;
    }
    return CallNextHookEx(nullptr, code, message, event);
}

void CALLBACK WindowPicker::OnTrackTimer(HWND, UINT, UINT_PTR picker, DWORD) {
    reinterpret_cast<WindowPicker*>(picker)->Track();
}

void WindowPicker::Track() noexcept {
    if (!m_picking) {
        return;
    }
    // Captured, the window gets no WM_SETCURSOR: the crosshair is set again at each move.
    SetCursor(m_crosshair);
    const HWND under = WindowUnderPointer();
    if (under == m_under) {
        return;
    }
    m_under = under;
    if (under == nullptr) {
        m_frame.Hide();
    } else {
        m_frame.Outline(under);
    }
}

HWND WindowPicker::FinishAt(POINT point) noexcept {
    const HWND picked = m_picking ? DeepestWindowAt(point) : nullptr;
    Cancel();
    return picked;
}

HWND WindowPicker::Finish() noexcept {
    POINT point{};
    if (!GetCursorPos(&point)) {
        Cancel();
        return nullptr;
    }
    return FinishAt(point);
}

void WindowPicker::Cancel() noexcept {
    if (!m_picking) {
        return;
    }
    // Cleared first: releasing the capture reports its loss back here.
    m_picking = false;
    m_pointerHook.reset();
    m_keyHook.reset();
    s_hooked = nullptr;
    KillTimer(m_owner, reinterpret_cast<UINT_PTR>(this));
    m_frame.Hide();
    ReleaseCapture();
    SetCursor(m_pointerBefore);
}
