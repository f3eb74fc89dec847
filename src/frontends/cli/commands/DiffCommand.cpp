// tessivane-cli diff: two dumps of a window compared, a line per change; its options and help.
#include <algorithm>
#include <array>

#include "cli/Commands.h"
#include "cli/commands/CommandTable.h"
#include "documents/DumpDocument.h"
#include "documents/JsonText.h"
#include "documents/Snapshot.h"

namespace {

// A dump larger than this is refused before it is read: about 180,000 windows.
constexpr std::size_t kLargestDumpMegabytes = 64;

// What a text line calls the window the dump started from, whose path is empty.
constexpr TextView kDumpedWindow = u"(dumped window)";

// The words before each text line's path, padded to the longest of them and two blanks.
constexpr std::size_t kWordsWidth = 15;

constexpr std::array kKinds{ChangeKind::Added, ChangeKind::Removed, ChangeKind::Text,
                            ChangeKind::Items, ChangeKind::Visible, ChangeKind::Enabled};

// The windows of the dump in the file; throws Failure naming the file, and the line when it is
// no dump.
Snapshot ReadDump(Files& files, const Text& path) {
    const std::string bytes = files.ReadFile(path, kLargestDumpMegabytes);
    try {
        return ReadDumpDocument(bytes);
    } catch (const UnreadableDocument& unreadable) {
        throw Failure(path + u" line " + DecimalText(static_cast<std::int64_t>(unreadable.Line())) +
                      u": " + unreadable.Description());
    }
}

// A text in quotes, with quotes, backslashes and control characters escaped as JSON writes
// them, so that a change stays on its line.
std::string Quoted(TextView text) {
    return JsonText(JsonString(text));
}

std::size_t RowCount(const Json& items) {
    const auto rows = items.find("rows");
    return rows != items.end() && rows->is_array() ? rows->size() : 0;
}

// "2 rows -> 3 rows, 1 row differs": the rows counted, and what else changed.
std::string ItemsChange(const Json& before, const Json& after) {
    const auto rows = [](std::size_t count) { return TextToUtf8(Counted(count, u"row", u"rows")); };
    std::string said = rows(RowCount(before)) + " -> " + rows(RowCount(after));
    std::size_t differing = 0;
    for (std::size_t row = 0; row < std::min(RowCount(before), RowCount(after)); ++row) {
        differing += before["rows"][row] != after["rows"][row] ? 1 : 0;
    }
    if (differing > 0) {
        said += ", " + TextToUtf8(Counted(differing, u"row differs", u"rows differ"));
    }
    if (before.value("status", Json()) != after.value("status", Json())) {
        said += ", status " + JsonText(before.value("status", Json())) + " -> " +
                JsonText(after.value("status", Json()));
    }
    if (before.value("columns", Json()) != after.value("columns", Json())) {
        said += ", columns differ";
    }
    return said;
}

const SnapshotWindow& ChangedWindow(const WindowChange& change) {
    return change.after != nullptr ? *change.after : *change.before;
}

// The window's path as a text line shows it.
Text ShownPath(const SnapshotWindow& window) {
    return window.path.empty() ? Text(kDumpedWindow) : window.path;
}

// One change for people: what happened, the window's path padded to pathWidth, then what it was
// and became.
std::string ChangeLine(const WindowChange& change, std::size_t pathWidth) {
    const SnapshotWindow& window = ChangedWindow(change);
    std::string words;
    std::string details;
    switch (change.kind) {
        case ChangeKind::Added:
        case ChangeKind::Removed:
            words = ChangeName(change.kind);
            details = TextToUtf8(window.className) + " " + Quoted(window.text);
            break;
        case ChangeKind::Text:
            words = "changed text";
            details = Quoted(change.before->text) + " -> " + Quoted(change.after->text);
            break;
        case ChangeKind::Items:
            words = "changed items";
            details = ItemsChange(*change.before->items, *change.after->items);
            break;
        case ChangeKind::Visible:
            words = window.visible ? "shown" : "hidden";
            break;
        case ChangeKind::Enabled:
            words = window.enabled ? "enabled" : "disabled";
            break;
    }
    words.resize(std::max(words.size(), kWordsWidth), ' ');
    Text path = ShownPath(window);
    if (!details.empty()) {
        path.resize(std::max(path.size(), pathWidth), u' ');
        path += u"  ";
    }
    return words + TextToUtf8(path) + details + "\n";
}

}  // namespace

