// The command line's JSON documents, made with nlohmann/json: keys in the order they are set.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/Text.h"

using Json = nlohmann::ordered_json;

// The version of the documents' layout, as docs/tessivane-cli.schema.json describes it.
inline constexpr int kJsonSchemaVersion = 1;
inline constexpr char kProgramName[] = "tessivane-cli";

// What every document starts with: its layout's version and the program that wrote it.
[[nodiscard]] Json DocumentHead();

// How a line of JSON lines starts: a window's with "type":"window", the last one's with
// "type":"summary" and what DocumentHead holds.
[[nodiscard]] Json WindowLineHead();
[[nodiscard]] Json SummaryLineHead();

// The value as compact JSON text in UTF-8.
[[nodiscard]] std::string JsonText(const Json& value);

// Follows a JSON text byte by byte, telling whether each is part of a string.
class JsonStringTracker {
public:
    // Whether the next byte of the text is part of a string, its quotes included.
    bool InString(char byte) noexcept;
    // Whether the bytes so far opened a string that has not closed.
    [[nodiscard]] bool Open() const noexcept { return m_open; }

private:
    bool m_open = false;
    bool m_escaped = false;
};

// The JSON text without the blanks and line breaks between its tokens: one line, as short as
// the values allow.
[[nodiscard]] std::string CompactJsonText(std::string_view text);

// The deepest a JSON text that the tool reads may nest its arrays and objects: a deeper one is
// refused before it is parsed, for the code that goes through a document goes down level by
// level on the stack.
inline constexpr std::size_t kDeepestJsonNesting = 512;

// Where the JSON text opens an array or object deeper than kDeepestJsonNesting, as an offset
// into it; nothing when it does not.
[[nodiscard]] std::optional<std::size_t> NestedTooDeeplyAt(std::string_view text);

// An object's text without its closing brace, so that more members can be written after it.
[[nodiscard]] std::string OpenObjectText(const Json& object);

// A text of the window system as a JSON string value (UTF-16 made UTF-8).
[[nodiscard]] inline Json JsonString(TextView text) {
    return TextToUtf8(text);
}
