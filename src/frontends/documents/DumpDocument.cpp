// A dump's document read back.
#include "documents/DumpDocument.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "documents/JsonText.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The bytes handed to the JSON parser one at a time, counting the line breaks passed: the
// parser reads nothing ahead of the value it reports, so the count tells the line it is on.
class LineCountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    LineCountingIterator(const char* at, std::size_t* breaks) noexcept
        : m_at(at), m_breaks(breaks) {}

    reference operator*() const noexcept { return *m_at; }
    LineCountingIterator& operator++() noexcept {
        *m_breaks += *m_at == '\n' ? 1 : 0;
        ++m_at;
        return *this;
    }
    LineCountingIterator operator++(int) noexcept {
        LineCountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineCountingIterator& other) const noexcept { return m_at == other.m_at; }

private:
    const char* m_at;
    std::size_t* m_breaks;
};

std::size_t LineAt(std::string_view bytes, std::size_t offset) {
    const std::string_view before = bytes.substr(0, std::min(offset, bytes.size()));
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

// The parser's complaint without its number and position: "syntax error while parsing ...".
UnreadableDocument NotJson(std::string_view bytes, const Json::parse_error& error,
                           std::size_t firstLine) {
    const std::string what = error.what();
    const std::size_t said = what.find(": ", what.find("parse error"));
    const std::string reason = said == std::string::npos ? what : what.substr(said + 2);
    // The byte is the last one read, from 1.
    const std::size_t line = LineAt(bytes, error.byte == 0 ? 0 : error.byte - 1);
    return {firstLine + line - 1, u"not JSON: " + Utf8ToText(reason)};
}

// Refuses a text that nests deeper than a dump's reader goes, naming the line where it does.
void CheckNesting(std::string_view text, std::size_t firstLine) {
    if (const std::optional<std::size_t> at = NestedTooDeeplyAt(text)) {
        throw UnreadableDocument(firstLine + LineAt(text, *at) - 1,
                                 u"arrays and objects nested deeper than " +
                                     DecimalText(static_cast<std::int64_t>(kDeepestJsonNesting)) +
                                     u" levels");
    }
}

// The window object read, or a failure that names the line it starts on.
SnapshotWindow WindowAt(const Json& window, std::size_t line) {
    try {
        return SnapshotWindowOf(window);
    } catch (const Failure& failure) {
        throw UnreadableDocument(line, failure.Description());
    }
}

Snapshot ReadJsonLines(std::string_view bytes) {
    Snapshot windows;
    bool summarised = false;
    std::size_t line = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view text = bytes.substr(start, end - start);
        start = end + 1;
        ++line;
        if (text.find_first_not_of(" \t\r") == std::string_view::npos) {
            continue;
        }
        CheckNesting(text, line);
        Json object;
        try {
            object = Json::parse(text);
        } catch (const Json::parse_error& error) {
            throw NotJson(text, error, line);
        }
        const auto type = object.is_object() ? object.find("type") : object.end();
        if (summarised) {
            throw UnreadableDocument(line, u"a line after the summary: the dump ended before it");
        }
        if (type != object.end() && *type == "summary") {
            summarised = true;
        } else if (type != object.end() && *type == "window") {
            windows.push_back(WindowAt(object, line));
        } else {
            throw UnreadableDocument(
                line, u"a dump's lines are windows (\"type\":\"window\") and a summary last");
        }
    }
    return windows;
}

// Where each window object starts, in the document's order: the root's "window", and each
// window's "children".
class WindowStarts {
public:
    explicit WindowStarts(const std::size_t* breaks) noexcept : m_breaks(breaks) {}

    bool Seen(Json::parse_event_t event, const Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start: {
                const bool window = m_open.size() == 1 ? m_open.back().key == "window"
                                                       : !m_open.empty() && m_open.back().children;
                if (window) {
                    lines.push_back(*m_breaks + 1);
                }
                m_open.push_back({window, false, {}});
                break;
            }
            case Json::parse_event_t::array_start:
                m_open.push_back(
                    {false,
                     !m_open.empty() && m_open.back().window && m_open.back().key == "children",
                     {}});
                break;
            case Json::parse_event_t::key:
                m_open.back().key = parsed.get<std::string>();
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                m_open.pop_back();
                break;
            case Json::parse_event_t::value:
                break;
        }
        return true;
    }

    std::vector<std::size_t> lines;

private:
    struct Open {
        bool window;    // an object that is a window
        bool children;  // an array that is a window's children
        std::string key;
    };

    const std::size_t* m_breaks;
    std::vector<Open> m_open;
};

Snapshot ReadJsonTree(std::string_view bytes) {
    CheckNesting(bytes, 1);
    std::size_t breaks = 0;
    WindowStarts starts(&breaks);
    Json document;
    try {
        document = Json::parse(LineCountingIterator(bytes.data(), &breaks),
                               LineCountingIterator(bytes.data() + bytes.size(), &breaks),
                               [&starts](int, Json::parse_event_t event, Json& parsed) {
                                   return starts.Seen(event, parsed);
                               });
    } catch (const Json::parse_error& error) {
        throw NotJson(bytes, error, 1);
    }
    const auto root = document.is_object() ? document.find("window") : document.end();
    if (root == document.end()) {
        throw UnreadableDocument(
            1, u"no \"window\": a dump's JSON holds its window tree under \"window\"");
    }
    Snapshot windows;
    // The windows still to read, the next one last.
    std::vector<const Json*> waiting;
    if (!root->is_null()) {
        waiting.push_back(&*root);
    }
    while (!waiting.empty()) {
        const Json& window = *waiting.back();
        waiting.pop_back();
        const std::size_t line =
            windows.size() < starts.lines.size() ? starts.lines[windows.size()] : 1;
        windows.push_back(WindowAt(window, line));
        const auto children = window.find("children");
        if (children == window.end() || !children->is_array()) {
            throw UnreadableDocument(line, u"the window has no \"children\" list");
        }
        for (auto child = children->rbegin(); child != children->rend(); ++child) {
            waiting.push_back(&*child);
        }
    }
    return windows;
}

}  // namespace

Snapshot ReadDumpDocument(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        throw UnreadableDocument(1, u"empty: no dump is written in it");
    }
    const std::string_view firstLine = bytes.substr(first, bytes.find('\n', first) - first);
    // A line nested too deeply is refused by the reader of either kind, with its number.
    const Json head =
        NestedTooDeeplyAt(firstLine) ? Json() : Json::parse(firstLine, nullptr, false);
    return head.is_object() && head.contains("type") ? ReadJsonLines(bytes) : ReadJsonTree(bytes);
}
