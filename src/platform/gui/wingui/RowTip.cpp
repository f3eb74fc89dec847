// A list's row tip, shown and hidden by the list's own pointer messages.
#include "wingui/RowTip.h"

#include <commctrl.h>
#include <windowsx.h>

#include "core/Failure.h"
#include "win32/Win32Text.h"
#include "wingui/OwnerDataList.h"

namespace {

// The tip's widest line, at 96 DPI: longer lines wrap.
constexpr int kTipWidth = 600;
// How far below the pointer's tip the row's tip shows, clear of the pointer's image.
constexpr int kBelowPointer = 20;

}  // namespace

RowTip::RowTip(HWND list, WordsOfRow words) : m_list(list), m_words(std::move(words)) {
    m_tip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
    if (!m_tip) {
        throw Failure(u"The tip of the results' rows could not be made.");
    }
    TTTOOLINFOW tool = Tool();
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_tip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width makes the tip break its text at line ends.
    SendMessageW(
        m_tip.get(), TTM_SETMAXTIPWIDTH, 0,
        MulDiv(kTipWidth, static_cast<int>(GetDpiForWindow(list)), USER_DEFAULT_SCREEN_DPI));
    SetWindowSubclass(m_list, &RowTip::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

RowTip::~RowTip() {
    RemoveWindowSubclass(m_list, &RowTip::SubclassProc, 0);
}

TTTOOLINFOW RowTip::Tool() const noexcept {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_list;
    tool.uId = reinterpret_cast<UINT_PTR>(m_list);
    return tool;
}

// The pointer resting on a row shows its tip; moving to another row, leaving, clicking, scrolling
// or a key hides it.
LRESULT CALLBACK RowTip::SubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<RowTip*>(data);
    switch (message) {
        case WM_MOUSEMOVE:
            self->OnPointerMoved(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_MOUSEHOVER:
            self->Show(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_KEYDOWN:
        case WM_KILLFOCUS:
            self->Hide();
            break;
        default:
            break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

void RowTip::OnPointerMoved(POINT point) noexcept {
    if (m_shownRow >= 0 && ListRowAt(m_list, point) != m_shownRow) {
        Hide();
    }
    if (m_shownRow < 0) {
        // The hover is asked for again after each move: it comes once the pointer rests.
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_list;
        track.dwHoverTime = HOVER_DEFAULT;
        TrackMouseEvent(&track);
    }
}

void RowTip::Show(POINT point) noexcept {
    const int row = ListRowAt(m_list, point);
    if (row < 0) {
        return;
    }
    try {
        const std::optional<Text> words = m_words(row);
        if (!words) {
            return;
        }
        TTTOOLINFOW tool = Tool();
        tool.lpszText = const_cast<wchar_t*>(WideOf(*words));
        SendMessageW(m_tip.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        POINT at = point;
        ClientToScreen(m_list, &at);
        SendMessageW(m_tip.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y + kBelowPointer));
        SendMessageW(m_tip.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        m_shownRow = row;
    } catch (...) {
        // No tip: a tip has no room for a report, and nothing may escape to the list's procedure.
    }
}

void RowTip::Hide() noexcept {
    if (m_shownRow < 0) {
        return;
    }
    TTTOOLINFOW tool = Tool();
    SendMessageW(m_tip.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    m_shownRow = -1;
}
