// An items window on screen.
#include "wingui/ItemsWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "core/Failure.h"
#include "win32/Win32Text.h"
#include "wingui/Layout.h"
#include "wingui/MainWindowFonts.h"

namespace {

// The controls are not painted over when the window paints its background, in its owner's
// colour: no brush of its own.
constexpr OwnedWindowKind kItemsWindowKind{kItemsWindowClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                           0, nullptr, u"The items window"};
// Posted by the reading thread when a read has ended.
constexpr UINT kReadEndedMessage = WM_APP + 1;
constexpr int kWholeStatusBar = 100;  // percent
// The status bar's parts: the read's note, then the last command's.
constexpr WPARAM kReadNotePart = 0;
constexpr WPARAM kCommandNotePart = 1;

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    const HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                                       0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
    if (child == nullptr) {
        throw Failure(u"A control of the items window could not be created.");
    }
    return child;
}

}  // namespace

ItemsWindow::ItemsWindow(HWND owner, int cascade, ItemsSource source, const SkinDefinition& look,
                         std::function<void(ItemsWindow&)> closed)
    : m_closed(std::move(closed)), m_look(look), m_dpi(GetDpiForWindow(owner)) {
    RECT outer{0, 0, Pixels(kItemsClientTwips.cx), Pixels(kItemsClientTwips.cy)};
    AdjustWindowRectExForDpi(&outer, kItemsWindowKind.style, FALSE, kItemsWindowKind.exStyle,
                             m_dpi);
    // From here a failure unwinds the members made: the window's owner destroys it.
    m_window.reset(CreateOwnedWindow(
        *this, kItemsWindowKind, SIZE{outer.right - outer.left, outer.bottom - outer.top}, owner));
    const HWND window = m_window.get();
    m_clipboard.emplace(window);
    m_dialogs.emplace(window, [] {});
    m_form = std::make_unique<ItemsForm>(
        std::move(source), ItemsFormServices{m_remote, *m_clipboard, *m_dialogs, m_saveFiles},
        [window] { PostMessageW(window, kReadEndedMessage, 0, 0); });
    CreateControls();
    Refresh();
    PlaceOver(owner, cascade);
    ShowWindow(window, SW_SHOWNORMAL);
}

