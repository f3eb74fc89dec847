// A window's own accessible tree through MSAA: asked with WM_GETOBJECT, its object taken with
// ObjectFromLresult (so that no reference is left behind in its program) and every call made on a
// thread of its own, waited for at most the time-out.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>
#include <optional>

#include "ports/AccessibleTree.h"

// How many children the window's own accessible object claims; Refused when its program leaves
// the window's object to the system. An answer is kept a few seconds and given again.
[[nodiscard]] RemoteNumber AccessibleChildCountOf(HWND window, std::chrono::milliseconds timeout);

// The answer AccessibleChildCountOf last gave for the window, asking nothing.
[[nodiscard]] std::optional<RemoteNumber> KnownAccessibleChildCountOf(HWND window);

// The window's own accessible tree; nothing, with end saying why, when it has none or gave none.
[[nodiscard]] std::unique_ptr<AccessibleTree> OpenAccessibleTreeOf(
    HWND window, std::chrono::milliseconds timeout, RemoteEnd& end);
