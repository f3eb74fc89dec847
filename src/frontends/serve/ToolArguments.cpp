// A tool's arguments checked against its schema and made the command line they stand for.
#include "serve/ToolArguments.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "serve/JsonRpc.h"

namespace Mcp {
namespace {

// A coordinate on screen: a whole number within 32 bits, signed.
bool IsCoordinate(const Json& value) {
    return value.is_number_integer() &&
           value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
           value.get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max() &&
           !(value.is_number_unsigned() &&
             value.get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max());
}

// A point on screen: exactly x and y, each a whole number within 32 bits.
bool IsPoint(const Json& value) {
    return value.is_object() && value.size() == 2 && value.contains("x") && value.contains("y") &&
           IsCoordinate(value["x"]) && IsCoordinate(value["y"]);
}

// The argument's value as the command line takes it.
std::string OptionValue(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_object()) {
        return value["x"].dump() + "," + value["y"].dump();
    }
    return value.dump();
}

// Whether value has the argument's type and range; says why not.
std::string TypeProblem(const Argument& argument, const Json& value) {
    const std::string name = argument.name;
    switch (argument.kind) {
        case Kind::Flag:
            return value.is_boolean() ? std::string() : name + " is true or false";
        case Kind::String:
            return value.is_string() ? std::string() : name + " is a string";
        case Kind::Handle:
            return value.is_string() || value.is_number_integer()
                       ? std::string()
                       : name + " is a number or a string in 0x hexadecimal";
        case Kind::Point:
            return IsPoint(value) ? std::string()
                                  : name + " is an object {\"x\": X, \"y\": Y} of whole pixels";
        case Kind::Whole:
            break;
    }
    const std::string range = name + " is a whole number from " + std::to_string(argument.low) +
                              " to " + std::to_string(argument.high);
    if (!value.is_number_integer()) {
        return range;
    }
    const bool tooLarge = value.is_number_unsigned() &&
                          value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX);
    const bool inRange = !tooLarge && value.get<std::int64_t>() >= argument.low &&
                         value.get<std::int64_t>() <= argument.high;
    return inRange ? std::string() : range;
}

}  // namespace

Json SchemaOf(const Tool& tool) {
    Json properties = Json::object();
    for (const Argument& argument : tool.arguments) {
        Json& property = properties[argument.name];
        switch (argument.kind) {
            case Kind::Flag:
                property["type"] = "boolean";
                break;
            case Kind::Whole:
                property["type"] = "integer";
                property["minimum"] = argument.low;
                property["maximum"] = argument.high;
                break;
            case Kind::String:
                property["type"] = "string";
                break;
            case Kind::Handle:
                property["type"] = {"integer", "string"};
                break;
            case Kind::Point: {
                const Json coordinate{{"type", "integer"},
                                      {"minimum", std::numeric_limits<std::int32_t>::min()},
                                      {"maximum", std::numeric_limits<std::int32_t>::max()}};
                property["type"] = "object";
                property["properties"] = {{"x", coordinate}, {"y", coordinate}};
                property["required"] = {"x", "y"};
                property["additionalProperties"] = false;
                break;
            }
        }
        property["description"] = argument.description;
    }
    return Json{{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
}

[[noreturn]] void Refuse(const std::string& message) {
    throw RpcError(RpcCode::kInvalidParams, message);
}

std::vector<std::string> CommandLineOf(const Tool& tool, const Json& arguments) {
    std::vector<std::string> words = tool.command;
    std::vector<std::string> chosen;
    for (const auto& [name, value] : arguments.items()) {
        const Argument* argument = tool.Find(name);
        if (argument == nullptr) {
            Refuse(std::string(tool.name) + " has no argument \"" + name + "\": it takes " +
                   NamesOf(tool.arguments));
        }
        if (const std::string problem = TypeProblem(*argument, value); !problem.empty()) {
            Refuse(problem);
        }
        const bool unset = value.is_boolean() && !value.get<bool>();
        if (argument->choice != nullptr && !unset) {
            for (const std::string& other : chosen) {
                if (tool.Find(other)->choice == std::string_view(argument->choice)) {
                    Refuse(std::string(tool.name) + " takes one of " + other + " and " + name +
                           ", not both");
                }
            }
            chosen.push_back(name);
        }
        if (argument->option == nullptr || unset) {
            continue;
        }
        words.emplace_back(argument->option);
        if (!value.is_boolean()) {
            words.push_back(OptionValue(value));
        }
    }
    for (const char* choice : tool.requiredChoices) {
        if (std::none_of(chosen.begin(), chosen.end(), [&](const std::string& name) {
                return tool.Find(name)->choice == choice;
            })) {
            Refuse(std::string(tool.name) + " needs one of " +
                   NamesOf(tool.arguments,
                           [&](const Argument& each) { return each.choice == choice; }));
        }
    }
    return words;
}

}  // namespace Mcp
