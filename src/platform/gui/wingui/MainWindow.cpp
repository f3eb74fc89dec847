// The main window's creation, its window procedure's dispatch and its message handlers.
#include "wingui/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "core/Failure.h"
#include "win32/Win32Text.h"
#include "wingui/Layout.h"
#include "wingui/MainMenu.h"

namespace {

// The high word of WM_COMMAND's wParam for a command sent by an accelerator.
constexpr WORD kAcceleratorNotification = 1;
// The status line's counts are brought up to date this often.
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusMilliseconds = 250;

}  // namespace

MainWindow::MainWindow() {
    m_window = CreateOwnedWindow(*this, kKind, SIZE{CW_USEDEFAULT, CW_USEDEFAULT}, nullptr);
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
    m_status = std::make_unique<StatusLine>(m_window, m_results->Rows(), [this] {
        if (m_picking) {
            m_picking->StartDragging();
        }
    });
    m_classColumn = std::make_unique<FirstColumnFit>(*m_results);
    LayOut(GetDpiForWindow(m_window));
    SetTimer(m_window, kStatusTimer, kStatusMilliseconds, nullptr);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_find.IsItsMessage(message)) {
        return OnFindMessage();
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
        case kPickerMessage:
            return m_picking->OnPickerMessage(wParam, lParam);
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
            return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_TIMER:
            return OnTimer();
        default:
            return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

// The Find dialog's Find Next searches the results.
LRESULT MainWindow::OnFindMessage() noexcept {
    if (const std::optional<RowSearch> search = m_find.OnMessage()) {
        Run([&](MainForm& form) { form.FindInResults(*search); });
    }
    return 0;
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
    if (header.hwndFrom == ListView_GetHeader(m_results->Handle())) {
        m_classColumn->OnHeaderNotify(reinterpret_cast<const NMHEADERW&>(header));
    }
    if (header.hwndFrom == m_results->Handle()) {
        switch (header.code) {
            case NM_DBLCLK:
                return OnResultsDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
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

// A double-click on a row without items does nothing, as in the system's own lists.
LRESULT MainWindow::OnResultsDoubleClick(const NMITEMACTIVATE& activation) noexcept {
    m_items->OpenOfRow(Results(), activation.iItem);
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
    // Every control is painted again where it now is: a control that moved or grew keeps parts
    // of its old picture otherwise, and the status line its blank.
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// The laid-out size is the smallest.
LRESULT MainWindow::OnGetMinMaxInfo(MINMAXINFO& limits) const noexcept {
    const SIZE smallest = OuterSize();
    limits.ptMinTrackSize = POINT{smallest.cx, smallest.cy};
    return 0;
}

LRESULT MainWindow::OnTimer() noexcept {
    m_status->ShowCounts();
    return 0;
}
