// The deepest window at a point on screen.
#include "win32/WindowAtPoint.h"

namespace {

[[nodiscard]] bool IsOwnWindow(HWND window) noexcept {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

[[nodiscard]] LONGLONG Area(const RECT& bounds) noexcept {
    return static_cast<LONGLONG>(bounds.right - bounds.left) * (bounds.bottom - bounds.top);
}

// The smallest visible child of parent holding point, or null when the point is on parent itself.
// The system's own answer is the topmost such child, which may be a group box over the buttons
// it frames: its siblings that hold the point are weighed against it.
[[nodiscard]] HWND SmallestChildAt(HWND parent, POINT point) noexcept {
    POINT inParent = point;
    ScreenToClient(parent, &inParent);
    HWND best = ChildWindowFromPointEx(parent, inParent, CWP_SKIPINVISIBLE);
    RECT bounds;
    if (best == nullptr || best == parent || !GetWindowRect(best, &bounds)) {
        return nullptr;
    }
    LONGLONG bestArea = Area(bounds);
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && GetWindowRect(child, &bounds) && PtInRect(&bounds, point) &&
            Area(bounds) < bestArea) {
            best = child;
            bestArea = Area(bounds);
        }
    }
    return best;
}

}  // namespace

HWND DeepestWindowAt(POINT point) noexcept {
    const HWND under = WindowFromPoint(point);
    HWND window = under == nullptr ? nullptr : GetAncestor(under, GA_ROOT);
    if (window == nullptr || IsOwnWindow(window)) {
        return nullptr;
    }
    for (HWND child = SmallestChildAt(window, point); child != nullptr;
         child = SmallestChildAt(window, point)) {
        window = child;
    }
    return window;
}
