// Entry point of tessivane-cli.exe, the console companion of Tessivane.exe: the command line in
// UTF-8, the platform's services made for its request, and its exit code.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/commands/ConsoleReadCommand.h"
#include "core/ExitCodes.h"
#include "core/Steps.h"
#include "serve/Serve.h"
#include "win32/ConsoleScreen.h"
#include "win32/Win32Console.h"
#include "win32/Win32Files.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32SaveFiles.h"
#include "win32/Win32StandardInput.h"
#include "win32/Win32Text.h"
#include "win32/Win32WindowDetails.h"
#include "win32/Win32WindowEvents.h"
#include "win32/Win32WindowSystem.h"

namespace {

// Runs the request on this desktop's windows, its output on console.
int RunOnThisDesktop(const CliRequest& request, Console& console) {
    Win32WindowSystem windows(MessageTimeout(request));
    Win32WindowDetails details;
    Win32RemoteItems items(MessageTimeout(request));
    Win32SaveFiles files;
    Win32Files readFiles;
    CliServices services{
        windows, details, items, files, readFiles, console, std::chrono::steady_clock::now};
    // Only watch listens to the window system's events (and to Ctrl+C).
    std::unique_ptr<Win32WindowEvents> events;
    if (std::holds_alternative<WatchRequest>(request)) {
        events = std::make_unique<Win32WindowEvents>();
        services.events = events.get();
    }
    return RunRequest(request, services);
}

// Answers an agent's messages on the standard input until it closes.
int ServeThisDesktop(Console& console) {
    Win32StandardInput input;
    ServeServices services{input, console,
                           ToolServices{RunOnThisDesktop, std::chrono::steady_clock::now,
                                        [](std::chrono::milliseconds pause) {
                                            Sleep(static_cast<DWORD>(pause.count()));
                                        }}};
    return Serve(services);
}

// The word the console reader starts this program with is the one its command line reads.
constexpr bool SameWord(std::wstring_view started, std::string_view read) {
    return std::equal(
        started.begin(), started.end(), read.begin(), read.end(),
        [](wchar_t wide, char narrow) { return wide == static_cast<wchar_t>(narrow); });
}
static_assert(SameWord(kConsoleLinesOption, kConsoleReadWord));

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // A program run from scripts never stops on a box of the system's.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::vector<std::string> arguments;
    for (int index = 1; index < argc; ++index) {
        arguments.push_back(TextToUtf8(TextOf(argv[index])));
    }
    // The hidden command of a read of another program's console: this process attaches to it.
    if (const std::optional<ConsoleReadRequest> read = ParseConsoleRead(arguments)) {
        return WriteConsoleLines(HwndOf(read->console), read->maxUnits);
    }
    Win32Console console;
    try {
        const ParsedCommandLine parsed = ParseCommandLine(arguments);
        if (!parsed.request) {
            return PrintParsed(parsed, console);
        }
        if (std::holds_alternative<ServeRequest>(*parsed.request)) {
            return ServeThisDesktop(console);
        }
        return RunOnThisDesktop(*parsed.request, console);
    } catch (...) {
        // No exception may leave the entry point: whatever is left is told on standard error.
        console.Error(std::string(kMessagePrefix) +
                      TextToUtf8(DescribeFailure(std::current_exception())) + "\n");
        return ExitCode::kUsage;
    }
}
