// Where the main window opens, and what it keeps for the next run: its place and its lists'
// column widths.
#include "wingui/MainWindow.h"

#include <algorithm>

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
