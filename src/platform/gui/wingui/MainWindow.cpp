// The main window on screen.
#include "wingui/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "core/Failure.h"
#include "core/Steps.h"
#include "gui/RowState.h"
#include "win32/Win32Text.h"
#include "wingui/MainMenu.h"
#include "wingui/OwnedWindowProc.h"
#include "wingui/Resources.h"

namespace {

constexpr wchar_t kClassName[] = L"TessivaneMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
// The window's own font, for the lists: "Arial" 9 pt bold.
constexpr int kWindowFontCentipoints = 900;
// The buttons' font unless a skin gives one: "Arial" 11.25 pt bold.
constexpr int kButtonFontCentipoints = 1125;
constexpr int kCentipointsPerInch = 7200;

ScopedFont MakeFont(const Text& face, int centipoints, bool bold, DWORD charset, UINT dpi) {
    return ScopedFont(CreateFontW(-MulDiv(centipoints, static_cast<int>(dpi), kCentipointsPerInch),
                                  0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, charset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, WideOf(face)));
}

ScopedFont CreateArialBold(int centipoints, UINT dpi) {
    return MakeFont(u"Arial", centipoints, true, ANSI_CHARSET, dpi);
}

ScopedFont CreateVariant(HFONT font, bool underline, bool italic) {
    LOGFONTW look{};
    GetObjectW(font, sizeof(look), &look);
    look.lfUnderline = underline ? TRUE : FALSE;
    look.lfItalic = italic ? TRUE : FALSE;
    return ScopedFont(CreateFontIndirectW(&look));
}

}  // namespace

MainWindow::MainWindow() {
    // The layout's buttons write in the system's button text colour.
    for (ButtonLook* look : {&m_look.normal, &m_look.hot, &m_look.pressed}) {
        look->text = GetSysColor(COLOR_BTNTEXT);
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &OwnedWindowProc<MainWindow>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        const DWORD error = GetLastError();
        throw Failure(u"The main window's class could not be registered: " + SystemMessage(error));
    }
    if (CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                        this) == nullptr) {
        const DWORD error = GetLastError();
        throw Failure(u"The main window could not be created: " + SystemMessage(error));
    }
    const HMENU menu = CreateMainMenu();
    if (!SetMenu(m_window, menu)) {
        DestroyMenu(menu);
        throw Failure(u"The menu bar could not be given to the main window.");
    }
    m_menuKeys = CreateMainMenuKeys();
    CreateControls();
    m_frame = std::make_unique<HighlightFrame>();
    m_picker = std::make_unique<WindowPicker>(m_window, *m_frame);
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
    // A results row whose window has items says so in its info tip.
    ListView_SetExtendedListViewStyleEx(m_results->Handle(), LVS_EX_INFOTIP, LVS_EX_INFOTIP);
    m_items = std::make_unique<ItemsWindows>(m_window);
    for (const ButtonPlace& place : kButtonPlaces) {
        m_buttons.push_back(std::make_unique<PushButton>(m_window, place, [this] {
            if (m_form != nullptr) {
                m_form->PointerOverButton();
            }
        }));
    }
    LayOut(GetDpiForWindow(m_window));
}

void MainWindow::LayOut(UINT dpi) {
    m_dpi = dpi;
    // The new fonts are in use before the old ones go.
    ScopedFont windowFont = CreateArialBold(kWindowFontCentipoints, dpi);
    ScopedFont itemsMarkFont = CreateVariant(windowFont.get(), true, false);
    ScopedFont disabledFont = CreateVariant(windowFont.get(), false, true);
    ScopedFont disabledItemsMarkFont = CreateVariant(windowFont.get(), true, true);
    ScopedFont buttonFont = CreateButtonFont();
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
    m_windowList->LayOut(dpi, windowFont.get());
    m_results->LayOut(dpi, windowFont.get());
    for (const auto& button : m_buttons) {
        button->LayOut(dpi, buttonFont.get());
    }
    m_windowFont = std::move(windowFont);
    m_itemsMarkFont = std::move(itemsMarkFont);
    m_disabledFont = std::move(disabledFont);
    m_disabledItemsMarkFont = std::move(disabledItemsMarkFont);
    m_buttonFont = std::move(buttonFont);
}

