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

std::string CompactJsonText(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    bool inString = false;
    bool escaped = false;
    for (const char byte : text) {
        if (inString) {
            inString = escaped || byte != '"';
            escaped = !escaped && byte == '\\';
        } else if (byte == ' ' || byte == '\n' || byte == '\r' || byte == '\t') {
            continue;
        } else {
            inString = byte == '"';
        }
        compact += byte;
    }
    return compact;
}

std::string OpenObjectText(const Json& object) {
    std::string text = JsonText(object);
    text.pop_back();
    return text;
}
