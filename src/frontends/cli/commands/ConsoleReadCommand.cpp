// The hidden command that reads another program's console, as its arguments give it.
#include "cli/commands/ConsoleReadCommand.h"

#include <cstdlib>

std::optional<ConsoleReadRequest> ParseConsoleRead(const std::vector<std::string>& arguments) {
    if (arguments.size() != 3 || arguments.front() != kConsoleReadWord) {
        return std::nullopt;
    }
    return ConsoleReadRequest{
        static_cast<WindowHandle>(std::strtol(arguments[1].c_str(), nullptr, 10)),
        static_cast<std::size_t>(std::strtoul(arguments[2].c_str(), nullptr, 10))};
}
