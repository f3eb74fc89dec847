// Fill of the window list from the desktop's top-level windows.
#include "windows/mProcess.h"

#include <optional>

#include "app/ErrorReport.h"
#include "common/Failure.h"

void getAllWindows(ListView& list, WindowSystem& windows, Dialogs& dialogs) {
    StepTrap trap(dialogs, Location::getAllWindows);
    WindowHandle current = 0;
    trap.Run(100, [&] { list.Clear(); });
    trap.Run(102, [&] { current = windows.Related(windows.DesktopWindow(), Relation::Child); });
    while (trap.Check(104, [&] { return current != 0; })) {
        Text title;
        std::optional<std::size_t> row;
        trap.Run(108, [&] { title = windows.Title(current, kTitleCapacity); });
        const bool listed = trap.Check(110, [&] {
            return isAppWindow(windows, current, false, false, false);
        }) && trap.Check(112, [&] { return !title.empty(); });
        if (listed) {
            trap.Run(114, [&] { row = list.AppendRow(title); });
            trap.Run(116, [&] {
                if (!row) {
                    throw Failure(u"The window's handle cannot be listed: its row was not added.");
                }
                list.SetSubItem(*row, 1, DecimalText(current));
            });
        }
        trap.Run(118, [&] { current = windows.Related(current, Relation::Next); });
    }
}

bool isAppWindow(WindowSystem& windows, WindowHandle window, bool includeUntitled,
                 bool includeInvisible, bool includeOwned) {
    // A condition that cannot be evaluated is passed over, as if it held.
    const auto holds = [](auto&& condition) {
        try {
            return condition();
        } catch (...) {
            return true;
        }
    };
    return holds(
               [&] { return includeUntitled || !windows.Title(window, kTitleCapacity).empty(); }) &&
           holds([&] { return includeInvisible || windows.IsVisible(window); }) &&
           holds([&] { return includeOwned || windows.Related(window, Relation::Owner) == 0; });
}
