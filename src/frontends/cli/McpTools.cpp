// serve's tools: their arguments made a command line, run as the command line runs it, its
// document and messages made the tool's result.
#include "cli/McpTools.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/JsonRpc.h"
#include "core/TextMatch.h"

namespace {

// A tool argument's JSON type: a boolean, an integer in a range, a string, or a window handle (an
// integer, as the documents give handles, or a string as the command line takes them).
enum class Kind { Flag, Whole, String, Handle };

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

constexpr char kSelector[] = "selector";
constexpr char kWaitedText[] = "text";
// The longest that wait_for_text waits, and that any message waits: the SDKs' default request
// time-out is a minute.
constexpr std::int64_t kMaxWaitMs = 60000;
constexpr std::int64_t kDefaultWaitMs = 5000;
constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr std::int64_t kMaxProcessId = 0xFFFFFFFF;
constexpr std::int64_t kMaxDepthArgument = 1000000;

// The selector's arguments; classArgument and classOption: the name of the one that selects by
// class, which find leaves to the controls' class.
std::vector<Argument> SelectorArguments(const char* classArgument, const char* classOption) {
    return {
        {"handle", Kind::Handle, "--handle",
         "The window with this handle, as the tools' documents give it (or a string in 0x "
         "hexadecimal): any window, top-level or child",
         kSelector},
        {"title", Kind::String, "--title", "The top-level window with exactly this title",
         kSelector},
        {"titleContains", Kind::String, "--title-contains",
         "The top-level window whose title holds this text", kSelector},
        {classArgument, Kind::String, classOption,
         "The top-level window of this class (case does not matter)", kSelector},
        {"pid", Kind::Whole, "--pid", "The top-level window of the process with this id", kSelector,
         0, kMaxProcessId},
        {"all", Kind::Flag, "--all",
         "Let the selector find owned, untitled and hidden top-level windows too"},
        {"first", Kind::Flag, "--first",
         "When several windows (or controls on path) match, take the first, in Z order"},
    };
}

const Argument kPath{"path", Kind::String, "--path",
                     "The control this path leads to below the selected window, as the documents "
                     "give paths (\"Panel/Button#1\", \"Edit[2]\")"};
const Argument kMessageTimeout{"timeoutMs",
                               Kind::Whole,
                               "--timeout",
                               "How long each window's text message waits for its answer, in "
                               "milliseconds (default 500): a window that does not answer in time "
                               "has the status timedOut",
                               nullptr,
                               1,
                               kMaxWaitMs};

std::vector<Argument> Joined(std::vector<Argument> first, const std::vector<Argument>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// The bytes of text up to at most limit, not cutting a UTF-8 character.
std::string_view WholeCharacters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    while (limit > 0 &&
           (static_cast<unsigned char>(text[limit]) & kContinuationMask) == kContinuation) {
        --limit;
    }
    return text.substr(0, limit);
}

// A command's output kept for its result, up to the cap: at the cap the output's reader goes, so
// the command stops there.
class CapturingConsole final : public Console {
public:
    void Out(std::string_view utf8) override {
        if (out.size() + utf8.size() > kMaxResultBytes) {
            out += WholeCharacters(utf8, kMaxResultBytes - out.size());
            cut = true;
            throw OutputClosed(u"The tool's result has reached its cap.");
        }
        out += utf8;
    }
    void Error(std::string_view utf8) noexcept override {
        try {
            error += utf8;
        } catch (...) {
            // A message that cannot be kept is lost, as on a console.
        }
    }

