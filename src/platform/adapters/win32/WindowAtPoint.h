// The window at a point on screen, as picking chooses it: the window picker and the command
// line's --at find the same one.
#pragma once

#include <windows.h>

// The deepest visible window at point (screen coordinates), disabled ones included: the top-level
// window there, then at each level the smallest child that holds the point, so a group box does
// not hide the buttons inside it. Null where there is no window, or it is one of this program's.
[[nodiscard]] HWND DeepestWindowAt(POINT point) noexcept;
