// The main window's status line.
#include "wingui/StatusLine.h"

#include <commctrl.h>

#include "core/Failure.h"
#include "win32/Win32Text.h"

namespace {

constexpr int kStatusLineId = 104;

}  // namespace

StatusLine::StatusLine(HWND parent, const RowTable& results) : m_results(results) {
    m_bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)),
                            GetModuleHandleW(nullptr), nullptr);
    if (m_bar == nullptr) {
        throw Failure(u"The status line could not be created.");
    }
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
    // The status bar places itself along the bottom edge.
    SendMessageW(m_bar, WM_SIZE, 0, 0);
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