    std::string out;
    std::string error;
    bool cut = false;
};

struct CommandRun {
    int exitCode = 0;
    CapturingConsole console;
};

CommandRun RunCaptured(const CliRequest& request, ToolServices& services) {
    CommandRun run;
    run.exitCode = services.run(request, run.console);
    return run;
}

// The command line's words in a message made the tool's: each option its argument's name.
std::string InToolWords(const Tool& tool, std::string message) {
    for (const Argument& argument : tool.arguments) {
        if (argument.option == nullptr) {
            continue;
        }
        const std::string_view option = argument.option;
        for (std::size_t at = message.find(option); at != std::string::npos;
             at = message.find(option, at)) {
            const std::size_t end = at + option.size();
            const bool whole = end == message.size() ||
                               (std::isalnum(static_cast<unsigned char>(message[end])) == 0 &&
                                message[end] != '-');
            if (whole) {
                message.replace(at, option.size(), argument.name);
                at += std::string_view(argument.name).size();
            } else {
                at = end;
            }
        }
    }
    return message;
}

// What standard error said, without the line feed that ends it.
std::string Said(const Tool& tool, const std::string& error) {
    std::string text = InToolWords(tool, error);
    while (text.ends_with('\n')) {
        text.pop_back();
    }
    return text;
}

Json TextContent(std::string text) {
    return Json{{"type", "text"}, {"text", std::move(text)}};
}

// The result of the command's run: its document, compact, as text and as structured content, with
// what standard error said as a second text; a command that wrote no document is an error, and
// says why. A document cut at the cap keeps only its text, with a note on how to narrow the
// request.
ToolResult ResultOf(const Tool& tool, const CommandRun& run) {
    ToolResult result;
    // Members are set in order: the content first, and a reference into the result would not
    // outlive the next member.
    result.members = {{"content", Json::array()}};
    Json& content = result.members["content"];
    if (run.console.cut) {
        content.push_back(TextContent(
            run.console.out + "\n[cut: the result reached its cap of " +
            std::to_string(kMaxResultBytes) +
            " bytes and the command stopped there. Narrow the request: name a control by its path, "
            "give a lower maxDepth, or leave out items.]"));
        result.members["isError"] = false;
        return result;
    }
    result.structured = CompactJsonText(run.console.out);
    if (!result.structured.empty()) {
        content.push_back(TextContent(result.structured));
    }
    if (!run.console.error.empty()) {
        content.push_back(TextContent(Said(tool, run.console.error)));
    }
    if (content.empty()) {
        content.push_back(TextContent("the command ended with exit code " +
                                      std::to_string(run.exitCode) + " and said nothing"));
    }
    result.members["isError"] = result.structured.empty() && run.exitCode != ExitCode::kDone;
    return result;
}

ToolResult RunCommand(const Tool& tool, const Json&, const CliRequest& request,
                      ToolServices& services) {
    return ResultOf(tool, RunCaptured(request, services));
}

// Reads the control again and again until its text shows or the time is up.
ToolResult WaitForText(const Tool& tool, const Json& arguments, const CliRequest& request,
                       ToolServices& services) {
    const bool whole = arguments.contains("text");
    const std::string wanted = arguments.value(whole ? "text" : "textContains", std::string());
    const TextMatch match(Utf8ToText(wanted),
                          {whole ? TextMatch::Extent::Whole : TextMatch::Extent::Part,
                           arguments.value("ignoreCase", false), false});
    const auto limit = std::chrono::milliseconds(arguments.value("timeoutMs", kDefaultWaitMs));
    const auto start = services.now();
    for (;;) {
        ToolResult result = ResultOf(tool, RunCaptured(request, services));
        if (result.structured.empty()) {
            return result;
        }
        Json document = Json::parse(result.structured);
        const Json& window = document["window"];
        const std::string text = window.is_object() ? window.value("text", "") : "";
        const bool shown = match.Matches(Utf8ToText(text));
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(services.now() - start);
        if (shown || waited >= limit) {
            document["waited"] = {{"shown", shown}, {"ms", waited.count()}};
            result.structured = JsonText(document);
            result.members["content"][0] = TextContent(result.structured);
            if (!shown) {
                result.members["content"].push_back(
                    TextContent(std::string(whole ? "the text \"" : "a text holding \"") + wanted +
                                "\" did not show within " + std::to_string(limit.count()) +
                                " ms: the control's text is " + JsonText(text)));
            }
            result.members["isError"] = !shown;
            return result;
        }
        services.pause(std::min(kPollInterval, limit - waited));
    }
}

const std::vector<Tool>& Tools() {
    static const std::vector<Tool> tools{
        {"list_windows",
         "List the windows",
         "The desktop's application windows, as the window list shows them: handle, class, "
         "title, process id and program, visible, owner; then a summary: windows, deadline and "
         "complete. The same document as tessivane-cli list --format json.",
         {"list", "--format", "json"},
         {{"all", Kind::Flag, "--all",
           "Every top-level window: owned ones (dialogs, message boxes), untitled and hidden "
           "ones too, each with why the window list leaves it out"}},
         {},
         RunCommand},
        {"dump_window",
         "Dump a window",
         "One window and all its child windows, depth first: handle, class, text, control id, "
         "parent, depth, path, visible, enabled, rectangle on screen and read status (read; "
         "timedOut: no answer in time; cut; changing: it changed while read; gone: it vanished "
         "while read; denied: a program running with higher rights refused its text); then a "
         "summary that counts what is missing: windows, timedOut, gone, denied, cut, changing, "
         "itemsIncomplete, rowLimitReached, failedSteps, deadline and complete. Give exactly one "
         "of handle, title, titleContains, class or pid. The same document as tessivane-cli dump "
         "--format json.",
         {"dump", "--format", "json"},
         Joined(SelectorArguments("class", "--class"),
                {kPath,
                 {"items", Kind::Flag, "--items",
                  "Read each control's items too (list boxes, combo boxes, list views, trees, "
                  "tabs, headers, status bars, toolbars), a console window's lines and a top-level "
                  "window's menu"},
                 {"maxDepth", Kind::Whole, "--max-depth",
                  "Walk no deeper than this many levels below the window (0: the window alone)",
                  nullptr, 0, kMaxDepthArgument},
                 kMessageTimeout}),
         {kSelector},
         RunCommand},
        {"find_controls",
         "Find controls",
         "The windows inside the window list's windows (or inside the one a selector names) that "
         "have a text, class or control id: each with its top-level window, handle, class, control "
         "id, path and text; then searched, textlessLists and deadline. Give at least one of text, "
         "textContains, class or id; at most one of handle, title, titleContains, windowClass or "
         "pid. The same document as tessivane-cli find --format json.",
         {"find", "--format", "json"},
         Joined(SelectorArguments("windowClass", "--window-class"),
                {{"text", Kind::String, "--text", "Windows whose whole text is this"},
                 {"textContains", Kind::String, "--text-contains", "Windows whose text holds this"},
                 {"class", Kind::String, "--class",
                  "Windows of this class (case does not matter, as for the system)"},
                 {"id", Kind::Whole, "--id", "Windows with this control id", nullptr, INT32_MIN,
                  INT32_MAX},
                 {"ignoreCase", Kind::Flag, "--ignore-case",
                  "Match text and textContains whatever the case"},
                 {"regex", Kind::Flag, "--regex",
                  "text and textContains are ECMAScript regular expressions (text matches the "
                  "whole text)"}}),
         {},
         RunCommand},
        {"read_items",
         "Read a control's items",
         "The items of one list box, combo box, list view (every row by every column), tree, "
         "tab control, header, status bar, toolbar, console window (its lines) or top-level "
         "window (its menu): the dump of that window alone with its items (kind, status, columns, "
         "rows), whose status is read, timedOut, gone, changed, noTexts, capped, denied (a "
         "program running with higher rights refused them) or notReadable. Give exactly one of "
         "handle, title, titleContains, class or pid, and the path to the control below that "
         "window (or the control's own handle).",
         {"dump", "--format", "json", "--items", "--max-depth", "0"},
         Joined(SelectorArguments("class", "--class"), {kPath, kMessageTimeout}),
         {kSelector},
         RunCommand},
        {"wait_for_text",
         "Wait for a text",
         "Reads a control's text again and again until it is the text given (or holds "
         "textContains), at most timeoutMs: the dump of that control alone, with \"waited\": "
         "whether the text showed and after how long. Give exactly one of handle, title, "
         "titleContains, class or pid, the path to the control below that window, and text or "
         "textContains.",
         {"dump", "--format", "json", "--max-depth", "0"},
         Joined(SelectorArguments("class", "--class"),
                {kPath,
                 {"text", Kind::String, nullptr, "The whole text to wait for", kWaitedText},
                 {"textContains", Kind::String, nullptr, "A text to wait for within the control's",
                  kWaitedText},
                 {"ignoreCase", Kind::Flag, nullptr, "Match the text whatever the case"},
                 {"timeoutMs", Kind::Whole, nullptr,
                  "How long to wait for the text, in milliseconds (default 5000)", nullptr, 1,
                  kMaxWaitMs}}),
         {kSelector, kWaitedText},
         WaitForText},
    };
    return tools;
}

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
        }
        property["description"] = argument.description;
    }
    return Json{{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
}

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

[[noreturn]] void Refuse(const std::string& message) {
    throw RpcError(RpcCode::kInvalidParams, message);
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

// Checks the arguments against the tool's schema and its choices; answers the command line they
// make. Throws RpcError (invalid params) for what the tool does not take.
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
        if (argument->choice != nullptr) {
            for (const std::string& other : chosen) {
                if (tool.Find(other)->choice == std::string_view(argument->choice)) {
                    Refuse(std::string(tool.name) + " takes one of " + other + " and " + name +
                           ", not both");
                }
            }
            chosen.push_back(name);
        }
        if (argument->option == nullptr || (value.is_boolean() && !value.get<bool>())) {
            continue;
        }
        words.emplace_back(argument->option);
        if (!value.is_boolean()) {
            words.push_back(value.is_string() ? value.get<std::string>() : value.dump());
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

}  // namespace

Json ToolDescriptions() {
    Json tools = Json::array();
    for (const Tool& tool : Tools()) {
        tools.push_back({{"name", tool.name},
                         {"title", tool.title},
                         {"description", tool.description},
                         {"inputSchema", SchemaOf(tool)},
                         {"annotations",
                          {{"readOnlyHint", true},
                           {"destructiveHint", false},
                           {"idempotentHint", true},
                           {"openWorldHint", false}}}});
    }
    return tools;
}

std::string ToolResult::Text() const {
    if (structured.empty()) {
        return JsonText(members);
    }
    return OpenObjectText(members) + ",\"structuredContent\":" + structured + "}";
}

ToolResult CallTool(const std::string& name, const Json& arguments, ToolServices& services) {
    const auto& tools = Tools();
    const auto tool = std::find_if(tools.begin(), tools.end(),
                                   [&](const Tool& each) { return name == each.name; });
    if (tool == tools.end()) {
        Refuse("no tool is named \"" + name + "\": the tools are " + NamesOf(tools));
    }
    if (!arguments.is_object()) {
        Refuse("a tool's arguments are an object");
    }
    const ParsedCommandLine parsed = ParseCommandLine(CommandLineOf(*tool, arguments));
    if (!parsed.request) {
        std::string problem = parsed.error;
        if (problem.starts_with(kMessagePrefix)) {
            problem.erase(0, kMessagePrefix.size());
        }
        Refuse(Said(*tool, problem));
    }
    return tool->call(*tool, arguments, *parsed.request, services);
}
