// The command line's JSON documents.
#include "documents/JsonText.h"

#include "Version.h"

Json DocumentHead() {
    Json head;
    head["schema"] = kJsonSchemaVersion;
    head["program"] = kProgramName;
    head["version"] = TESSIVANE_VERSION_TEXT;
    return head;
}

Json WindowLineHead() {
    return Json{{"type", "window"}};
}

Json SummaryLineHead() {
    Json head{{"type", "summary"}};
    head.update(DocumentHead());
    return head;
}

std::string JsonText(const Json& value) {
    // No line breaks nor indentation inside a value.
    constexpr int kCompact = -1;
    // Texts come from UTF-16 made UTF-8, so nothing is replaced; a stray byte would not stop
    // the document.
    return value.dump(kCompact, ' ', false, Json::error_handler_t::replace);
}

bool JsonStringTracker::InString(char byte) noexcept {
    if (m_open) {
        m_open = m_escaped || byte != '"';
        m_escaped = !m_escaped && byte == '\\';
        return true;
    }
    m_open = byte == '"';
    return m_open;
}

std::string CompactJsonText(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    JsonStringTracker strings;
    for (const char byte : text) {
        if (!strings.InString(byte) &&
            (byte == ' ' || byte == '\n' || byte == '\r' || byte == '\t')) {
            continue;
        }
        compact += byte;
    }
    return compact;
}

std::optional<std::size_t> NestedTooDeeplyAt(std::string_view text) {
    JsonStringTracker strings;
    std::size_t depth = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char byte = text[at];
        if (strings.InString(byte)) {
            continue;
        }
        if ((byte == '[' || byte == '{') && ++depth > kDeepestJsonNesting) {
            return at;
        }
        if ((byte == ']' || byte == '}') && depth > 0) {
            --depth;
        }
    }
    return std::nullopt;
}

std::string OpenObjectText(const Json& object) {
    std::string text = JsonText(object);
    text.pop_back();
    return text;
}
