// serve's tools called: their arguments made a command line, run as the command line runs it, its
// document and messages made the tool's result.
#include "serve/McpTools.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>

#include "cli/CommandLine.h"
#include "core/ExitCodes.h"
#include "core/TextMatch.h"
#include "items/ItemsReader.h"
#include "serve/ToolArguments.h"
#include "serve/ToolTable.h"

namespace Mcp {
namespace {

// How long wait_for_text waits when not told, and how often it reads the control again.
constexpr std::int64_t kDefaultWaitMs = 5000;
constexpr auto kPollInterval = std::chrono::milliseconds(100);

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

}  // namespace

ToolResult RunCommand(const Tool& tool, const Json&, const CliRequest& request,
                      ToolServices& services) {
    return ResultOf(tool, RunCaptured(request, services));
}

ToolResult ReadItems(const Tool& tool, const Json&, const CliRequest& request,
                     ToolServices& services) {
    ToolResult result = ResultOf(tool, RunCaptured(request, services));
    if (result.structured.empty()) {
        return result;
    }
    const Json window = Json::parse(result.structured).value("window", Json());
    const Json items = window.is_object() ? window.value("items", Json()) : Json();
    if (items.is_object() && items.value("status", std::string()) == "noTexts") {
        const std::int64_t held = items.value("claimed", std::int64_t{0});
        result.members["content"].push_back(TextContent(
            "the " + window.value("class", std::string()) +
            " draws its items itself and keeps no texts: it holds " + std::to_string(held) +
            (held == 1 ? " item" : " items") + " that cannot be read"));
    }
    if (window.is_object() && !window.contains("items")) {
        result.members["content"].push_back(TextContent(
            "the control (" + window.value("class", std::string()) +
            ") holds no items: read_items reads list boxes, combo boxes, list views, trees, tab "
            "controls, headers, status bars, toolbars, consoles, top-level windows' menus and the "
            "accessible objects of windows that draw their own controls; its text is in the "
            "window's \"text\""));
    }
    // Empty rows alone would pass for blank ones: the note says what they more likely are.
    if (items.is_object() && items.value("status", std::string()) == "noText") {
        result.members["content"].push_back(
            TextContent(TextToUtf8(NoTextSentence(items.value("rows", Json::array()).size()))));
    }
    return result;
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

}  // namespace Mcp

Json ToolDescriptions() {
    Json tools = Json::array();
    for (const Mcp::Tool& tool : Mcp::Tools()) {
        tools.push_back({{"name", tool.name},
                         {"title", tool.title},
                         {"description", tool.description},
                         {"inputSchema", Mcp::SchemaOf(tool)},
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
    const auto& tools = Mcp::Tools();
    const auto tool = std::find_if(tools.begin(), tools.end(),
                                   [&](const Mcp::Tool& each) { return name == each.name; });
    if (tool == tools.end()) {
        Mcp::Refuse("no tool is named \"" + name + "\": the tools are " + Mcp::NamesOf(tools));
    }
    if (!arguments.is_object()) {
        Mcp::Refuse("a tool's arguments are an object");
    }
    const ParsedCommandLine parsed = ParseCommandLine(Mcp::CommandLineOf(*tool, arguments));
    if (!parsed.request) {
        std::string problem = parsed.error;
        if (problem.starts_with(kMessagePrefix)) {
            problem.erase(0, kMessagePrefix.size());
        }
        Mcp::Refuse(Mcp::Said(*tool, problem));
    }
    return tool->call(*tool, arguments, *parsed.request, services);
}
