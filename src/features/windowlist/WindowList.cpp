// Fill of the window list from the desktop's top-level windows.
#include "windowlist/WindowList.h"

#include <optional>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"

void FillWindowList(RowSink& rows, WindowSystem& windows, Reporter& reporter) {
    StepRunner steps(reporter, ReportLocation::FillWindowList);
    WindowHandle current = 0;
    steps.Run(100, [&] { rows.Clear(); });
    steps.Run(102, [&] { current = windows.Related(windows.DesktopWindow(), Relation::Child); });
    while (steps.Check(104, [&] { return current != 0; })) {
        Text title;
        std::optional<std::size_t> row;
        steps.Run(108, [&] { title = windows.Title(current, kTitleCapacity); });
        const bool listed = steps.Check(110, [&] {
            return IsApplicationWindow(windows, current, false, false, false);
        }) && steps.Check(112, [&] { return !title.empty(); });
        if (listed) {
            steps.Run(114, [&] { row = rows.AppendRow(title); });
            steps.Run(116, [&] {
                if (!row) {
                    throw Failure(u"The window's handle cannot be listed: its row was not added.");
                }
                rows.SetCell(*row, 1, DecimalText(current));
            });
        }
        steps.Run(118, [&] { current = windows.Related(current, Relation::Next); });
    }
}

bool IsApplicationWindow(WindowSystem& windows, WindowHandle window, bool includeUntitled,
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
