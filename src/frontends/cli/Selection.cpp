// The desktop's top-level windows and the selection of a dump's window.
#include "cli/Selection.h"

#include <charconv>
#include <limits>

#include "cli/Cells.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "core/ControlPath.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"
#include "windowlist/WindowList.h"

namespace {

constexpr std::string_view kHexPrefix = "0x";
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;

// The whole text as a number within [minimum, maximum], in decimal or after "0x" in hexadecimal.
std::optional<std::int64_t> ParseNumber(std::string_view text, std::int64_t minimum,
                                        std::int64_t maximum) {
    int base = kDecimalBase;
    if (text.starts_with(kHexPrefix) || text.starts_with("0X")) {
        text.remove_prefix(kHexPrefix.size());
        base = kHexBase;
        // from_chars would take a sign after the prefix.
        if (text.starts_with('-') || text.starts_with('+')) {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        value < minimum || value > maximum) {
        return std::nullopt;
    }
    return value;
}

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

std::optional<WindowHandle> ParseHandleArgument(std::string_view text) {
    const bool hex = text.starts_with(kHexPrefix) || text.starts_with("0X");
    // In hexadecimal all 32 bits, as the system shows handles; in decimal the signed value, as
    // the window list shows them.
    const std::optional<std::int64_t> value =
        hex ? ParseNumber(text, 0, std::numeric_limits<std::uint32_t>::max())
            : ParseNumber(text, std::numeric_limits<WindowHandle>::min(),
                          std::numeric_limits<WindowHandle>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<WindowHandle>(static_cast<std::uint32_t>(*value));
}

std::optional<std::uint32_t> ParseProcessIdArgument(std::string_view text) {
    const std::optional<std::int64_t> value =
        ParseNumber(text, 0, std::numeric_limits<std::uint32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
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
