// The desktop's top-level windows as the command line sees them, the windows a selector names
// among them and the control a path leads to below one; when they name none or several, the exit
// code and the message on standard error that say so.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "core/Reporter.h"
#include "finding/ControlPaths.h"
#include "finding/HandleText.h"
#include "finding/Selectors.h"
#include "ports/Console.h"
#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"
#include "windowlist/WindowList.h"

// Titles are read whole up to this many code units.
inline constexpr int kFullTitleCapacity = 32768;

// The exit code of a selection that matched so many windows; kDone when the dump goes on.
[[nodiscard]] int SelectionExitCode(std::size_t matches, bool first) noexcept;

struct TopLevelWindow {
    WindowHandle handle = 0;
    Text title;
    NotListed notListed;
};

// The desktop's top-level windows in Z order: those of the window list, or with all every one.
// Failures are reported as the window list's fill reports them, and the list goes on.
[[nodiscard]] std::vector<TopLevelWindow> DesktopWindows(WindowSystem& windows, Reporter& reporter,
                                                         bool all);

// The windows the selector names, in Z order: a handle names any window that exists, the other
// ways name top-level windows (the window list's, or with all every one).
[[nodiscard]] std::vector<WindowHandle> SelectWindows(const Selector& selector, bool all,
                                                      WindowSystem& windows, WindowDetails& details,
                                                      Reporter& reporter);

// The selector in words, for messages: "the title \"Untitled - Notepad\"".
[[nodiscard]] std::string DescribeSelector(const Selector& selector);

struct SelectedWindow {
    WindowHandle window = 0;
    int exitCode = 0;  // ExitCode::kDone when window is the one the selector names
};

// The one window the selector names; or, when it names none, or several and first is not given,
// the exit code, said on standard error with the windows that matched (firstDoes: what --first
// does then, "dumps the first").
[[nodiscard]] SelectedWindow SelectOneWindow(const Selector& selector, bool all, bool first,
                                             const std::string& firstDoes, WindowSystem& windows,
                                             WindowDetails& details, Console& console,
                                             Reporter& reporter);

// The window by handle, class and title, for messages: "0x00010086 Notepad \"Untitled\"".
[[nodiscard]] std::string DescribeWindow(WindowHandle window, WindowSystem& windows);

// The control that path leads to below root, with its path as the walk writes it; or, when no
// control or several match (and first is not given), the exit code, said on standard error.
[[nodiscard]] std::variant<PathMatch, int> ControlOnPath(WindowHandle root, const Text& path,
                                                         bool first, const std::string& firstDoes,
                                                         WindowSystem& windows,
                                                         WindowDetails& details, Console& console);
