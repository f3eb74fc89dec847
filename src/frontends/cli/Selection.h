// The desktop's top-level windows as the command line sees them, and the windows a dump's
// selector names among them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliRequest.h"
#include "core/Reporter.h"
#include "ports/Console.h"
#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"
#include "windowlist/WindowList.h"

// Titles are read whole up to this many code units.
inline constexpr int kFullTitleCapacity = 32768;

// "123", "-123" (as the window list prints handles) or "0x1A2B", within 32 bits; nothing for
// anything else.
[[nodiscard]] std::optional<WindowHandle> ParseHandleArgument(std::string_view text);
// A process id in decimal or "0x" hexadecimal; nothing for anything else.
[[nodiscard]] std::optional<std::uint32_t> ParseProcessIdArgument(std::string_view text);

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
