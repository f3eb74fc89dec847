// The command line of tessivane-cli, read with CLI11: its sub-commands, their options, --help
// and --version.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliRequest.h"

// What reading the command line came to: a request to run, or what to print and the exit code.
struct ParsedCommandLine {
    std::optional<CliRequest> request;
    // Without a request: 0 after --help or --version, ExitCode::kUsage after a usage error.
    int exitCode = 0;
    std::string out;    // the help or the version
    std::string error;  // what is wrong with the command line, in CLI11's words
};

// arguments: the program's arguments after its name, in UTF-8.
[[nodiscard]] ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
