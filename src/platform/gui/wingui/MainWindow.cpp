// The main window on screen.
#include "wingui/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "core/Failure.h"
#include "core/Steps.h"
#include "export/ClipboardCopy.h"
#include "win32/Win32Clipboard.h"
#include "win32/Win32Text.h"
#include "wingui/MainMenu.h"
#include "wingui/MainWindowFonts.h"
#include "wingui/Resources.h"

namespace {

// No background brush: the window paints its own in its colour.
constexpr OwnedWindowKind kMainWindowKind{L"TessivaneMainWindow", WS_OVERLAPPEDWINDOW, 0, nullptr,
                                          u"The main window"};
// The high word of WM_COMMAND's wParam for a command sent by an accelerator.
constexpr WORD kAcceleratorNotification = 1;
// An OLE colour with this bit set is a system colour, whose index is its low byte.
constexpr std::uint32_t kSystemColourFlag = 0x80000000u;
constexpr std::uint32_t kSystemColourIndexMask = 0xFF;
// The status line's counts are brought up to date this often.
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusMilliseconds = 250;

}  // namespace

MainWindow::MainWindow() {
    m_window =
        CreateOwnedWindow(*this, kMainWindowKind, SIZE{CW_USEDEFAULT, CW_USEDEFAULT}, nullptr);
    ScopedMenu menu = CreateMainMenu();
    if (!SetMenu(m_window, menu.get())) {
        throw Failure(u"The menu bar could not be given to the main window.");
    }
    // The window destroys its menu bar from now on.
    static_cast<void>(menu.release());
    m_menuKeys = CreateMainMenuKeys();
    CreateControls();
    m_picking = std::make_unique<PickAndHighlight>(m_window, *m_results, [this](HWND picked) {
        Run([handle = HandleOf(picked)](MainForm& form) { form.PickWindow(handle); });
    });
}

// The window itself lives until the program ends and the system destroys it with the UI
// thread; only this object's part in it ends here.
MainWindow::~MainWindow() {
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
}

void MainWindow::CreateControls() {
    // Creation order is the tab order: the two lists, then the buttons in the layout's order.
    const auto overList = [this] {
        if (m_form != nullptr) {
            m_form->PointerOverList();
        }
    };
    m_windowList = std::make_unique<OwnerDataList>(m_window, kWindowListPlace, overList);
    m_results = std::make_unique<OwnerDataList>(m_window, kResultsPlace, overList);
    m_buttons = std::make_unique<ButtonRow>(m_window, [this] {
        if (m_form != nullptr) {
            m_form->PointerOverButton();
        }
    });
    m_items = std::make_unique<ItemsWindows>(m_window, [this] { return CurrentLook(); });
    m_resultsLook = std::make_unique<ResultsLook>(*m_results, *m_items, m_find);
    m_status = std::make_unique<StatusLine>(m_window, m_results->Rows());
    LayOut(GetDpiForWindow(m_window));
    SetTimer(m_window, kStatusTimer, kStatusMilliseconds, nullptr);
}

void MainWindow::LayOut(UINT dpi) {
    m_dpi = dpi;
    // The new fonts are in use before the old ones go.
    ListFonts listFonts = CreateListFonts(dpi);
    const HFONT listFont = listFonts.plain.get();
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), FALSE);
    m_windowList->LayOut(dpi, listFont, m_stretch);
    m_results->LayOut(dpi, listFont, m_stretch);
    m_buttons->LayOut(dpi, m_stretch);
    m_status->LayOut(listFont);
    m_resultsLook->UseFonts(std::move(listFonts));
}

SIZE MainWindow::ClientSize() const noexcept {
    // The window grows by its status line under the layout.
    return SIZE{TwipsToPixels(kClientTwips.cx, m_dpi),
                TwipsToPixels(kClientTwips.cy, m_dpi) + m_status->Height()};
}

