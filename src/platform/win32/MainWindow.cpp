// The main window on screen.
#include "platform/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "common/Failure.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Win32Text.h"

namespace {

constexpr wchar_t kClassName[] = L"TessivaneMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
constexpr SIZE kClientTwips{15960, 4485};
constexpr int kListView1Id = 101;
constexpr int kListView2Id = 103;
constexpr RECT kListView1Twips{120, 120, 7920, 3345};
constexpr RECT kListView2Twips{8040, 120, 15840, 3345};

int TwipsToPixels(int twips, UINT dpi) noexcept {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// Arial bold at a size given in hundredths of a point.
ScopedFont CreateArialBold(int centipoints, UINT dpi) noexcept {
    return ScopedFont(CreateFontW(-MulDiv(centipoints, static_cast<int>(dpi), 7200), 0, 0, 0,
                                  FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                  L"Arial"));
}

}  // namespace

MainWindow::MainWindow()
    : m_buttons{{
          {1001, L"Refresh List", {120, 3450, 7920, 3855}, &Form1::PushButton1_Click},
          {1002,
           L"Start Extracting From Selected Window (Above)",
           {120, 3975, 7920, 4380},
           &Form1::PushButton2_Click},
          {1006,
           L"Save Results As Text File",
           {8040, 3450, 11880, 3855},
           &Form1::PushButton6_Click},
          {1003,
           L"Save Results As Excel File",
           {12000, 3450, 15840, 3855},
           &Form1::PushButton3_Click},
          {1004,
           L"Copy Results To Clipboard",
           {8040, 3975, 11880, 4380},
           &Form1::PushButton4_Click},
          {1005, L"Clear Results", {12000, 3975, 15840, 4380}, &Form1::PushButton5_Click},
      }} {
    // The layout's buttons write in the system's button text colour.
    for (ButtonLook* look : {&m_look.normal, &m_look.hot, &m_look.pressed}) {
        look->text = GetSysColor(COLOR_BTNTEXT);
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    m_window = CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (m_window == nullptr) {
        throw Failure(u"The main window could not be created.");
    }
    CreateControls();
}

void MainWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Creation order is the tab order: the two lists, then the buttons in the layout's order.
    m_listControl1 = std::make_unique<ListViewControl>(m_window, kListView1Id, false);
    m_listControl2 = std::make_unique<ListViewControl>(m_window, kListView2Id, true);
    for (Button& button : m_buttons) {
        button.handle = CreateWindowExW(
            0, L"BUTTON", button.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0,
            0, 0, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), instance,
            nullptr);
        SetWindowSubclass(button.handle, &MainWindow::ButtonProc, 0,
                          reinterpret_cast<DWORD_PTR>(this));
    }
    m_listView1 = std::make_unique<ListView>(*m_listControl1);
    m_listView2 = std::make_unique<ListView>(*m_listControl2);
    m_listControl1->Attach(*m_listView1, [this] { m_form->ListView1_MouseMove(); });
    m_listControl2->Attach(*m_listView2, [this] { m_form->ListView2_MouseMove(); });
    m_dialogs = std::make_unique<Win32Dialogs>(m_window, [this] { SyncLists(); });
    m_clipboard = std::make_unique<Win32Clipboard>(m_window);
    m_pump = std::make_unique<MessagePump>(
        [this] { SyncLists(); }, [this](MSG& message) { return TranslateDialogKeys(message); });
    m_form =
        std::make_unique<Form1>(*m_listView1, *m_listView2,
                                Form1Services{*this, *m_dialogs, m_files, m_windows, *m_clipboard,
                                              *m_pump, m_saveFiles, m_automation, m_skinFramework});
    LayOut(GetDpiForWindow(m_window));
}

RECT MainWindow::Pixels(const RECT& twips) const noexcept {
    return RECT{TwipsToPixels(twips.left, m_dpi), TwipsToPixels(twips.top, m_dpi),
                TwipsToPixels(twips.right, m_dpi), TwipsToPixels(twips.bottom, m_dpi)};
}

void MainWindow::LayOut(UINT dpi) {
    m_dpi = dpi;
    // The new fonts are in use before the old ones go.
    ScopedFont windowFont = CreateArialBold(900, dpi);
    ScopedFont buttonFont = CreateButtonFont();
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
    m_listControl1->Place(Pixels(kListView1Twips), windowFont.get(), dpi);
    m_listControl2->Place(Pixels(kListView2Twips), windowFont.get(), dpi);
    for (const Button& button : m_buttons) {
        const RECT bounds = Pixels(button.twips);
        SendMessageW(button.handle, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()), FALSE);
        MoveWindow(button.handle, bounds.left, bounds.top, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, TRUE);
    }
    m_windowFont = std::move(windowFont);
    m_buttonFont = std::move(buttonFont);
}

// "Arial" 11.25 pt bold, or the skin's button font when the skin's fonts are used.
ScopedFont MainWindow::CreateButtonFont() const {
    if (m_look.buttonFont) {
        const SkinFont& font = *m_look.buttonFont;
        ScopedFont skinned(CreateFontW(-MulDiv(font.centipoints, static_cast<int>(m_dpi), 7200), 0,
                                       0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                       WideOf(font.face)));
        if (skinned) {
            return skinned;
        }
    }
    return CreateArialBold(1125, m_dpi);
}

