// A tool's arguments: the input schema that tools/list gives, and the command line that a call's
// arguments become once checked against it.
#pragma once

#include <string>
#include <vector>

#include "documents/JsonText.h"
#include "serve/ToolTable.h"

namespace Mcp {

// The tool's arguments as a JSON Schema: each argument's type, range and description.
[[nodiscard]] Json SchemaOf(const Tool& tool);

// The names of those of the tools or arguments that pass the filter, joined by commas.
template <typename Named, typename Filter>
std::string NamesOf(const std::vector<Named>& named, Filter filter) {
    std::string names;
    for (const Named& each : named) {
        if (filter(each)) {
            names += (names.empty() ? "" : ", ") + std::string(each.name);
        }
    }
    return names;
}

template <typename Named>
std::string NamesOf(const std::vector<Named>& named) {
    return NamesOf(named, [](const Named&) { return true; });
}

// Throws RpcError (invalid params) with the message.
[[noreturn]] void Refuse(const std::string& message);

// Checks the arguments against the tool's schema and its choices; answers the command line they
// make. Throws RpcError (invalid params) for what the tool does not take.
[[nodiscard]] std::vector<std::string> CommandLineOf(const Tool& tool, const Json& arguments);

}  // namespace Mcp