SIZE MainWindow::OuterSize() const noexcept {
    const SIZE client = ClientSize();
    RECT outer{0, 0, client.cx, client.cy};
    // The window grows by its menu bar; the client area stays the layout's.
    AdjustWindowRectExForDpi(&outer, kMainWindowKind.style, TRUE, kMainWindowKind.exStyle, m_dpi);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

// The lists and buttons take what the client area has beyond the layout's size.
LRESULT MainWindow::OnSize(WPARAM kind) noexcept {
    if (kind == SIZE_MINIMIZED) {
        return 0;
    }
    RECT client{};
    GetClientRect(m_window, &client);
    const SIZE laidOut = ClientSize();
    m_stretch = Stretch{static_cast<int>(std::max(0L, client.right - laidOut.cx)),
                        static_cast<int>(std::max(0L, client.bottom - laidOut.cy))};
    m_windowList->Reposition(m_stretch);
    m_results->Reposition(m_stretch);
    m_buttons->Reposition(m_stretch);
    m_status->Reposition();
    return 0;
}

// The laid-out size is the smallest.
LRESULT MainWindow::OnGetMinMaxInfo(MINMAXINFO& limits) const noexcept {
    const SIZE smallest = OuterSize();
    limits.ptMinTrackSize = POINT{smallest.cx, smallest.cy};
    return 0;
}

void MainWindow::LoadAndShow() {
    m_form->Load();
    SyncLists();
    ShowViewChoices();
    const std::optional<WindowPlace> saved = m_remembered->Place();
    const RECT place = OpeningPlace(saved);
    SetWindowPos(m_window, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_window, saved && saved->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(m_window);
}

RECT MainWindow::OpeningPlace(const std::optional<WindowPlace>& saved) const noexcept {
    const SIZE size = OuterSize();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (saved) {
        const ScreenRect& bounds = saved->bounds;
        const RECT savedRect{bounds.left, bounds.top, bounds.right, bounds.bottom};
        if (GetMonitorInfoW(MonitorFromRect(&savedRect, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            const ScreenRect place = PlaceOnWorkArea(
                bounds, size.cx, size.cy, ScreenRect{work.left, work.top, work.right, work.bottom});
            return RECT{place.left, place.top, place.right, place.bottom};
        }
    }
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    // Centred; a screen too small for the window shows its top-left part.
    const LONG left = std::max(work.left, work.left + (work.right - work.left - size.cx) / 2);
    const LONG top = std::max(work.top, work.top + (work.bottom - work.top - size.cy) / 2);
    return RECT{left, top, left + size.cx, top + size.cy};
}

void MainWindow::RememberLayout() noexcept {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(m_window, &placement)) {
        const bool maximized = IsZoomed(m_window) != FALSE ||
                               (IsIconic(m_window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
        RECT bounds{};
        if (IsZoomed(m_window) || IsIconic(m_window)) {
            // The normal place is in the coordinates of the primary monitor's work area.
            bounds = placement.rcNormalPosition;
            MONITORINFO primary{};
            primary.cbSize = sizeof(primary);
            if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                &primary)) {
                OffsetRect(&bounds, primary.rcWork.left - primary.rcMonitor.left,
                           primary.rcWork.top - primary.rcMonitor.top);
            }
        } else {
            GetWindowRect(m_window, &bounds);
        }
        m_remembered->SetPlace(WindowPlace{
            ScreenRect{bounds.left, bounds.top, bounds.right, bounds.bottom}, maximized});
    }
    const auto rememberColumns = [&](const OwnerDataList& list, RememberedList which) {
        for (int column = 1; column <= list.ColumnCount(); ++column) {
            m_remembered->SetColumnTwips(which, column, list.LaidOutColumnTwips(column));
        }
    };
    rememberColumns(*m_windowList, RememberedList::kWindowList);
    rememberColumns(*m_results, RememberedList::kResults);
}

void MainWindow::ShowViewChoices() noexcept {
    const HMENU menu = GetMenu(m_window);
    const auto tick = [menu](int id, bool on) {
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    tick(MenuCommandId::kShowAllWindows, m_form->ShowsAllWindows());
    tick(MenuCommandId::kShowDepth, m_form->ShowsDepth());
    m_results->SetIndentsByDepth(m_form->ShowsDepth());
}

bool MainWindow::TranslateDialogKeys(MSG& message) noexcept {
    if (m_items->TranslateKeys(message) || m_find.TranslateKeys(message)) {
        return true;
    }
    const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
    return (ours && TranslateAcceleratorW(m_window, m_menuKeys.get(), &message) != 0) ||
           IsDialogMessageW(m_window, &message) != FALSE;
}

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

void MainWindow::ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons,
                           bool lists, bool windowColour, bool fonts) {
    if (HwndOf(window) != m_window) {
        throw Failure(u"The skin can only be applied to the main window.");
    }
    SkinDefinition& look = m_buttons->Look();
    if (buttons) {
        look.normal = skin.normal;
        look.hot = skin.hot;
        look.pressed = skin.pressed;
        look.focusBorder = skin.focusBorder;
    }
    if (fonts) {
        look.buttonFont = skin.buttonFont;
    }
    if (windowColour) {
        m_background = skin.windowBackground;
    }
    if (lists) {
        m_windowList->SetColours(skin.listBackground, skin.listText);
        m_results->SetColours(skin.listBackground, skin.listText);
    }
    LayOut(m_dpi);
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

SkinDefinition MainWindow::CurrentLook() const {
    SkinDefinition look = m_buttons->Look();
    look.windowBackground = m_background;
    look.listBackground = ListView_GetBkColor(m_results->Handle());
    look.listText = ListView_GetTextColor(m_results->Handle());
    return look;
}

void MainWindow::SyncLists() noexcept {
    m_windowList->Sync();
    m_results->Sync();
}

template <typename Command>
void MainWindow::Run(Command command) noexcept {
    try {
        std::invoke(command, *m_form);
    } catch (const ProgramEnding&) {
        // The window is gone and the message loop ends next.
        return;
    } catch (...) {
        // Every command reports its failures through the step runner: what unwinds past it has no
        // step to be reported under, and nothing may escape to the window procedure.
    }
    SyncLists();
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_find.IsItsMessage(message)) {
        if (const std::optional<RowSearch> search = m_find.OnMessage()) {
            Run([&](MainForm& form) { form.FindInResults(*search); });
        }
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam);
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_DPICHANGED:
            return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case WM_MOUSEMOVE:
            return OnMouseMove();
        case WM_LBUTTONUP:
            return m_picking->OnLeftButtonUp();
        case WM_CAPTURECHANGED:
            return m_picking->OnCaptureChanged();
        case WM_SETCURSOR:
            return OnSetCursor(wParam, lParam);
        case WM_ACTIVATE:
            return m_focus.OnActivate(m_window, wParam, lParam);
        case WM_SETFOCUS:
            return m_focus.OnSetFocus(m_windowList->Handle());
        case WM_CLOSE:
            return OnClose();
        case WM_SIZE:
            return OnSize(wParam);
        case WM_GETMINMAXINFO:
            return m_status != nullptr ? OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam))
                                       : DefWindowProcW(m_window, message, wParam, lParam);
        case WM_TIMER:
            m_status->ShowCounts();
            return 0;
        default:
            return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

LRESULT MainWindow::OnCommand(WPARAM wParam) noexcept {
    const int id = LOWORD(wParam);
    switch (id) {
        case IDCANCEL:
            OnEscape();
            break;
        case IDOK:
            OnEnter();
            break;
        default:
            // A push button's id runs its command of the form; every other id is a menu item's.
            if (const PushButton* button = m_buttons->ButtonOf(GetDlgItem(m_window, id))) {
                if (HIWORD(wParam) == BN_CLICKED) {
                    Run(button->Place().command);
                }
            } else {
                RunMenuCommand(id, HIWORD(wParam) == kAcceleratorNotification);
            }
            break;
    }
    return 0;
}

void MainWindow::ShowStatusNote(const Text& note) {
    m_status->ShowNote(note);
}

// Esc, which the dialog keys turn into IDCANCEL, ends picking or stops a walk.
void MainWindow::OnEscape() noexcept {
    if (!m_picking->CancelPicking()) {
        m_form->RequestStop();
    }
}

// Enter, which the dialog keys turn into IDOK, acts on the focused control: on a window-list row it
// extracts that window, as the Start button does; on a results row it opens its items (where it
// has none, it beeps, as a key that does nothing does); on a push button it clicks it, as on a
// dialog.
void MainWindow::OnEnter() noexcept {
    const HWND focus = GetFocus();
    if (focus == m_windowList->Handle()) {
        Run(&MainForm::ExtractSelectedWindow);
    } else if (focus == m_results->Handle()) {
        OpenItemsOfSelectedResult();
    } else if (const PushButton* button = m_buttons->ButtonOf(focus)) {
        Run(button->Place().command);
    }
}

LRESULT MainWindow::OnNotify(NMHDR& header) noexcept {
    if (header.hwndFrom == m_results->Handle()) {
        switch (header.code) {
            case NM_DBLCLK:
                return OnResultsDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
            case LVN_GETINFOTIPW:
                return m_resultsLook->OnInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
            case NM_CUSTOMDRAW:
                return m_resultsLook->OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
            case LVN_ITEMCHANGED:
                return m_picking->OnResultsItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
            default:
                break;
        }
    }
    if (header.hwndFrom == m_windowList->Handle() && header.code == NM_DBLCLK &&
        reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0) {
        Run(&MainForm::ExtractSelectedWindow);
        return 0;
    }
    for (OwnerDataList* list : {m_windowList.get(), m_results.get()}) {
        if (header.hwndFrom == list->Handle()) {
            return list->OnNotify(&header);
        }
    }
    return 0;
}

LRESULT MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept {
    m_buttons->Draw(item);
    return TRUE;
}

LRESULT MainWindow::OnEraseBackground(HDC dc) const noexcept {
    RECT client;
    GetClientRect(m_window, &client);
    FillRect(dc, &client, ScopedBrush(CreateSolidBrush(m_background)).get());
    return TRUE;
}

// The window takes the system's suggested place, no smaller than the layout at the new DPI.
LRESULT MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    LayOut(dpi);
    const SIZE smallest = OuterSize();
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top,
                 std::max(smallest.cx, static_cast<LONG>(suggested.right - suggested.left)),
                 std::max(smallest.cy, static_cast<LONG>(suggested.bottom - suggested.top)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT MainWindow::OnMouseMove() noexcept {
    // While picking, the window has the capture and the pointer may be anywhere.
    if (!m_picking->TrackPointer()) {
        m_form->PointerOverSurface();
    }
    return 0;
}

LRESULT MainWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) const noexcept {
    if (LOWORD(lParam) == HTCLIENT && SetPointerShape(reinterpret_cast<HWND>(wParam))) {
        return TRUE;
    }
    return DefWindowProcW(m_window, WM_SETCURSOR, wParam, lParam);
}

LRESULT MainWindow::OnClose() noexcept {
    m_form->Close();
    return 0;
}

void MainWindow::OpenItemsOfSelectedResult() noexcept {
    const std::optional<std::size_t> row = m_results->SelectedIndex();
    if (!row || !m_items->OpenOfRow(Results(), static_cast<int>(*row))) {
        MessageBeep(MB_OK);
    }
}

void MainWindow::RunMenuCommand(int id, bool byKey) noexcept {
    switch (id) {
        case MenuCommandId::kOpenItems:
            OpenItemsOfSelectedResult();
            return;
        case MenuCommandId::kFind:
            m_find.Open(m_window);
            return;
        case MenuCommandId::kFindNext:
            FindNext();
            return;
        case MenuCommandId::kPickWindow:
            m_picking->StartPicking(byKey);
            return;
        case MenuCommandId::kHighlightSelectedWindow:
            m_picking->HighlightSelectedResult();
            return;
        case MenuCommandId::kCopyPath:
            CopyPathOfSelectedResult();
            return;
        default:
            break;
    }
    if (const std::optional<FormCommand> command = FormCommandOf(id)) {
        Run(*command);
    }
    if (id == MenuCommandId::kShowAllWindows || id == MenuCommandId::kShowDepth) {
        ShowViewChoices();
    }
}

void MainWindow::CopyPathOfSelectedResult() noexcept {
    try {
        const std::optional<std::size_t> row = m_results->SelectedIndex();
        if (!row) {
            MessageBeep(MB_OK);
            return;
        }
        const std::optional<Text> path = m_resultsLook->PathOfRow(*row + 1);
        if (!path) {
            MessageBoxW(m_window,
                        L"The window of the selected row, or the extracted window, has closed: "
                        L"the row has no path.",
                        WideOf(m_form->ApplicationTitle()), MB_OK | MB_ICONINFORMATION);
            return;
        }
        Win32Clipboard clipboard(m_window);
        if (!SetClipboardText(clipboard, *path, 0)) {
            MessageBeep(MB_ICONWARNING);
        }
    } catch (...) {
        // Nothing may escape to the window procedure; the clipboard is left as it was.
        MessageBeep(MB_ICONWARNING);
    }
}

void MainWindow::FindNext() noexcept {
    if (const std::optional<RowSearch>& search = m_find.LastSearch()) {
        Run([&](MainForm& form) { form.FindInResults(*search); });
    } else {
        m_find.Open(m_window);
    }
}

// A double-click on a row without items does nothing, as in the system's own lists.
LRESULT MainWindow::OnResultsDoubleClick(const NMITEMACTIVATE& activation) noexcept {
    m_items->OpenOfRow(Results(), activation.iItem);
    return 0;
}