void MainWindow::LoadAndShow() {
    m_form->Form_Load();
    SyncLists();
    RECT outer{0, 0, TwipsToPixels(kClientTwips.cx, m_dpi), TwipsToPixels(kClientTwips.cy, m_dpi)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, m_dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // Centred; a screen too small for the window shows its top-left part.
    SetWindowPos(m_window, nullptr,
                 std::max(work.left, work.left + (work.right - work.left - width) / 2),
                 std::max(work.top, work.top + (work.bottom - work.top - height) / 2), width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
}

bool MainWindow::TranslateDialogKeys(MSG& message) noexcept {
    return IsDialogMessageW(m_window, &message) != FALSE;
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

void MainWindow::EndProgram() {
    ExitProcess(0);
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

// The window's setting governs its surface and the push buttons; the hourglass governs the
// lists too. Answers whether it set the shape.
bool MainWindow::SetPointerShape(HWND over) const noexcept {
    const bool button = std::any_of(m_buttons.begin(), m_buttons.end(),
                                    [&](const Button& b) { return b.handle == over; });
    if (over == m_window || button || (IsChild(m_window, over) && m_pointer == kBusyPointer)) {
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
        for (const ListViewControl* control : {m_listControl1.get(), m_listControl2.get()}) {
            ListView_SetBkColor(control->Handle(), skin.listBackground);
            ListView_SetTextBkColor(control->Handle(), skin.listBackground);
            ListView_SetTextColor(control->Handle(), skin.listText);
        }
    }
    LayOut(m_dpi);
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::SyncLists() noexcept {
    m_listControl1->Sync();
    m_listControl2->Sync();
}

void MainWindow::Click(int id) noexcept {
    for (const Button& button : m_buttons) {
        if (button.id == id && button.click != nullptr) {
            (m_form.get()->*button.click)();
            SyncLists();
        }
    }
}

void MainWindow::DrawButton(const DRAWITEMSTRUCT& item) const noexcept {
    const HDC dc = item.hDC;
    RECT bounds = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool hot = item.hwndItem == m_hotButton;
    const ButtonLook& look = pressed ? m_look.pressed : hot ? m_look.hot : m_look.normal;
    FillRect(dc, &bounds, ScopedBrush(CreateSolidBrush(look.face)).get());
    const ScopedBrush frame(
        CreateSolidBrush(focused && !pressed ? m_look.focusBorder : look.border));
    FrameRect(dc, &bounds, frame.get());
    if (focused) {
        RECT inner = bounds;
        InflateRect(&inner, -1, -1);
        FrameRect(dc, &inner, frame.get());
    }
    wchar_t caption[128] = L"";
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    const HGDIOBJ oldFont = SelectObject(dc, m_buttonFont.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 (item.itemState & ODS_DISABLED) != 0 ? GetSysColor(COLOR_GRAYTEXT) : look.text);
    RECT textBounds = bounds;
    if (pressed) {
        OffsetRect(&textBounds, 1, 1);
    }
    DrawTextW(dc, caption, -1, &textBounds, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        const int inset = MulDiv(4, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
        InflateRect(&bounds, -inset, -inset);
        DrawFocusRect(dc, &bounds);
    }
}

// The push buttons' pointer-move event, and their hot state while the pointer is over them.
LRESULT CALLBACK MainWindow::ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<MainWindow*>(data);
    if (message == WM_MOUSEMOVE) {
        if (self->m_hotButton != button) {
            if (self->m_hotButton != nullptr) {
                InvalidateRect(self->m_hotButton, nullptr, FALSE);
            }
            self->m_hotButton = button;
            InvalidateRect(button, nullptr, FALSE);
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
            TrackMouseEvent(&track);
        }
        self->m_form->PushButton_MouseMove();
    } else if (message == WM_MOUSELEAVE && self->m_hotButton == button) {
        self->m_hotButton = nullptr;
        InvalidateRect(button, nullptr, FALSE);
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Every command runs under its own trap; nothing may unwind through the window system.
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK) {
                // Enter on a focused push button clicks it, as on a dialog.
                const HWND focus = GetFocus();
                for (const Button& button : m_buttons) {
                    if (button.handle == focus) {
                        Click(button.id);
                    }
                }
            } else if (HIWORD(wParam) == BN_CLICKED) {
                Click(id);
            }
            return 0;
        }
        case WM_NOTIFY: {
            // The lists notify while they are still being created, before they are ours.
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            for (ListViewControl* control : {m_listControl1.get(), m_listControl2.get()}) {
                if (control != nullptr && header->hwndFrom == control->Handle()) {
                    return control->OnNotify(header);
                }
            }
            break;
        }
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(m_window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client,
                     ScopedBrush(CreateSolidBrush(m_background)).get());
            return TRUE;
        }
        case WM_DPICHANGED: {
            LayOut(HIWORD(wParam));
            RECT outer{0, 0, TwipsToPixels(kClientTwips.cx, m_dpi),
                       TwipsToPixels(kClientTwips.cy, m_dpi)};
            AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, m_dpi);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                         outer.right - outer.left, outer.bottom - outer.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_MOUSEMOVE:
            m_form->Form_MouseMove();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetPointerShape(reinterpret_cast<HWND>(wParam))) {
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                m_lastFocus = IsChild(m_window, focus) ? focus : m_lastFocus;
            }
            break;
        case WM_SETFOCUS:
            // Like a dialog: the focus goes back to the control that had it, first the window list.
            SetFocus(m_lastFocus != nullptr ? m_lastFocus : m_listControl1->Handle());
            return 0;
        case WM_CLOSE:
            m_form->Form_Unload();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}