int RunDiff(const DiffRequest& request, CliServices& services) {
    // The output replaces its file once written: over one of the dumps, it would lose that dump.
    for (const Text& input : {request.before, request.after}) {
        if (!request.output.empty() && services.readFiles.SameFile(request.output, input)) {
            throw Failure(u"The output " + request.output + u" is the dump " + input +
                          u": diff does not write over the files it compares.");
        }
    }
    const Snapshot before = ReadDump(services.readFiles, request.before);
    const Snapshot after = ReadDump(services.readFiles, request.after);
    const std::vector<WindowChange> changes =
        CompareSnapshots(before, after, MatchBy::PathThenHandle);
    Output output(services.console, services.files, request.output);
    // The paths in one column, so that what changed lines up.
    std::size_t pathWidth = 0;
    for (const WindowChange& change : changes) {
        pathWidth = std::max(pathWidth, ShownPath(ChangedWindow(change)).size());
    }
    for (const WindowChange& change : changes) {
        output.Write(request.format == DiffFormat::JsonLines
                         ? JsonText(ChangeObject(change, std::nullopt)) + "\n"
                         : ChangeLine(change, pathWidth));
    }
    if (request.format == DiffFormat::JsonLines) {
        Json summary = SummaryLineHead();
        summary["changes"] = changes.size();
        for (const ChangeKind kind : kKinds) {
            summary[ChangeName(kind)] =
                std::count_if(changes.begin(), changes.end(),
                              [kind](const WindowChange& change) { return change.kind == kind; });
        }
        output.Write(JsonText(summary) + "\n");
    }
    output.Finish();
    return changes.empty() ? ExitCode::kDone : ExitCode::kDiffers;
}

namespace {

constexpr char kDiffFooter[] =
    "Each window of AFTER is matched with the window of BEFORE at the same path (as dump writes\n"
    "paths), then what is left by handle and class; the rest was added or removed. Either file\n"
    "may be dump's json or jsonl. A window whose status is \"gone\" counts as not there, a text\n"
    "that timed out or was denied as unknown, and items only where both dumps have them.\n"
    "Exit codes: 0 the dumps do not differ; 1 usage error, a file that cannot be read or is no\n"
    "dump (the message names the file and the line), or the output cannot be written; 5 the\n"
    "dumps differ.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli dump --title \"Untitled - Notepad\" -o before.json\n"
    "  tessivane-cli diff before.json after.json\n"
    "  tessivane-cli diff before.jsonl after.jsonl -f jsonl -o changes.jsonl";

class DiffOptions final : public CommandOptions {
public:
    DiffOptions(CLI::App& command, Complaint& complaint) {
        command.add_option("BEFORE", m_before, "The earlier dump's file (json or jsonl)")
            ->required()
            ->option_text("FILE");
        command.add_option("AFTER", m_after, "The later dump's file")
            ->required()
            ->option_text("FILE");
        m_format.AddTo(command,
                       ": text (the default) writes a line per change, jsonl a JSON object per "
                       "change with the old and new values, then a summary",
                       complaint);
        AddOutput(command, m_output);
    }

    std::string Problem(const CLI::App& command) const override {
        return command.count("AFTER") == 0
                   ? "diff needs two files: the earlier dump and the later one"
                   : std::string();
    }

    RequestOrProblem Request(const CLI::App&) const override {
        DiffRequest request;
        request.before = Utf8ToText(m_before);
        request.after = Utf8ToText(m_after);
        request.format = m_format.Chosen(request.format);
        request.output = Utf8ToText(m_output);
        return request;
    }

private:
    std::string m_before;
    std::string m_after;
    FormatOption<DiffFormat> m_format{
        {{"text", DiffFormat::Text}, {"jsonl", DiffFormat::JsonLines}}};
    std::string m_output;
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareDiff(CLI::App& command, Complaint& complaint) {
    command.footer(kDiffFooter);
    return std::make_unique<DiffOptions>(command, complaint);
}
