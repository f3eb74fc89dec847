// The main window as the form's port: its caption, icon, pointer, colour, busy state, status
// note and the program's end.
#include "wingui/MainWindow.h"

#include "core/Failure.h"
#include "win32/Win32Text.h"
#include "wingui/Resources.h"

namespace {

// An OLE colour with this bit set is a system colour, whose index is its low byte.
constexpr std::uint32_t kSystemColourFlag = 0x80000000u;
constexpr std::uint32_t kSystemColourIndexMask = 0xFF;

}  // namespace

void MainWindow::SetCaption(const Text& caption) {
    if (!SetWindowTextW(m_window, WideOf(caption))) {
        throw Failure(u"The window caption could not be set.");
    }
}

void MainWindow::SetApplicationIcon() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [&](int widthMetric, int heightMetric) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIconId),
                                             IMAGE_ICON, GetSystemMetricsForDpi(widthMetric, m_dpi),
                                             GetSystemMetricsForDpi(heightMetric, m_dpi), 0));
    };
    ScopedIcon big(load(SM_CXICON, SM_CYICON));
    ScopedIcon small(load(SM_CXSMICON, SM_CYSMICON));
    if (!big || !small) {
        throw Failure(u"The application icon could not be loaded from the program file.");
    }
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(small);
}

void MainWindow::SetCustomPointerImage(const Text& path) {
    m_pointer.LoadCustomImage(path);
}

// The message loop ends next, and a command that is letting events through meanwhile is unwound
// by the event pump. The window is not destroyed first: that costs nothing on Windows, but
// under Wine without a window manager its unmapping waits up to two seconds.
void MainWindow::EndProgram() {
    RememberLayout();
    m_closed = true;
    PostQuitMessage(0);
}

void MainWindow::SetBusy(bool busy, bool stoppable) {
    if (busy) {
        m_focusBeforeBusy = GetFocus();
    }
    m_buttons->SetBusy(busy, stoppable);
    m_status->SetReading(busy && stoppable);
    if (!busy && m_focusBeforeBusy != nullptr && IsWindowEnabled(m_focusBeforeBusy)) {
        SetFocus(m_focusBeforeBusy);
    }
}

// The window's setting governs its surface and the push buttons; the hourglass governs the
// lists too. Answers whether it set the shape.
bool MainWindow::SetPointerShape(HWND over) const noexcept {
    if (over == m_window || m_buttons->ButtonOf(over) != nullptr ||
        (IsChild(m_window, over) && m_pointer.Busy())) {
        SetCursor(m_pointer.Shape());
        return true;
    }
    return false;
}

void MainWindow::SetMousePointer(int setting) {
    m_pointer.Set(setting);
    // Show the new shape at once when the pointer is over the window, not at its next move.
    POINT at;
    if (GetCursorPos(&at)) {
        SetPointerShape(WindowFromPoint(at));
    }
}

std::int32_t MainWindow::Handle() const {
    return HandleOf(m_window);
}

void MainWindow::SetBackgroundColour(std::uint32_t colour) {
    m_background = (colour & kSystemColourFlag) != 0
                       ? GetSysColor(static_cast<int>(colour & kSystemColourIndexMask))
                       : static_cast<COLORREF>(colour);
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainWindow::ShowStatusNote(const Text& note) {
    m_status->ShowNote(note);
}
