// The child walk: a window and all its descendants, depth first in pre-order, one row each
// (class name, handle, text).
#pragma once

#include "core/Reporter.h"
#include "core/RowSink.h"
#include "ports/WindowSystem.h"

// Class names are read into 256 code units, so at most 255 are kept.
inline constexpr int kClassNameCapacity = 256;

// Appends the rows of window and its descendants to rows. Failures are reported under the
// walk's own location and the walk goes on.
void WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows, Reporter& reporter);
