// The tools that serve offers agents: each a command of the command line run in this process,
// its document as the tool's result.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "cli/CliRequest.h"
#include "cli/Deadline.h"
#include "documents/JsonText.h"
#include "ports/Console.h"

// Runs one request of the command line with its output on console, on the platform's windows;
// answers its exit code.
using RequestRunner = std::function<int(const CliRequest& request, Console& console)>;
// Waits this long before going on.
using Pause = std::function<void(std::chrono::milliseconds)>;

struct ToolServices {
    RequestRunner run;
    // The clock that wait_for_text's time-out is measured on.
    CommandClock now;
    Pause pause;
};

// The most a tool's result holds of its document: the rest is cut, with a note.
inline constexpr std::size_t kMaxResultBytes = std::size_t{1} << 20;

// A tool call's result: content and isError, with the structured content apart as compact JSON
// text (empty when there is none), so that a command's document goes into the answer as it was
// written.
struct ToolResult {
    Json members;
    std::string structured;

    // The whole result as JSON text.
    [[nodiscard]] std::string Text() const;
};

// The tools as tools/list describes them: name, title, description, input schema, annotations.
[[nodiscard]] Json ToolDescriptions();

// Calls the tool with its arguments (a JSON object); answers the call's result. Throws RpcError
// (invalid params) for a tool that does not exist and for arguments that its input schema does
// not take.
[[nodiscard]] ToolResult CallTool(const std::string& name, const Json& arguments,
                                  ToolServices& services);
