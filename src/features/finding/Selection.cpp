// The desktop's top-level windows, the selection of a dump's window and of the control on its
// path, and what is said when they name none or several.
#include "finding/Selection.h"

#include "core/ExitCodes.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"
#include "finding/ControlPath.h"
#include "finding/HandleText.h"
#include "windowlist/WindowList.h"

namespace {

bool Matches(const Selector& selector, const TopLevelWindow& window, WindowSystem& windows,
             WindowDetails& details) {
    switch (selector.by) {
        case Selector::By::Title:
            return window.title == selector.text;
        case Selector::By::TitleContains:
            return window.title.find(selector.text) != Text::npos;
        case Selector::By::Class:
            return SameClassName(windows.ClassName(window.handle, kClassNameCapacity),
                                 selector.text);
        case Selector::By::Process:
            return details.ProcessOf(window.handle) == selector.processId;
        case Selector::By::Handle:
            return window.handle == selector.handle;
    }
    return false;
}

}  // namespace

int SelectionExitCode(std::size_t matches, bool first) noexcept {
    if (matches == 0) {
        return ExitCode::kNoMatch;
    }
    return matches > 1 && !first ? ExitCode::kManyMatches : ExitCode::kDone;
}

std::vector<TopLevelWindow> DesktopWindows(WindowSystem& windows, Reporter& reporter, bool all) {
    // The window list's own procedure and step lines, so that a failure reads the same.
    StepRunner steps(reporter, ReportLocation::FillWindowList);
    std::vector<TopLevelWindow> found;
    WindowHandle current = 0;
    steps.Run(102, [&] { current = windows.Related(windows.DesktopWindow(), Relation::Child); });
    while (steps.Check(104, [&] { return current != 0; })) {
        TopLevelWindow window{current, {}, {}};
        steps.Run(108, [&] { window.title = windows.Title(current, kFullTitleCapacity); });
        steps.Run(110, [&] { window.notListed = WhyNotListed(windows, current, window.title); });
        if (all || !window.notListed.Any()) {
            found.push_back(std::move(window));
        }
        steps.Run(118, [&] { current = windows.Related(current, Relation::Next); });
    }
    return found;
}

std::vector<WindowHandle> SelectWindows(const Selector& selector, bool all, WindowSystem& windows,
                                        WindowDetails& details, Reporter& reporter) {
    if (selector.by == Selector::By::Handle) {
        if (selector.handle != 0 && windows.Exists(selector.handle)) {
            return {selector.handle};
        }
        return {};
    }
    std::vector<WindowHandle> selected;
    for (const TopLevelWindow& window : DesktopWindows(windows, reporter, all)) {
        if (Matches(selector, window, windows, details)) {
            selected.push_back(window.handle);
        }
    }
    return selected;
}

std::string DescribeSelector(const Selector& selector) {
    switch (selector.by) {
        case Selector::By::Title:
            return "the title \"" + TextToUtf8(selector.text) + "\"";
        case Selector::By::TitleContains:
            return "a title holding \"" + TextToUtf8(selector.text) + "\"";
        case Selector::By::Class:
            return "the class \"" + TextToUtf8(selector.text) + "\"";
        case Selector::By::Process:
            return "the process id " + std::to_string(selector.processId);
        case Selector::By::Handle:
            break;
    }
    return "the handle " + TextToUtf8(DecimalText(selector.handle));
}

std::string DescribeWindow(WindowHandle window, WindowSystem& windows) {
    return HexHandle(window) + " " + TextToUtf8(windows.ClassName(window, kClassNameCapacity)) +
           " \"" + TextToUtf8(windows.Title(window, kFullTitleCapacity)) + "\"";
}

SelectedWindow SelectOneWindow(const Selector& selector, bool all, bool first,
                               const std::string& firstDoes, WindowSystem& windows,
                               WindowDetails& details, Console& console, Reporter& reporter) {
    const std::vector<WindowHandle> matches =
        SelectWindows(selector, all, windows, details, reporter);
    const int selection = SelectionExitCode(matches.size(), first);
    const std::string described = DescribeSelector(selector);
    if (selection == ExitCode::kNoMatch) {
        const bool listOnly = !all && selector.by != Selector::By::Handle;
        console.Error(std::string(kMessagePrefix) + "no window has " + described +
                      (listOnly ? " among the window list's windows (--all looks at "
                                  "every top-level window)\n"
                                : "\n"));
        return {0, selection};
    }
    if (selection == ExitCode::kManyMatches) {
        std::string list;
        for (const WindowHandle match : matches) {
            list +=
                "  " + TextToUtf8(DecimalText(match)) + " " + DescribeWindow(match, windows) + "\n";
        }
        console.Error(std::string(kMessagePrefix) + std::to_string(matches.size()) +
                      " windows have " + described + " (--first " + firstDoes + "):\n" + list);
        return {0, selection};
    }
    return {matches.front(), ExitCode::kDone};
}

std::variant<PathMatch, int> ControlOnPath(WindowHandle root, const Text& path, bool first,
                                           const std::string& firstDoes, WindowSystem& windows,
                                           WindowDetails& details, Console& console) {
    const ParsedPath parsed = ParsePath(path);
    const PathSearch search = FindByPath(root, parsed.steps, windows, details);
    const std::string named = "the path \"" + TextToUtf8(path) + "\"";
    if (search.failedStep != 0) {
        console.Error(
            std::string(kMessagePrefix) + "no window below " + DescribeWindow(root, windows) +
            " matches step " + std::to_string(search.failedStep) + " \"" +
            TextToUtf8(StepText(parsed.steps[search.failedStep - 1])) + "\" of " + named + "\n");
        return ExitCode::kNoMatch;
    }
    const int selection = SelectionExitCode(search.matches.size(), first);
    if (selection == ExitCode::kManyMatches) {
        std::string list;
        for (const PathMatch& match : search.matches) {
            list += "  " + TextToUtf8(DecimalText(match.window)) + " " + HexHandle(match.window) +
                    " " + TextToUtf8(match.path) + "\n";
        }
        console.Error(std::string(kMessagePrefix) + std::to_string(search.matches.size()) +
                      " windows below " + DescribeWindow(root, windows) + " have " + named +
                      " (--first " + firstDoes + "):\n" + list);
        return selection;
    }
    return search.matches.front();
}
