// The JSON Schema check of the command line's documents.
#include "support/JsonSchemaCheck.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

namespace {

using ParsedJson = nlohmann::json;

// The keywords that only name or describe, and those that are checked.
const std::set<std::string> kKnownKeywords{
    "$schema", "$id",   "title", "description", "$defs",    "examples",
    "$ref",    "oneOf", "type",  "properties",  "required", "additionalProperties",
    "items",   "enum",  "const", "minimum",     "maximum",  "pattern",
    "minItems"};
constexpr std::string_view kLocalDefinitions = "#/$defs/";

bool HasType(const ParsedJson& value, const std::string& type) {
    if (type == "object") return value.is_object();
    if (type == "array") return value.is_array();
    if (type == "string") return value.is_string();
    if (type == "integer") return value.is_number_integer();
    if (type == "number") return value.is_number();
    if (type == "boolean") return value.is_boolean();
    if (type == "null") return value.is_null();
    throw std::invalid_argument("unknown type in the schema: " + type);
}

class Check {
public:
    explicit Check(const ParsedJson& root) : m_root(root) {}

    void Run(const ParsedJson& schema, const ParsedJson& value, const std::string& at) {
        for (const auto& [keyword, ignored] : schema.items()) {
            if (!kKnownKeywords.contains(keyword)) {
                m_violations.push_back("the schema uses \"" + keyword +
                                       "\", which this check does not know");
            }
        }
        if (schema.contains("$ref")) {
            Run(Definition(schema["$ref"].get<std::string>()), value, at);
        }
        if (schema.contains("oneOf")) {
            OneOf(schema["oneOf"], value, at);
        }
        if (schema.contains("type") && !TypeMatches(schema["type"], value)) {
            Add(at, "is not of type " + schema["type"].dump());
            return;
        }
        if (schema.contains("const") && value != schema["const"]) {
            Add(at, "is " + value.dump() + ", not " + schema["const"].dump());
        }
        if (schema.contains("enum") && !Contains(schema["enum"], value)) {
            Add(at, value.dump() + " is none of " + schema["enum"].dump());
        }
        Numbers(schema, value, at);
        if (schema.contains("pattern") && value.is_string() &&
            !std::regex_search(value.get<std::string>(),
                               std::regex(schema["pattern"].get<std::string>()))) {
            Add(at, value.dump() + " does not match " + schema["pattern"].dump());
        }
        if (value.is_object()) {
            Object(schema, value, at);
        }
        if (value.is_array() && schema.contains("minItems") && value.size() < schema["minItems"]) {
            Add(at, "has " + std::to_string(value.size()) + " items, fewer than " +
                        schema["minItems"].dump());
        }
        if (value.is_array() && schema.contains("items")) {
            for (std::size_t index = 0; index < value.size(); ++index) {
                Run(schema["items"], value[index], at + "/" + std::to_string(index));
            }
        }
    }

    [[nodiscard]] std::vector<std::string> Violations() && { return std::move(m_violations); }

private:
    const ParsedJson& Definition(const std::string& reference) const {
        if (!reference.starts_with(kLocalDefinitions)) {
            throw std::invalid_argument("only local $defs references are checked: " + reference);
        }
        // A JSON pointer into the schema: a definition, or a part of one
        // ("#/$defs/a/properties/b").
        return m_root.at(ParsedJson::json_pointer(reference.substr(1)));
    }

    static bool TypeMatches(const ParsedJson& type, const ParsedJson& value) {
        if (type.is_string()) {
            return HasType(value, type.get<std::string>());
        }
        for (const ParsedJson& one : type) {
            if (HasType(value, one.get<std::string>())) {
                return true;
            }
        }
        return false;
    }

    static bool Contains(const ParsedJson& values, const ParsedJson& value) {
        for (const ParsedJson& one : values) {
            if (one == value) {
                return true;
            }
        }
        return false;
    }

    void OneOf(const ParsedJson& choices, const ParsedJson& value, const std::string& at) {
        std::size_t matching = 0;
        std::vector<std::string> closest;
        for (const ParsedJson& choice : choices) {
            Check inner(m_root);
            inner.Run(choice, value, at);
            std::vector<std::string> violations = std::move(inner).Violations();
            if (violations.empty()) {
                ++matching;
            } else if (closest.empty() || violations.size() < closest.size()) {
                closest = std::move(violations);
            }
        }
        if (matching == 1) {
            return;
        }
        Add(at, "matches " + std::to_string(matching) + " of the schemas of oneOf, not one");
        m_violations.insert(m_violations.end(), closest.begin(), closest.end());
    }

    void Numbers(const ParsedJson& schema, const ParsedJson& value, const std::string& at) {
        if (!value.is_number()) {
            return;
        }
        if (schema.contains("minimum") && value < schema["minimum"]) {
            Add(at, value.dump() + " is below the minimum " + schema["minimum"].dump());
        }
        if (schema.contains("maximum") && value > schema["maximum"]) {
            Add(at, value.dump() + " is above the maximum " + schema["maximum"].dump());
        }
    }

    void Object(const ParsedJson& schema, const ParsedJson& value, const std::string& at) {
        for (const ParsedJson& name : schema.value("required", ParsedJson::array())) {
            if (!value.contains(name.get<std::string>())) {
                Add(at, "lacks the required member " + name.dump());
            }
        }
        const ParsedJson properties = schema.value("properties", ParsedJson::object());
        const bool closed =
            schema.contains("additionalProperties") && schema["additionalProperties"] == false;
        for (const auto& [name, member] : value.items()) {
            if (properties.contains(name)) {
                Run(properties[name], member, at + "/" + name);
            } else if (closed) {
                Add(at, "has the member \"" + name + "\", which the schema does not allow");
            }
        }
    }

    void Add(const std::string& at, const std::string& what) {
        m_violations.push_back((at.empty() ? std::string("/") : at) + ": " + what);
    }

    const ParsedJson& m_root;
    std::vector<std::string> m_violations;
};

}  // namespace

std::vector<std::string> SchemaViolations(const ParsedJson& schema, const ParsedJson& document) {
    Check check(schema);
    check.Run(schema, document, "");
    return std::move(check).Violations();
}

CheckedJsonLines CheckJsonLines(const ParsedJson& schema, const std::string& text) {
    CheckedJsonLines checked;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        checked.lines.push_back(ParsedJson::parse(line));
        for (const std::string& violation : SchemaViolations(schema, checked.lines.back())) {
            checked.violations.push_back("line " + std::to_string(checked.lines.size()) + ": " +
                                         violation);
        }
    }
    return checked;
}

ParsedJson ReadSchemaFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read the schema " + path);
    }
    return ParsedJson::parse(std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>());
}
