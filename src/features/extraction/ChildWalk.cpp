// The child walk.
#include "extraction/ChildWalk.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/TextRead.h"

namespace {

// One level of the walk: the direct children of a visited window, collected before the first
// is visited. The walk keeps these levels on its own stack, so no nesting depth exhausts the
// call stack.
struct Level {
    std::vector<WindowHandle> children;
    std::size_t next = 0;
};

// Visits one window: its row, then the collection of its direct children.
Level VisitWindow(WindowHandle window, RowSink& rows, TextReadSession& session, StepRunner& steps) {
    WindowSystem& windows = session.Windows();
    Text className;
    std::optional<std::size_t> row;
    Level level;
    steps.Run(104, [&] { className = windows.ClassName(window, kClassNameCapacity); });
    steps.Run(108, [&] { row = rows.AppendRow(std::move(className)); });
    const auto setCell = [&](int index, auto&& text) {
        if (!row) {
            throw Failure(u"The window's row could not be added, so its cell cannot be set.");
        }
        rows.SetCell(*row, index, text());
    };
    steps.Run(110, [&] { setCell(1, [&] { return DecimalText(window); }); });
    steps.Run(112, [&] { setCell(2, [&] { return ReadWindowText(window, session); }); });
    WindowHandle child = 0;
    steps.Run(116, [&] { child = windows.Related(window, Relation::Child); });
    while (steps.Check(118, [&] { return child != 0; })) {
        steps.Run(120, [&] { level.children.push_back(child); });
        steps.Run(122, [&] { child = windows.Related(child, Relation::Next); });
    }
    return level;
}

}  // namespace

void WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows, Reporter& reporter) {
    StepRunner steps(reporter, ReportLocation::WalkWindowTree);
    TextReadSession session(windows);
    std::vector<Level> path;
    path.push_back(VisitWindow(window, rows, session, steps));
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.children.size()) {
            path.pop_back();
            continue;
        }
        const WindowHandle child = level.children[level.next++];
        path.push_back(VisitWindow(child, rows, session, steps));
    }
}
