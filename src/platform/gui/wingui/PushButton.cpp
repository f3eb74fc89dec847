// The owner-drawn push button.
#include "wingui/PushButton.h"

#include <commctrl.h>

#include <iterator>

#include "core/Failure.h"
#include "win32/ScopedHandles.h"

namespace {

// The focus rectangle's inset from the button's edge, in pixels at the system's default DPI.
constexpr int kFocusInsetPixels = 4;
// Room for the longest caption of the layout.
constexpr int kCaptionUnits = 128;

}  // namespace

PushButton::PushButton(HWND parent, const ButtonPlace& place, std::function<void()> pointerMove)
    : m_place(place), m_pointerMove(std::move(pointerMove)) {
    m_button = CreateWindowExW(0, L"BUTTON", place.caption,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                               GetModuleHandleW(nullptr), nullptr);
    if (m_button == nullptr) {
        throw Failure(u"The push button could not be created.");
    }
    SetWindowSubclass(m_button, &PushButton::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

PushButton::~PushButton() {
    RemoveWindowSubclass(m_button, &PushButton::SubclassProc, 0);
}

void PushButton::LayOut(UINT dpi, HFONT font, Stretch stretch) const noexcept {
    SendMessageW(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Reposition(dpi, stretch);
}

void PushButton::Reposition(UINT dpi, Stretch stretch) const noexcept {
    const RECT bounds = StretchedPlace(m_place.twips, dpi, stretch);
    MoveWindow(m_button, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, TRUE);
}

void PushButton::Draw(const DRAWITEMSTRUCT& item, const SkinDefinition& look, HFONT font,
                      UINT dpi) const noexcept {
    const HDC dc = item.hDC;
    RECT bounds = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const ButtonLook& state = pressed ? look.pressed : m_hot ? look.hot : look.normal;
    FillRect(dc, &bounds, ScopedBrush(CreateSolidBrush(state.face)).get());
    const ScopedBrush frame(
        CreateSolidBrush(focused && !pressed ? look.focusBorder : state.border));
    FrameRect(dc, &bounds, frame.get());
    if (focused) {
        RECT inner = bounds;
        InflateRect(&inner, -1, -1);
        FrameRect(dc, &inner, frame.get());
    }
    wchar_t caption[kCaptionUnits] = L"";
    GetWindowTextW(m_button, caption, static_cast<int>(std::size(caption)));
    {
        const ScopedSelection selectedFont(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(
            dc, (item.itemState & ODS_DISABLED) != 0 ? GetSysColor(COLOR_GRAYTEXT) : state.text);
        RECT textBounds = bounds;
        if (pressed) {
            OffsetRect(&textBounds, 1, 1);
        }
        DrawTextW(dc, caption, -1, &textBounds,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        const int inset = MulDiv(kFocusInsetPixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        InflateRect(&bounds, -inset, -inset);
        DrawFocusRect(dc, &bounds);
    }
}

// The pointer-move event, and the hot state while the pointer is over the button.
LRESULT CALLBACK PushButton::SubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<PushButton*>(data);
    if (message == WM_MOUSEMOVE) {
        if (!self->m_hot) {
            self->m_hot = true;
            InvalidateRect(button, nullptr, FALSE);
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
            TrackMouseEvent(&track);
        }
        try {
            self->m_pointerMove();
        } catch (...) {
            // Pointer feedback is a nicety; nothing may unwind through the window system.
        }
    } else if (message == WM_MOUSELEAVE && self->m_hot) {
        self->m_hot = false;
        InvalidateRect(button, nullptr, FALSE);
    }
    return DefSubclassProc(button, message, wParam, lParam);
}
