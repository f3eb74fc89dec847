// tessivane-cli's commands on the platform's services: list, dump, find and diff, their output,
// their failures on standard error and their exit codes.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli/CliRequest.h"
#include "cli/CommandLine.h"
#include "cli/Deadline.h"
#include "ports/Console.h"
#include "ports/Files.h"
#include "ports/RemoteItems.h"
#include "ports/SaveFiles.h"
#include "ports/WindowDetails.h"
#include "ports/WindowEvents.h"
#include "ports/WindowSystem.h"

struct CliServices {
    WindowSystem& windows;
    WindowDetails& details;
    RemoteItems& items;
    SaveFiles& files;
    // The files a command reads: diff's dumps.
    Files& readFiles;
    Console& console;
    // The clock that --deadline is measured on.
    CommandClock now;
    // The window system's news of changes, for watch; nothing where the command has no use for it.
    WindowEvents* events = nullptr;
};

// The text with each line longer than width characters broken at its spaces: a line of a table
// of options goes on under its description's column, any other under its own indent.
[[nodiscard]] std::string WrappedLines(std::string_view text, std::size_t width);

// Prints what a command line without a request came to (help, version or a usage error), the
// help wrapped to the console's width; answers its exit code.
int PrintParsed(const ParsedCommandLine& parsed, Console& console);

// How long each window's text message waits for its answer in this request; the window system
// is made with it.
[[nodiscard]] std::chrono::milliseconds MessageTimeout(const CliRequest& request) noexcept;

// Runs the request and answers the program's exit code. Shows nothing but on the console, and
// never waits for input.
[[nodiscard]] int RunRequest(const CliRequest& request, CliServices& services);