// The window opens over its owner, a caption's height further in for each one already open, and
// whole on its owner's monitor where it fits.
void ItemsWindow::PlaceOver(HWND owner, int cascade) const noexcept {
    RECT ownerPlace{};
    RECT place{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetWindowRect(owner, &ownerPlace) || !GetWindowRect(Window(), &place) ||
        !GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const int step =
        GetSystemMetricsForDpi(SM_CYCAPTION, m_dpi) + GetSystemMetricsForDpi(SM_CYSIZEFRAME, m_dpi);
    const auto within = [](LONG wanted, LONG low, LONG high, LONG size) {
        return std::max(low, std::min(wanted, high - size));
    };
    const int left = within(ownerPlace.left + step * (cascade + 1), work.left, work.right,
                            place.right - place.left);
    const int top = within(ownerPlace.top + step * (cascade + 1), work.top, work.bottom,
                           place.bottom - place.top);
    SetWindowPos(Window(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ItemsWindow::CreateControls() {
    // Creation order is the tab order: the list, then the buttons.
    m_list = std::make_unique<ItemsListView>(Window(), kItemsListId);
    ListView_SetBkColor(m_list->Handle(), m_look.listBackground);
    ListView_SetTextBkColor(m_list->Handle(), m_look.listBackground);
    ListView_SetTextColor(m_list->Handle(), m_look.listText);
    for (const ButtonPlace& place : kItemsButtons) {
        m_buttons.push_back(std::make_unique<PushButton>(Window(), place, [] {}));
    }
    m_statusBar = CreateChild(Window(), STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, kItemsStatusBarId);
    // Laid out first: the columns share the list's width.
    LayOut(m_dpi);
    m_list->Show(m_form->Table());
}

int ItemsWindow::Pixels(int twips) const noexcept {
    return TwipsToPixels(twips, m_dpi);
}

void ItemsWindow::LayOut(UINT dpi) {
    m_dpi = dpi;
    // The main window's fonts; the new ones are in use before the old ones go.
    ScopedFont listFont = std::move(CreateListFonts(dpi).plain);
    ScopedFont buttonFont = CreateButtonFont(m_look.buttonFont, dpi);
    const auto listFontParameter = reinterpret_cast<WPARAM>(listFont.get());
    SendMessageW(m_list->Handle(), WM_SETFONT, listFontParameter, FALSE);
    SendMessageW(m_statusBar, WM_SETFONT, listFontParameter, FALSE);
    for (const auto& button : m_buttons) {
        SendMessageW(button->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()),
                     FALSE);
    }
    m_listFont = std::move(listFont);
    m_buttonFont = std::move(buttonFont);
    PlaceControls();
}

void ItemsWindow::PlaceControls() const noexcept {
    RECT client{};
    GetClientRect(Window(), &client);
    // The status bar places itself along the bottom edge.
    SendMessageW(m_statusBar, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(m_statusBar, &status);
    const int statusTop = client.bottom - (status.bottom - status.top);
    const int parts[] = {MulDiv(client.right, kItemsReadNotePercent, kWholeStatusBar), -1};
    SendMessageW(m_statusBar, SB_SETPARTS, std::size(parts), reinterpret_cast<LPARAM>(parts));

    const int margin = Pixels(kItemsMarginTwips);
    const int buttonHeight = Pixels(kItemsButtonHeightTwips);
    const int buttonWidth = Pixels(kItemsButtonWidthTwips);
    const int buttonTop = statusTop - margin - buttonHeight;
    int left = margin;
    for (const auto& button : m_buttons) {
        MoveWindow(button->Handle(), left, buttonTop, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + margin;
    }
    MoveWindow(m_list->Handle(), margin, margin,
               std::max(0, static_cast<int>(client.right) - 2 * margin),
               std::max(0, buttonTop - 2 * margin), TRUE);
    m_list->FitColumn();
}

void ItemsWindow::ShowState() noexcept {
    try {
        SetWindowTextW(Window(), WideOf(m_form->Title()));
        SendMessageW(m_statusBar, SB_SETTEXTW, kReadNotePart,
                     reinterpret_cast<LPARAM>(WideOf(m_form->ReadNote())));
        SendMessageW(m_statusBar, SB_SETTEXTW, kCommandNotePart,
                     reinterpret_cast<LPARAM>(WideOf(m_form->CommandNote())));
    } catch (...) {
        // The texts stay as they were; the next change shows them again. Nothing may escape: the
        // window procedure runs this, and the status bar is where a report would go.
    }
    const HWND refresh = GetDlgItem(Window(), kItemsRefreshCommand);
    const bool reading = m_form->Reading();
    if (reading && GetFocus() == refresh) {
        SetFocus(m_list->Handle());
    }
    EnableWindow(refresh, !reading);
}

void ItemsWindow::Refresh() noexcept {
    m_form->Refresh();
    ShowState();
}

LRESULT ItemsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam);
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_SIZE:
            return OnSize();
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_DPICHANGED:
            return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case kReadEndedMessage:
            return OnReadEnded();
        case WM_ACTIVATE:
            return m_focus.OnActivate(Window(), wParam, lParam);
        case WM_SETFOCUS:
            return m_focus.OnSetFocus(m_list->Handle());
        case WM_CLOSE:
            return OnClose();
        default:
            return DefWindowProcW(Window(), message, wParam, lParam);
    }
}

LRESULT ItemsWindow::OnCommand(WPARAM wParam) noexcept {
    int command = LOWORD(wParam);
    // Enter on a focused button clicks it, as on a dialog.
    if (command == IDOK) {
        const HWND focus = GetFocus();
        command = GetParent(focus) == Window() ? GetDlgCtrlID(focus) : 0;
    }
    switch (command) {
        case IDCANCEL:
            return OnClose();
        case kItemsCopyCommand:
            try {
                m_form->Copy(m_list->SelectedRows());
            } catch (...) {
                // Not enough memory for the list of selected rows: nothing was copied. A note
                // would need memory too, and nothing may escape the window procedure.
            }
            break;
        case kItemsSaveAsCommand:
            m_form->SaveAs();
            break;
        case kItemsRefreshCommand:
            Refresh();
            break;
        case kItemsSelectAllCommand:
            m_list->SelectAll();
            break;
        default:
            return 0;
    }
    ShowState();
    return 0;
}

LRESULT ItemsWindow::OnNotify(NMHDR& header) noexcept {
    return header.hwndFrom == m_list->Handle() ? m_list->OnNotify(header) : 0;
}

LRESULT ItemsWindow::OnSize() noexcept {
    PlaceControls();
    return 0;
}

LRESULT ItemsWindow::OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept {
    for (const auto& button : m_buttons) {
        if (button->Handle() == item.hwndItem) {
            button->Draw(item, m_look, m_buttonFont.get(), m_dpi);
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT ItemsWindow::OnEraseBackground(HDC dc) const noexcept {
    RECT client{};
    GetClientRect(Window(), &client);
    FillRect(dc, &client, ScopedBrush(CreateSolidBrush(m_look.windowBackground)).get());
    return TRUE;
}

LRESULT ItemsWindow::OnGetMinMaxInfo(MINMAXINFO& limits) const noexcept {
    RECT outer{0, 0, Pixels(kItemsSmallestClientTwips.cx), Pixels(kItemsSmallestClientTwips.cy)};
    AdjustWindowRectExForDpi(&outer, kItemsWindowKind.style, FALSE, kItemsWindowKind.exStyle,
                             m_dpi);
    limits.ptMinTrackSize = POINT{outer.right - outer.left, outer.bottom - outer.top};
    return 0;
}

LRESULT ItemsWindow::OnDpiChanged(UINT dpi, const RECT& suggested) noexcept {
    try {
        LayOut(dpi);
    } catch (...) {
        // The controls keep the font they had, which still reads; nothing may escape the window
        // procedure.
    }
    SetWindowPos(Window(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT ItemsWindow::OnReadEnded() noexcept {
    m_form->TakeRead();
    try {
        m_list->Show(m_form->Table());
    } catch (...) {
        // The columns could not all be made: the list shows those it has. Nothing may escape to
        // the window procedure, and the read's note in the status bar says how it ended.
    }
    ShowState();
    if (m_closing) {
        Dismiss();
    }
    return 0;
}

// A read is stopped once its round of items is in: the window hides at once and goes then.
LRESULT ItemsWindow::OnClose() noexcept {
    if (m_form->Reading()) {
        m_closing = true;
        m_form->StopReading();
        ShowWindow(Window(), SW_HIDE);
    } else {
        Dismiss();
    }
    return 0;
}

void ItemsWindow::Dismiss() noexcept {
    // Held here: running it destroys this object, and the function with it.
    const std::function<void(ItemsWindow&)> closed = m_closed;
    closed(*this);
}
