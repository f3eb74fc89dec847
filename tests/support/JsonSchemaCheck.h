// A check of JSON documents against a JSON Schema, for the part of JSON Schema (2020-12) that the
// command line's schema uses: type, properties, required, additionalProperties, items, enum,
// const, minimum, maximum, pattern, oneOf and local $ref. A schema that uses any other keyword is
// an error of its own, so nothing is ever passed over unchecked.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// What the document breaks, one line each with the place (a JSON pointer); empty when it
// conforms.
[[nodiscard]] std::vector<std::string> SchemaViolations(const nlohmann::json& schema,
                                                        const nlohmann::json& document);

// JSON Lines text read line by line: each line's document, and what each breaks of the schema,
// with the line's number.
struct CheckedJsonLines {
    std::vector<nlohmann::json> lines;
    std::vector<std::string> violations;
};
[[nodiscard]] CheckedJsonLines CheckJsonLines(const nlohmann::json& schema,
                                              const std::string& text);

// The schema file's JSON; throws when it cannot be read or parsed.
[[nodiscard]] nlohmann::json ReadSchemaFile(const std::string& path);
