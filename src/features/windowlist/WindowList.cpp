// Fill of the window list from the desktop's top-level windows.
#include "windowlist/WindowList.h"

#include <optional>
#include <utility>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/RowTable.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"

void FillWindowList(RowSink& rows, WindowSystem& windows, Reporter& reporter, bool all) {
    StepRunner steps(reporter, ReportLocation::FillWindowList);
    WindowHandle current = 0;
    steps.Run(100, [&] { rows.Clear(); });
    steps.Run(102, [&] { current = windows.Related(windows.DesktopWindow(), Relation::Child); });
    while (steps.Check(104, [&] { return current != 0; })) {
        Text title;
        std::optional<std::size_t> row;
        steps.Run(108, [&] { title = windows.Title(current, kTitleCapacity); });
        NotListed notListed;
        bool listed = true;
        if (all) {
            steps.Run(110, [&] { notListed = WhyNotListed(windows, current, title); });
        } else {
            listed = steps.Check(110, [&] {
                return IsApplicationWindow(windows, current, false, false, false);
            }) && steps.Check(112, [&] { return !title.empty(); });
        }
        if (listed) {
            steps.Run(114, [&] {
                row = rows.AppendRow(
                    notListed.Any() ? MarkedTitle(windows, current, title, notListed) : title);
            });
            steps.Run(116, [&] {
                if (!row) {
                    throw Failure(u"The window's handle cannot be listed: its row was not added.");
                }
                rows.SetCell(*row, kHandleColumn, DecimalText(current));
            });
        }
        steps.Run(118, [&] { current = windows.Related(current, Relation::Next); });
    }
}

std::size_t AppendWindowRow(RowSink& rows, WindowSystem& windows, WindowHandle window) {
    const Text title = windows.Title(window, kTitleCapacity);
    const NotListed notListed = WhyNotListed(windows, window, title);
    const std::size_t row =
        rows.AppendRow(notListed.Any() ? MarkedTitle(windows, window, title, notListed) : title);
    rows.SetCell(row, kHandleColumn, DecimalText(window));
    return row;
}

NotListed WhyNotListed(WindowSystem& windows, WindowHandle window, const Text& title) {
    return {title.empty(), !IsApplicationWindow(windows, window, true, false, true),
            !IsApplicationWindow(windows, window, true, true, false)};
}

Text MarkedTitle(WindowSystem& windows, WindowHandle window, const Text& title,
                 const NotListed& notListed) {
    Text marked = title;
    if (marked.empty()) {
        marked.append(u"(").append(windows.ClassName(window, kClassNameCapacity)).append(u")");
    }
    const char16_t* separator = u" [";
    for (const auto& [why, word] :
         {std::pair{notListed.untitled, u"untitled"}, std::pair{notListed.hidden, u"hidden"},
          std::pair{notListed.owned, u"owned"}}) {
        if (why) {
            marked.append(separator).append(word);
            separator = u", ";
        }
    }
    if (notListed.Any()) {
        marked.append(u"]");
    }
    return marked;
}

bool IsApplicationWindow(WindowSystem& windows, WindowHandle window, bool includeUntitled,
                         bool includeInvisible, bool includeOwned) {
    // A condition that cannot be evaluated is passed over, as if it held.
    const auto holds = [](auto&& condition) {
        try {
            return condition();
        } catch (...) {
            // No step of its own to report at: a window that cannot answer is listed, not lost.
            return true;
        }
    };
    return holds(
               [&] { return includeUntitled || !windows.Title(window, kTitleCapacity).empty(); }) &&
           holds([&] { return includeInvisible || windows.IsVisible(window); }) &&
           holds([&] { return includeOwned || windows.Related(window, Relation::Owner) == 0; });
}
