// The window list: the desktop's application windows (visible, unowned, titled).
#pragma once

#include "app/Dialogs.h"
#include "app/ListView.h"
#include "windows/WindowSystem.h"

// Titles are read into 80 code units, so at most 79 are kept.
inline constexpr int kTitleCapacity = 80;

// Empties the list and fills it with one row per application window, in Z order.
void getAllWindows(ListView& list, WindowSystem& windows, Dialogs& dialogs);

// Each flag, when true, waives one condition of the test. Failures inside are ignored.
[[nodiscard]] bool isAppWindow(WindowSystem& windows, WindowHandle window, bool includeUntitled,
                               bool includeInvisible, bool includeOwned);
