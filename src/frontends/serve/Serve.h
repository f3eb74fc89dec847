// tessivane-cli serve: a Model Context Protocol server on the standard input and output, one
// JSON-RPC message a line, whose tools read windows as the command line's commands do.
#pragma once

#include <cstddef>

#include "ports/Console.h"
#include "ports/InputStream.h"
#include "serve/McpTools.h"

// The longest message line taken; a longer one is dropped as it comes and refused.
inline constexpr std::size_t kMaxMessageBytes = std::size_t{4} << 20;

struct ServeServices {
    InputStream& input;
    Console& console;
    ToolServices tools;
};

// Answers the messages on the input until it closes, or until the output's reader has gone;
// answers the exit code: 0. Throws Failure when the input cannot be read or the output written.
[[nodiscard]] int Serve(ServeServices& services);
