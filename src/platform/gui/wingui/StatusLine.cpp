// The main window's status line.
#include "wingui/StatusLine.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "core/Failure.h"
#include "win32/Win32Text.h"

namespace {

constexpr int kStatusLineId = 104;
constexpr int kFinderId = 105;

}  // namespace

StatusLine::StatusLine(HWND parent, const RowTable& results, std::function<void()> finderPressed)
    : m_finderPressed(std::move(finderPressed)), m_results(results) {
    m_bar =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0,
                        0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)),
                        GetModuleHandleW(nullptr), nullptr);
    if (m_bar == nullptr) {
        throw Failure(u"The status line could not be created.");
    }
    CreateFinder();
}

// The finder mark, a crosshair in a ring drawn by PaintFinder; its tip says what it is for.
void StatusLine::CreateFinder() {
    const HINSTANCE program = GetModuleHandleW(nullptr);
    m_finder =
        CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 0, 0, m_bar,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFinderId)), program, nullptr);
    m_finderTip.reset(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_bar, nullptr, program, nullptr));
    if (m_finder == nullptr || !m_finderTip) {
        throw Failure(u"The finder mark could not be created.");
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_bar;
    tool.uId = reinterpret_cast<UINT_PTR>(m_finder);
    tool.lpszText = const_cast<wchar_t*>(L"Drag this onto a window to pick it (or press Ctrl+D)");
    SendMessageW(m_finderTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(m_finder, &StatusLine::FinderProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK StatusLine::FinderProc(HWND finder, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR line) {
    if (message == WM_LBUTTONDOWN) {
        reinterpret_cast<StatusLine*>(line)->m_finderPressed();
    }
    if (message == WM_PAINT) {
        PaintFinder(finder);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(finder, &StatusLine::FinderProc, 0);
    }
    return DefSubclassProc(finder, message, wParam, lParam);
}

void StatusLine::PaintFinder(HWND finder) noexcept {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(finder, &paint);
    RECT box{};
    GetClientRect(finder, &box);
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    const int x = box.right / 2;
    const int y = box.bottom / 2;
    const int radius = std::max(2, static_cast<int>(std::min(box.right, box.bottom)) / 2 - 4);
    const HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
    MoveToEx(dc, x, y - radius - 3, nullptr);
    LineTo(dc, x, y + radius + 4);
    MoveToEx(dc, x - radius - 3, y, nullptr);
    LineTo(dc, x + radius + 4, y);
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    EndPaint(finder, &paint);
}

void StatusLine::LayOut(HFONT font) noexcept {
    SendMessageW(m_bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    Reposition();
}

int StatusLine::Height() const noexcept {
    RECT bounds{};
    GetWindowRect(m_bar, &bounds);
    return bounds.bottom - bounds.top;
}

void StatusLine::Reposition() const noexcept {
    // The status bar places itself along the bottom edge; the finder mark takes a square part at
    // its right end.
    SendMessageW(m_bar, WM_SIZE, 0, 0);
    RECT bar{};
    GetClientRect(m_bar, &bar);
    const int parts[] = {std::max(0, static_cast<int>(bar.right - bar.bottom)), -1};
    SendMessageW(m_bar, SB_SETPARTS, std::size(parts), reinterpret_cast<LPARAM>(parts));
    RECT finder{};
    SendMessageW(m_bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&finder));
    MoveWindow(m_finder, finder.left, finder.top, finder.right - finder.left,
               finder.bottom - finder.top, TRUE);
}

void StatusLine::SetReading(bool reading) noexcept {
    m_reading = reading;
    if (reading) {
        m_note.text.clear();
    }
    ShowCounts();
}

void StatusLine::ShowNote(const Text& note) {
    m_note = StatusNote{note, m_results.RowCount(), m_results.CheckedCount()};
    ShowCounts();
}

void StatusLine::ShowCounts() noexcept {
    try {
        Text counts =
            StatusLineText(m_results.RowCount(), m_results.CheckedCount(), m_reading, m_note);
        if (counts != m_shownCounts) {
            SendMessageW(m_bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(WideOf(counts)));
            m_shownCounts = std::move(counts);
        }
    } catch (...) {
        // No memory for the words: the line keeps what it shows.
    }
}
