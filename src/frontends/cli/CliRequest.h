// What the command line asks for: the list of the desktop's windows, the dump of one window's
// tree, a search for windows, or two dumps compared.
#pragma once

#include <chrono>
#include <optional>
#include <variant>

#include "core/Text.h"
#include "extraction/ChildWalk.h"
#include "finding/Selectors.h"

// JsonLines: one compact JSON object a line, a line per window as it comes, then the summary.
enum class ListFormat { Table, Json, JsonLines, Csv, Tsv };
enum class DumpFormat { Json, JsonLines, Csv, Tsv, Text };
// Text: a line per change for people; JsonLines: an object per change, then the summary.
enum class DiffFormat { Text, JsonLines };

struct ListRequest {
    // Owned, untitled and hidden top-level windows too, each with why the window list leaves it
    // out.
    bool all = false;
    ListFormat format = ListFormat::Table;
    // How long the whole command may take; nothing: as long as it takes.
    std::optional<std::chrono::milliseconds> deadline;
};

struct DumpRequest {
    Selector selector;
    // The selector looks at every top-level window, not only the window list's.
    bool all = false;
    // Of several matching windows, the first in Z order; without it several are an error.
    bool first = false;
    // The control below the selected window that this path leads to, rather than that window.
    std::optional<Text> path;
    // Each control's items (list boxes, list views, trees, ...).
    bool items = false;
    DumpFormat format = DumpFormat::Json;
    // Empty: standard output.
    Text output;
    // How long each window's text message waits for its answer.
    std::chrono::milliseconds timeout = kTextMessageTimeout;
    int maxDepth = kNoDepthLimit;
    // How long the whole command may take; nothing: as long as it takes.
    std::optional<std::chrono::milliseconds> deadline;
};

struct FindRequest {
    // The window whose descendants are searched; without one, every top-level window's.
    std::optional<Selector> selector;
    bool all = false;
    bool first = false;
    FindCriteria criteria;
    // The items of the controls that have them are searched too.
    bool items = false;
    // The criteria as the command line gave them, for the message that nothing matched.
    std::string described;
    ListFormat format = ListFormat::Table;
    // Empty: standard output.
    Text output;
    // How long the whole command may take; nothing: as long as it takes.
    std::optional<std::chrono::milliseconds> deadline;
};

// Changes are looked for this often when the system does not tell of them.
inline constexpr std::chrono::milliseconds kDefaultWatchInterval{500};

struct WatchRequest {
    Selector selector;
    bool all = false;
    bool first = false;
    // The control below the selected window that this path leads to, rather than that window.
    std::optional<Text> path;
    // Each control's items, and their changes.
    bool items = false;
    std::chrono::milliseconds interval = kDefaultWatchInterval;
    // How long each window's text message waits for its answer.
    std::chrono::milliseconds timeout = kTextMessageTimeout;
    // Ends after this long; nothing: when another end comes.
    std::optional<std::chrono::seconds> duration;
    // Ends after this many changes.
    std::optional<std::size_t> count;
    // Ends once a window of the tree shows a text that holds this.
    std::optional<Text> untilText;
};

// Two documents that dump wrote, compared.
struct DiffRequest {
    // The files' paths, as the command line gave them: the earlier dump and the later one.
    Text before;
    Text after;
    DiffFormat format = DiffFormat::Text;
    // Empty: standard output.
    Text output;
};

// Answers an agent's requests on the standard input and output until the input closes: the
// Model Context Protocol, one JSON-RPC message a line.
struct ServeRequest {};

using CliRequest =
    std::variant<ListRequest, DumpRequest, FindRequest, WatchRequest, DiffRequest, ServeRequest>;
