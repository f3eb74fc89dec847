// serve's tools as data: each tool's name, title and description, the command line it runs, the
// arguments it takes and the options they become.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliRequest.h"
#include "documents/JsonText.h"
#include "serve/McpTools.h"

namespace Mcp {

// A tool argument's JSON type: a boolean, an integer in a range, a string, a window handle (an
// integer, as the documents give handles, or a string as the command line takes them), or a point
// on screen (an object of integers x and y, which the command line takes as "X,Y").
enum class Kind { Flag, Whole, String, Handle, Point };

struct Argument {
    const char* name;
    Kind kind;
    // The command line's option it becomes; nullptr: the tool's own, no option's.
    const char* option;
    const char* description;
    // Of the arguments that share a choice, at most one may be given.
    const char* choice = nullptr;
    std::int64_t low = 0;
    std::int64_t high = 0;
};

class Tool;
using ToolCall = ToolResult (*)(const Tool& tool, const Json& arguments, const CliRequest& request,
                                ToolServices& services);

class Tool {
public:
    const char* name;
    const char* title;
    const char* description;
    // The command line the arguments' options are added to.
    std::vector<std::string> command;
    std::vector<Argument> arguments;
    // The choices of which exactly one argument must be given.
    std::vector<const char*> requiredChoices;
    ToolCall call;

    [[nodiscard]] const Argument* Find(std::string_view argument) const {
        const auto found =
            std::find_if(arguments.begin(), arguments.end(),
                         [&](const Argument& each) { return argument == each.name; });
        return found != arguments.end() ? &*found : nullptr;
    }
};

// The tools, in the order tools/list gives them.
[[nodiscard]] const std::vector<Tool>& Tools();

// The calls the table names: the command run once, its document the result; that with a word
// when the control has no items to read; and the command run again and again until the
// control's text shows or the time is up.
[[nodiscard]] ToolResult RunCommand(const Tool& tool, const Json& arguments,
                                    const CliRequest& request, ToolServices& services);
[[nodiscard]] ToolResult ReadItems(const Tool& tool, const Json& arguments,
                                   const CliRequest& request, ToolServices& services);
[[nodiscard]] ToolResult WaitForText(const Tool& tool, const Json& arguments,
                                     const CliRequest& request, ToolServices& services);

}  // namespace Mcp