// "Arial" 11.25 pt bold, or the skin's button font when the skin's fonts are used.
ScopedFont MainWindow::CreateButtonFont() const {
    if (m_look.buttonFont) {
        const SkinFont& font = *m_look.buttonFont;
        if (ScopedFont skinned =
                MakeFont(font.face, font.centipoints, font.bold, DEFAULT_CHARSET, m_dpi)) {
            return skinned;
        }
    }
    return CreateArialBold(kButtonFontCentipoints, m_dpi);
}

SIZE MainWindow::OuterSize() const noexcept {
    RECT outer{0, 0, TwipsToPixels(kClientTwips.cx, m_dpi), TwipsToPixels(kClientTwips.cy, m_dpi)};
    // The window grows by its menu bar; the client area stays the layout's.
    AdjustWindowRectExForDpi(&outer, kStyle, TRUE, kExStyle, m_dpi);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void MainWindow::LoadAndShow() {
    m_form->Load();
    SyncLists();
    const SIZE size = OuterSize();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    // Centred; a screen too small for the window shows its top-left part.
    SetWindowPos(m_window, nullptr,
                 std::max(work.left, work.left + (work.right - work.left - size.cx) / 2),
                 std::max(work.top, work.top + (work.bottom - work.top - size.cy) / 2), size.cx,
                 size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
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
    ScopedIcon pointer(static_cast<HCURSOR>(
        LoadImageW(nullptr, WideOf(path), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    if (!pointer) {
        throw Failure(u"The pointer image \"" + path + u"\" could not be loaded as a cursor.");
    }
    m_handPointer = std::move(pointer);
}

// The message loop ends next, and a command that is letting events through meanwhile is unwound
// by the event pump. The window is not destroyed first: that costs nothing on Windows, but
// under Wine without a window manager its unmapping waits up to two seconds.
void MainWindow::EndProgram() {
    m_closed = true;
    PostQuitMessage(0);
}

void MainWindow::SetBusy(bool busy, bool stoppable) {
    if (busy) {
        m_focusBeforeBusy = GetFocus();
    }
    for (const auto& button : m_buttons) {
        const bool stops = stoppable && button->Place().command == &MainForm::ExtractSelectedWindow;
        SetWindowTextW(button->Handle(), busy && stops ? kStopCaption : button->Place().caption);
        EnableWindow(button->Handle(), !busy || stops);
    }
    if (!busy && m_focusBeforeBusy != nullptr && IsWindowEnabled(m_focusBeforeBusy)) {
        SetFocus(m_focusBeforeBusy);
    }
}

HCURSOR MainWindow::PointerShape() const noexcept {
    if (m_pointer == kBusyPointer) {
        return LoadCursorW(nullptr, IDC_WAIT);
    }
    if (m_pointer == kCustomPointer && m_handPointer) {
        return m_handPointer.get();
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

bool MainWindow::IsPushButton(HWND control) const noexcept {
    return std::any_of(m_buttons.begin(), m_buttons.end(),
                       [&](const auto& button) { return button->Handle() == control; });
}

// The window's setting governs its surface and the push buttons; the hourglass governs the
// lists too. Answers whether it set the shape.
bool MainWindow::SetPointerShape(HWND over) const noexcept {
    if (over == m_window || IsPushButton(over) ||
        (IsChild(m_window, over) && m_pointer == kBusyPointer)) {
        SetCursor(PointerShape());
        return true;
    }
    return false;
}

void MainWindow::SetMousePointer(int setting) {
    m_pointer = setting;
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
    // The high bit marks a system colour, its low byte the colour's index.
    m_background = (colour & 0x80000000u) != 0 ? GetSysColor(static_cast<int>(colour & 0xFF))
                                               : static_cast<COLORREF>(colour);
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainWindow::ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons,
                           bool lists, bool windowColour, bool fonts) {
    if (HwndOf(window) != m_window) {
        throw Failure(u"The skin can only be applied to the main window.");
    }
    if (buttons) {
        m_look.normal = skin.normal;
        m_look.hot = skin.hot;
        m_look.pressed = skin.pressed;
        m_look.focusBorder = skin.focusBorder;
    }
    if (fonts) {
        m_look.buttonFont = skin.buttonFont;
    }
    if (windowColour) {
        m_background = skin.windowBackground;
    }
    if (lists) {
        for (const OwnerDataList* list : {m_windowList.get(), m_results.get()}) {
            ListView_SetBkColor(list->Handle(), skin.listBackground);
            ListView_SetTextBkColor(list->Handle(), skin.listBackground);
            ListView_SetTextColor(list->Handle(), skin.listText);
        }
    }
    LayOut(m_dpi);
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
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
        // Every command runs its steps under the step runner; nothing else may unwind further.
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
            return OnLeftButtonUp();
        case WM_CAPTURECHANGED:
            return OnCaptureChanged();
        case WM_SETCURSOR:
            return OnSetCursor(wParam, lParam);
        case WM_ACTIVATE:
            return OnActivate(wParam, lParam);
        case WM_SETFOCUS:
            return OnSetFocus();
        case WM_CLOSE:
            return OnClose();
        default:
            return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

LRESULT MainWindow::OnCommand(WPARAM wParam) noexcept {
    const int id = LOWORD(wParam);
    // Esc, which the dialog keys turn into IDCANCEL, ends picking or stops a walk.
    if (id == IDCANCEL) {
        if (m_picker->Picking()) {
            m_picker->Cancel();
        } else {
            m_form->RequestStop();
        }
        return 0;
    }
    // Enter on a results row opens its items; where it has none, it beeps, as a key that does
    // nothing does.
    const HWND clicked = id == IDOK ? GetFocus() : nullptr;
    if (clicked != nullptr && clicked == m_results->Handle()) {
        OpenItemsOfSelectedResult();
        return 0;
    }
    // An accelerator's command says so in its high word.
    if (RunMenuCommand(id, HIWORD(wParam) == 1)) {
        return 0;
    }
    // Enter on a focused push button clicks it, as on a dialog.
    for (const auto& button : m_buttons) {
        const bool isClicked = id == IDOK
                                   ? button->Handle() == clicked
                                   : HIWORD(wParam) == BN_CLICKED && button->Place().id == id;
        if (isClicked) {
            Run(button->Place().command);
            break;
        }
    }
    return 0;
}

LRESULT MainWindow::OnNotify(NMHDR& header) noexcept {
    if (m_results != nullptr && header.hwndFrom == m_results->Handle()) {
        if (header.code == NM_DBLCLK) {
            return OnResultsDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
        }
        if (header.code == LVN_GETINFOTIPW) {
            return OnResultsInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
        }
        if (header.code == NM_CUSTOMDRAW) {
            return OnResultsCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        }
        if (header.code == LVN_ITEMCHANGED) {
            return OnResultsItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        }
    }
    // The lists notify while they are still being created, before they are ours.
    for (OwnerDataList* list : {m_windowList.get(), m_results.get()}) {
        if (list != nullptr && header.hwndFrom == list->Handle()) {
            return list->OnNotify(&header);
        }
    }
    return 0;
}

LRESULT MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept {
    for (const auto& button : m_buttons) {
        if (button->Handle() == item.hwndItem) {
            button->Draw(item, m_look, m_buttonFont.get(), m_dpi);
        }
    }
    return TRUE;
}

LRESULT MainWindow::OnEraseBackground(HDC dc) const noexcept {
    RECT client;
    GetClientRect(m_window, &client);
    FillRect(dc, &client, ScopedBrush(CreateSolidBrush(m_background)).get());
    return TRUE;
}

LRESULT MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    LayOut(dpi);
    const SIZE size = OuterSize();
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT MainWindow::OnMouseMove() noexcept {
    // While picking, the window has the capture and the pointer may be anywhere.
    if (m_picker->Picking()) {
        m_picker->Track();
    } else {
        m_form->PointerOverSurface();
    }
    return 0;
}

LRESULT MainWindow::OnLeftButtonUp() noexcept {
    if (m_picker->Picking()) {
        Picked(m_picker->Finish());
    }
    return 0;
}

LRESULT MainWindow::OnCaptureChanged() noexcept {
    m_picker->Cancel();
    return 0;
}

LRESULT MainWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) const noexcept {
    if (LOWORD(lParam) == HTCLIENT && SetPointerShape(reinterpret_cast<HWND>(wParam))) {
        return TRUE;
    }
    return DefWindowProcW(m_window, WM_SETCURSOR, wParam, lParam);
}

LRESULT MainWindow::OnActivate(WPARAM wParam, LPARAM lParam) noexcept {
    m_focus.Activated(m_window, wParam);
    return DefWindowProcW(m_window, WM_ACTIVATE, wParam, lParam);
}

LRESULT MainWindow::OnSetFocus() noexcept {
    // Like a dialog: the focus goes back to the control that had it, first the window list.
    m_focus.Restore(m_windowList->Handle());
    return 0;
}

LRESULT MainWindow::OnClose() noexcept {
    m_form->Close();
    return 0;
}

bool MainWindow::OpenItemsOfResult(int index) noexcept {
    try {
        return index >= 0 && static_cast<std::size_t>(index) < Results().RowCount() &&
               m_items->Open(Results().RowCells(static_cast<std::size_t>(index) + 1));
    } catch (...) {
        // The window could not be made: nothing opens.
        return false;
    }
}

void MainWindow::OpenItemsOfSelectedResult() noexcept {
    const std::optional<std::size_t> row = m_results->SelectedIndex();
    if (!row || !OpenItemsOfResult(static_cast<int>(*row))) {
        MessageBeep(MB_OK);
    }
}

bool MainWindow::RunMenuCommand(int id, bool byKey) noexcept {
    switch (id) {
        case MenuCommandId::kOpenItems:
            OpenItemsOfSelectedResult();
            return true;
        case MenuCommandId::kFind:
            m_find.Open(m_window);
            return true;
        case MenuCommandId::kFindNext:
            FindNext();
            return true;
        case MenuCommandId::kPickWindow:
            StartPicking(byKey);
            return true;
        case MenuCommandId::kHighlightSelectedWindow:
            HighlightSelectedResult();
            return true;
        default:
            break;
    }
    const std::optional<FormCommand> command = FormCommandOf(id);
    if (command) {
        Run(*command);
    }
    if (id == MenuCommandId::kShowAllWindows && m_form != nullptr) {
        CheckMenuItem(GetMenu(m_window), static_cast<UINT>(id),
                      MF_BYCOMMAND | (m_form->ShowsAllWindows() ? MF_CHECKED : MF_UNCHECKED));
    }
    return command.has_value();
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
    OpenItemsOfResult(activation.iItem);
    return 0;
}

// The tip keeps the row's text first when the control hands it over, cut on screen; then the
// window's state as it is now, and what its control holds when it has items.
LRESULT MainWindow::OnResultsInfoTip(NMLVGETINFOTIPW& tip) noexcept {
    if (tip.pszText == nullptr || tip.cchTextMax <= 0 || tip.iItem < 0 ||
        static_cast<std::size_t>(tip.iItem) >= Results().RowCount()) {
        return 0;
    }
    try {
        const std::span<const Text> cells =
            Results().RowCells(static_cast<std::size_t>(tip.iItem) + 1);
        Text text = TextOf(tip.pszText);
        if (!text.empty()) {
            text += u"\r\n";
        }
        text += StateTip(StateOfRowWindow(cells, m_windowSystem, m_windowDetails));
        if (const std::optional<Text> items = m_items->TipOf(cells)) {
            text += u"\r\n" + *items;
        }
        CopyToBuffer(text, tip.pszText, tip.cchTextMax);
    } catch (...) {
        // The tip shows what the list gave it.
    }
    return 0;
}

// A row shows its window's state without a change to its cells: grey for a hidden window, grey
// italic for a disabled one. The class name of a row whose window may have items is underlined,
// as a link is: a mark that costs no message to the window.
LRESULT MainWindow::OnResultsCustomDraw(NMLVCUSTOMDRAW& draw) noexcept {
    constexpr DWORD kSubItemPrePaint = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    const std::size_t row = draw.nmcd.dwItemSpec + 1;
    const bool inRows = row <= m_results->Rows().RowCount();
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            m_drawnRowLook = RowLook::Plain;
            try {
                if (inRows) {
                    m_drawnRowLook = LookOf(StateOfRowWindow(m_results->Rows().RowCells(row),
                                                             m_windowSystem, m_windowDetails));
                }
            } catch (...) {
                // Drawn as a plain row.
            }
            return CDRF_NOTIFYSUBITEMDRAW;
        case kSubItemPrePaint:
            break;
        default:
            return CDRF_DODEFAULT;
    }
    bool marked = false;
    try {
        marked = draw.iSubItem == 0 && inRows && RowMayHaveItems(m_results->Rows().RowCells(row));
    } catch (...) {
        // Drawn as any other row.
    }
    const bool disabled = m_drawnRowLook == RowLook::Disabled;
    if (m_drawnRowLook != RowLook::Plain) {
        draw.clrText = GetSysColor(COLOR_GRAYTEXT);
    }
    // Each cell is given its font, as the control keeps the last one for the next cell; it puts its
    // own back once the item is drawn.
    const HFONT fonts[2][2] = {{m_windowFont.get(), m_itemsMarkFont.get()},
                               {m_disabledFont.get(), m_disabledItemsMarkFont.get()}};
    SelectObject(draw.nmcd.hdc, fonts[disabled ? 1 : 0][marked ? 1 : 0]);
    return CDRF_NEWFONT;
}

void MainWindow::StartPicking(bool byKey) noexcept {
    if (const HWND under = byKey ? WindowUnderPointer() : nullptr) {
        Picked(under);
    } else {
        m_picker->Start();
    }
}

void MainWindow::Picked(HWND window) noexcept {
    if (window != nullptr) {
        Run([picked = HandleOf(window)](MainForm& form) { form.PickWindow(picked); });
    }
}

bool MainWindow::HighlightResult(std::size_t index) noexcept {
    try {
        if (index < Results().RowCount()) {
            return m_frame->Outline(HwndOf(ParseHandle(Results().SubItem(index + 1, 1))),
                                    kHighlightDuration);
        }
    } catch (const Failure&) {
        // A row without a handle outlines nothing.
    }
    m_frame->Hide();
    return false;
}

void MainWindow::HighlightSelectedResult() noexcept {
    const std::optional<std::size_t> row = m_results->SelectedIndex();
    if (!row || !HighlightResult(*row)) {
        MessageBeep(MB_OK);
    }
}

LRESULT MainWindow::OnResultsItemChanged(const NMLISTVIEW& change) noexcept {
    const bool selected = (change.uChanged & LVIF_STATE) != 0 &&
                          (change.uNewState & LVIS_SELECTED) != 0 &&
                          (change.uOldState & LVIS_SELECTED) == 0;
    if (selected && change.iItem >= 0 && ListView_GetSelectedCount(m_results->Handle()) == 1) {
        HighlightResult(static_cast<std::size_t>(change.iItem));
    }
    return 0;
}
