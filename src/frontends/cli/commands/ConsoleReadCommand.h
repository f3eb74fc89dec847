// The hidden command with which Tessivane reads another program's console through a short-lived
// tessivane-cli.exe: its word, then the console window's handle in decimal and the most units a
// line keeps. No help names it; the program's entry point reads it before any other command.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Text.h"

inline constexpr std::string_view kConsoleReadWord = "--console-lines";

struct ConsoleReadRequest {
    WindowHandle console = 0;
    std::size_t maxUnits = 0;
};

// The hidden command's request when the arguments are its word and two more (read as strtol and
// strtoul read numbers: what is no number counts as 0); nothing for any other command line.
[[nodiscard]] std::optional<ConsoleReadRequest> ParseConsoleRead(
    const std::vector<std::string>& arguments);
