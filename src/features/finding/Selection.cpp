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
        case Selector::By::Foreground:
        case Selector::By::Point:
            break;
    }
    return false;
}

// The one window a selector that names no top-level window by its traits names; 0 for none.
WindowHandle NamedWindow(const Selector& selector, WindowSystem& windows) {
    switch (selector.by) {
        case Selector::By::Foreground:
            return windows.ForegroundWindow();
        case Selector::By::Point:
            return windows.DeepestWindowAt(selector.point.x, selector.point.y);
        default:
            return selector.handle;
    }
}

// Whether the selector names a window by handle, focus or place rather than among the desktop's
// top-level windows.
bool NamesOneWindow(const Selector& selector) {
    return selector.by == Selector::By::Handle || selector.by == Selector::By::Foreground ||
           selector.by == Selector::By::Point;
}

// A control on a path as the messages list it: "  65670 0x00010086 Panel/Button#1".
std::string MatchLine(const PathMatch& match) {
    return "  " + TextToUtf8(DecimalText(match.window)) + " " + HexHandle(match.window) + " " +
           TextToUtf8(match.path) + "\n";
}

// The windows a failed step may have meant, with their paths, a line each under a line that says
// what they are.
std::string CandidatesText(const PathSearch& search, const PathStep& failed) {
    const std::string className = TextToUtf8(failed.className);
    if (search.candidateCount == 0) {
        return "  (the windows the steps before it lead to have no child windows)\n";
    }
    std::string text =
        search.candidatesShareClass
            ? "  the windows of the class " + className + " there, whatever their ids:\n"
            : "  no window there has the class " + className + "; the windows there:\n";
    for (const PathMatch& candidate : search.candidates) {
        text += MatchLine(candidate);
    }
    if (search.candidateCount > search.candidates.size()) {
        text +=
            "  and " + std::to_string(search.candidateCount - search.candidates.size()) + " more\n";
    }
    return text;
}

// What is said when no window has the selector.
std::string NoWindowText(const Selector& selector, bool all) {
    if (selector.by == Selector::By::Foreground) {
        return "no window is in the foreground (the desktop itself, or no window, has the "
               "focus)\n";
    }
    if (selector.by == Selector::By::Point) {
        return "no window is at " + std::to_string(selector.point.x) + "," +
               std::to_string(selector.point.y) +
               " on screen (the point is off every screen, on the desktop itself, or on one of "
               "this program's windows)\n";
    }
    const bool listOnly = !all && selector.by != Selector::By::Handle;
    return "no window has " + DescribeSelector(selector) +
           (listOnly ? " among the window list's windows (--all looks at every top-level window)\n"
                     : "\n");
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
    if (NamesOneWindow(selector)) {
        const WindowHandle named = NamedWindow(selector, windows);
        if (named != 0 && windows.Exists(named)) {
            return {named};
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
        case Selector::By::Foreground:
            return "the foreground";
        case Selector::By::Point:
            return "the point " + std::to_string(selector.point.x) + "," +
                   std::to_string(selector.point.y) + " on screen";
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
        console.Error(std::string(kMessagePrefix) + NoWindowText(selector, all));
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
        const PathStep& failed = parsed.steps[search.failedStep - 1];
        console.Error(std::string(kMessagePrefix) + "no window below " +
                      DescribeWindow(root, windows) + " matches step " +
                      std::to_string(search.failedStep) + " \"" + TextToUtf8(StepText(failed)) +
                      "\" of " + named + "\n" + CandidatesText(search, failed));
        return ExitCode::kNoMatch;
    }
    const int selection = SelectionExitCode(search.matches.size(), first);
    if (selection == ExitCode::kManyMatches) {
        std::string list;
        for (const PathMatch& match : search.matches) {
            list += MatchLine(match);
        }
        console.Error(std::string(kMessagePrefix) + std::to_string(search.matches.size()) +
                      " windows below " + DescribeWindow(root, windows) + " have " + named +
                      " (--first " + firstDoes + "):\n" + list);
        return selection;
    }
    return search.matches.front();
}
