// The extraction walk and the window text read.
#include "windows/mWindowInfo.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/ErrorReport.h"
#include "common/Failure.h"

namespace {

// One level of the walk: the direct children of a visited window, collected before the first
// is visited. The walk keeps these levels on its own stack, so no nesting depth exhausts the
// call stack.
struct Level {
    std::vector<WindowHandle> children;
    std::size_t next = 0;
};

// Visits one window: its row, then the collection of its direct children.
Level VisitWindow(WindowHandle window, ListView& list, TextReadSession& session, StepTrap& trap) {
    WindowSystem& windows = session.Windows();
    Text className;
    std::optional<std::size_t> row;
    Level level;
    trap.Run(104, [&] { className = windows.ClassName(window, kClassNameCapacity); });
    trap.Run(108, [&] { row = list.AppendRow(std::move(className)); });
    const auto setCell = [&](int index, auto&& text) {
        if (!row) {
            throw Failure(u"The window's row could not be added, so its cell cannot be set.");
        }
        list.SetSubItem(*row, index, text());
    };
    trap.Run(110, [&] { setCell(1, [&] { return DecimalText(window); }); });
    trap.Run(112, [&] { setCell(2, [&] { return ReadWindowText(window, session); }); });
    WindowHandle child = 0;
    trap.Run(116, [&] { child = windows.Related(window, Relation::Child); });
    while (trap.Check(118, [&] { return child != 0; })) {
        trap.Run(120, [&] { level.children.push_back(child); });
        trap.Run(122, [&] { child = windows.Related(child, Relation::Next); });
    }
    return level;
}

}  // namespace

bool TextReadSession::IsHung(WindowHandle window) {
    return !m_hungThreads.empty() && m_hungThreads.contains(m_windows.ThreadOf(window));
}

void TextReadSession::MarkHung(WindowHandle window) {
    m_hungThreads.insert(m_windows.ThreadOf(window));
}

Text ReadWindowText(WindowHandle window, TextReadSession& session) {
    if (window == 0 || session.IsHung(window)) {
        return {};
    }
    const std::optional<std::int64_t> length = session.Windows().SendTextLength(window);
    if (!length) {
        session.MarkHung(window);
        return {};
    }
    if (*length <= 0) {
        return {};
    }
    // The buffer comes from the first answer; a text that grew since is cut to it, and an
    // answer beyond the buffer is never believed.
    const std::int64_t capacity = std::min(*length, kMaxTextLength) + 1;
    Text text(static_cast<std::size_t>(capacity), u'\0');
    const std::optional<std::int64_t> copied = session.Windows().SendGetText(window, text);
    if (!copied) {
        session.MarkHung(window);
        return {};
    }
    text.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(*copied, 0, capacity - 1)));
    return text;
}

void WindowInfo(WindowHandle window, ListView& list, WindowSystem& windows, Dialogs& dialogs) {
    StepTrap trap(dialogs, Location::WindowInfo);
    TextReadSession session(windows);
    std::vector<Level> path;
    path.push_back(VisitWindow(window, list, session, trap));
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.children.size()) {
            path.pop_back();
            continue;
        }
        const WindowHandle child = level.children[level.next++];
        path.push_back(VisitWindow(child, list, session, trap));
    }
}
