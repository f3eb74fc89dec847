// The window list: the desktop's application windows (visible, unowned, titled).
#pragma once

#include "core/Reporter.h"
#include "core/RowSink.h"
#include "ports/WindowSystem.h"

// Titles are read into 80 code units, so at most 79 are kept.
inline constexpr int kTitleCapacity = 80;

// Empties rows and fills them with one row per application window, in Z order: its title, then
// its handle in decimal.
void FillWindowList(RowSink& rows, WindowSystem& windows, Reporter& reporter);

// Each flag, when true, waives one condition of the test. Failures inside are ignored.
[[nodiscard]] bool IsApplicationWindow(WindowSystem& windows, WindowHandle window,
                                       bool includeUntitled, bool includeInvisible,
                                       bool includeOwned);
