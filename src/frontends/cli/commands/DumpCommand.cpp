// The dump command: the selected window's tree, written as the walk goes; its options and help.
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/Deadline.h"
#include "cli/DumpWalk.h"
#include "cli/WalkRows.h"
#include "cli/commands/CommandTable.h"
#include "core/ExitCodes.h"
#include "core/Failure.h"
#include "documents/DumpWriters.h"
#include "documents/HeadlessTable.h"
#include "documents/Output.h"
#include "extraction/ChildWalk.h"
#include "finding/ControlPath.h"
#include "finding/ControlPaths.h"
#include "finding/Selection.h"
#include "items/ItemsReader.h"

namespace {

WindowStatus StatusOf(TextReadStatus status) {
    switch (status) {
        case TextReadStatus::TimedOut:
            return WindowStatus::TimedOut;
        case TextReadStatus::Cut:
            return WindowStatus::Cut;
        case TextReadStatus::Changing:
            return WindowStatus::Changing;
        case TextReadStatus::Denied:
            return WindowStatus::Denied;
        case TextReadStatus::Read:
            break;
    }
    return WindowStatus::Read;
}

// Hands the reports on and counts them, for the dump's exit code.
class CountingReporter final : public Reporter {
public:
    explicit CountingReporter(Reporter& reporter) noexcept : m_reporter(reporter) {}

    void ReportFailure(TextView location, int line, const Text& description) override {
        ++m_count;
        m_reporter.ReportFailure(location, line, description);
    }
    [[nodiscard]] std::size_t Count() const noexcept { return m_count; }

private:
    Reporter& m_reporter;
    std::size_t m_count = 0;
};

// A list whose items came without texts: it keeps none, or gave none for any row.
bool Textless(ItemsStatus status) {
    return status == ItemsStatus::NoTexts || status == ItemsStatus::NoText;
}

// What no read can give is not missing: a textless list's texts, another program's menus on a
// system that keeps them from this one.
bool ItemsIncomplete(ItemsStatus status) {
    return status != ItemsStatus::Read && !Textless(status) && status != ItemsStatus::NotReadable;
}

// A walked window with all that is written of it, held while an earlier window's text may still
// come: what the window's views show is kept beside it, and they are pointed at it when it is
// written.
struct WalkedEntry {
    DumpedWindow window;
    Text path;
    Text className;
    Text text;
    std::optional<ItemsTable> items;
};

// The walk's rows, one at a time: each window is written out once its row is complete, with its
// place in the tree, its state and its items, and then forgotten. From the first window whose
// text did not come in time on, windows are held until the walk has asked those again, so that
// they come out in the walk's order with the texts read then.
class StreamedWindows final : public WalkRows {
public:
    StreamedWindows(DumpWriter& writer, CliServices& services, bool withItems)
        : m_writer(writer), m_services(services), m_withItems(withItems) {}

    void WindowWalked(const WalkedWindow& walked) override {
        RowWalked(walked);
        WalkedEntry entry;
        DumpedWindow& window = entry.window;
        window.handle = walked.window;
        window.parent = walked.parent;
        window.depth = walked.depth;
        window.resource = walked.resource;
        entry.path = walked.path;
        window.pathCut = walked.pathCut;
        entry.className = TakeClassName();
        entry.text = TakeText();
        window.facts = m_services.details.FactsWithId(walked.window, walked.controlId);
        window.status = window.facts ? StatusOf(walked.status) : WindowStatus::Gone;
        window.visible = Visible(walked, window.facts);
        const std::optional<ItemsKind> kind =
            m_withItems && window.facts
                ? ItemsKindOfWindow(walked.window, entry.className, m_services.items)
                : std::nullopt;
        if (kind) {
            entry.items = ReadItems(walked.window, *kind, m_services.items);
        }
        if (m_held.empty() && window.status != WindowStatus::TimedOut) {
            Write(entry);
            return;
        }
        if (m_held.empty()) {
            m_firstHeldRow = walked.row;
        }
        m_held.push_back(std::move(entry));
    }

    void WindowReadAgain(const WalkedWindow& walked) override {
        DumpedWindow& window = Held(walked.row).window;
        window.resource = walked.resource;
        window.status = window.facts ? StatusOf(walked.status) : WindowStatus::Gone;
    }

    // Writes the windows held back; the walk is over.
    void WriteHeld() {
        for (WalkedEntry& entry : m_held) {
            Write(entry);
        }
        m_held.clear();
    }

    [[nodiscard]] DumpTally& Tally() noexcept { return m_tally; }

private:
    void TextReadAgain(std::size_t row, Text text) override { Held(row).text = std::move(text); }

    WalkedEntry& Held(std::size_t row) {
        if (row < m_firstHeldRow || row - m_firstHeldRow >= m_held.size()) {
            throw Failure(u"Only the text of a window not written yet can be set again.");
        }
        return m_held[row - m_firstHeldRow];
    }

    void Write(WalkedEntry& entry) {
        DumpedWindow& window = entry.window;
        window.path = entry.path;
        window.className = entry.className;
        window.text = entry.text;
        // Only a text with an "&" may show otherwise, and only a static's style may say not.
        window.style =
            entry.text.find(u'&') != Text::npos ? m_services.windows.Style(window.handle) : 0;
        if (entry.items) {
            window.items = &*entry.items;
            m_tally.itemsIncomplete += ItemsIncomplete(entry.items->status) ? 1 : 0;
            m_tally.textlessLists += Textless(entry.items->status) ? 1 : 0;
        }
        ++m_tally.windows;
        m_tally.timedOut += window.status == WindowStatus::TimedOut ? 1 : 0;
        m_tally.cut += window.status == WindowStatus::Cut ? 1 : 0;
        m_tally.changing += window.status == WindowStatus::Changing ? 1 : 0;
        m_tally.gone += window.status == WindowStatus::Gone ? 1 : 0;
        m_tally.denied += window.status == WindowStatus::Denied ? 1 : 0;
        m_writer.Window(window);
    }

    // Shown when its own style says so and its parent shows; the first window asks the system,
    // which looks at all its parents.
    bool Visible(const WalkedWindow& walked, const std::optional<WindowFacts>& facts) {
        const auto depth = static_cast<std::size_t>(walked.depth);
        m_visibleAt.resize(depth + 1);
        const bool shown =
            facts && facts->visibleStyle &&
            (depth == 0 ? m_services.windows.IsVisible(walked.window) : m_visibleAt[depth - 1]);
        m_visibleAt[depth] = shown;
        return shown;
    }

    DumpWriter& m_writer;
    CliServices& m_services;
    bool m_withItems;
    std::vector<bool> m_visibleAt;
    std::vector<WalkedEntry> m_held;
    std::size_t m_firstHeldRow = 0;
    DumpTally m_tally;
};

std::unique_ptr<DumpWriter> MakeDumpWriter(const DumpRequest& request, Output& output) {
    switch (request.format) {
        case DumpFormat::Json:
            return MakeJsonDumpWriter(output);
        case DumpFormat::JsonLines:
            return MakeJsonLinesDumpWriter(output);
        case DumpFormat::Csv:
            return MakeDelimitedDumpWriter(output, CellFormat::Csv, request.items);
        case DumpFormat::Tsv:
        case DumpFormat::Text:
            break;
    }
    return MakeDelimitedDumpWriter(output, CellFormat::Tsv, request.items);
}

// The walk's options for the request: it stops once the output's reader has gone or it failed,
// or once the deadline has passed.
WalkOptions WalkOptionsOf(const DumpRequest& request, const Output& output, Deadline& deadline) {
    WalkOptions options;
    options.keepGoing = [&output, &deadline] { return !output.Failed() && deadline.AllowsMore(); };
    options.maxDepth = request.maxDepth;
    return options;
}

DumpTally DumpStreamed(const PathMatch& root, const DumpRequest& request, Output& output,
                       CliServices& services, CountingReporter& reporter, Deadline& deadline) {
    const std::unique_ptr<DumpWriter> writer = MakeDumpWriter(request, output);
    DumpTally tally = WalkIntoWriter(root, *writer, request.items,
                                     WalkOptionsOf(request, output, deadline), services, reporter);
    tally.failedSteps = reporter.Count();
    tally.deadlineReached = deadline.Reached();
    writer->End(tally);
    return tally;
}

// The results list's rows and their aligned text: the whole tree is held, for the columns'
// widths.
DumpTally DumpAsText(WindowHandle root, const DumpRequest& request, Output& output,
                     CliServices& services, CountingReporter& reporter, Deadline& deadline) {
    HeadlessDisplay display;
    RowTable table(display);
    for (const TextView header : {u"Class Name", u"Handle", u"Text"}) {
        table.AppendColumn(Text(header));
    }
    const WalkSummary summary = WalkWindowTree(root, table, services.windows, reporter,
                                               WalkOptionsOf(request, output, deadline));
    output.Write(AlignedTextOfAllRows(table));
    DumpTally tally;
    tally.windows = summary.rows;
    tally.timedOut = summary.timedOut;
    tally.gone = summary.vanished;
    tally.denied = summary.denied;
    tally.cut = summary.cut;
    tally.changing = summary.changing;
    tally.rowLimitReached = summary.rowLimitReached;
    tally.failedSteps = reporter.Count();
    tally.deadlineReached = deadline.Reached();
    return tally;
}

}  // namespace

DumpTally WalkIntoWriter(const PathMatch& root, DumpWriter& writer, bool withItems,
                         WalkOptions options, CliServices& services, Reporter& reporter) {
    StreamedWindows windows(writer, services, withItems);
    options.observer = &windows;
    options.details = &services.details;
    options.firstPath = root.path;
    options.firstPathCut = root.pathCut;
    const WalkSummary summary =
        WalkWindowTree(root.window, windows, services.windows, reporter, options);
    windows.WriteHeld();
    DumpTally& tally = windows.Tally();
    tally.gone += summary.vanished;
    tally.rowLimitReached = summary.rowLimitReached;
    return tally;
}

std::variant<PathMatch, int> SelectTreeRoot(const Selector& selector, bool all, bool first,
                                            const std::optional<Text>& path,
                                            const std::string& firstDoes, CliServices& services,
                                            Reporter& reporter) {
    const SelectedWindow selected =
        SelectOneWindow(selector, all, first, firstDoes, services.windows, services.details,
                        services.console, reporter);
    if (selected.exitCode != ExitCode::kDone) {
        return selected.exitCode;
    }
    if (!path) {
        return PathMatch{selected.window, {}};
    }
    return ControlOnPath(selected.window, *path, first, firstDoes, services.windows,
                         services.details, services.console);
}

int RunDump(const DumpRequest& request, CliServices& services, Reporter& standardError) {
    Deadline deadline(services.now, request.deadline);
    CountingReporter reporter(standardError);
    const std::variant<PathMatch, int> selected =
        SelectTreeRoot(request.selector, request.all, request.first, request.path,
                       "dumps the first", services, reporter);
    if (const int* exitCode = std::get_if<int>(&selected)) {
        return *exitCode;
    }
    const PathMatch& root = std::get<PathMatch>(selected);
    Output output(services.console, services.files, request.output);
    const DumpTally tally =
        request.format == DumpFormat::Text
            ? DumpAsText(root.window, request, output, services, reporter, deadline)
            : DumpStreamed(root, request, output, services, reporter, deadline);
    return Finished(output, tally, services.console);
}

namespace {

constexpr char kDumpFooter[] =
    "Exit codes: 0 done (also when the reader of a pipe stops early, as head does); 1 usage\n"
    "error, or the output file cannot be written; 2 no window matched (or no control, on\n"
    "--path: the message names the first step that matched none); 3 the selector (or --path)\n"
    "matched more than one window (listed on standard error; --first takes the first); 4 done,\n"
    "but something is missing: windows or items that did not answer in time, vanished or were\n"
    "cut (their status says which), a step that failed (reported on standard error), or\n"
    "--deadline ended the dump; one line on standard error sums up what is missing.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli dump --title \"Untitled - Notepad\" -o notepad.json\n"
    "  tessivane-cli dump --class Notepad --items -f csv -o notepad.csv\n"
    "  tessivane-cli dump --handle 0x10086 --max-depth 1 -f text\n"
    "  tessivane-cli dump --title-contains Notepad -f jsonl --deadline 5000 | head -20\n"
    "  tessivane-cli dump --class Notepad --path Edit#15 -f text";

class DumpOptions final : public CommandOptions {
public:
    DumpOptions(CLI::App& command, Complaint& complaint) {
        m_tree.AddTo(command, complaint, "dump",
                     "Read each control's items too (list boxes, combo boxes, list views, "
                     "trees, tabs, headers, status bars, toolbars), a console window's lines "
                     "and a top-level window's menu; not with --format text");
        m_format.AddTo(command,
                       ": json (the default) nests the tree, jsonl writes a JSON object a line "
                       "(a window's with its parent and depth, then the summary), csv and tsv give "
                       "one row per window, text is the aligned text that Copy Results To "
                       "Clipboard makes",
                       complaint);
        AddOutput(command, m_output);
        AddTimeout(command, m_timeoutMs, complaint);
        command
            .add_option("--max-depth", m_maxDepth,
                        "Walk no deeper than this many levels below the window (0: the window "
                        "alone)")
            ->check(WholeNumber("--max-depth", 0, kMaxDepth, complaint))
            ->option_text("N");
        AddDeadline(command, m_deadlineMs, complaint);
    }

    std::string Problem(const CLI::App&) const override { return m_tree.selector.Problem("dump"); }

    RequestOrProblem Request(const CLI::App& command) const override {
        DumpRequest request;
        request.format = m_format.Chosen(request.format);
        if (m_tree.items && request.format == DumpFormat::Text) {
            std::vector<std::string> others = m_format.Names();
            std::erase(others, "text");
            return "--items needs --format " + Listed(others, " or ") +
                   ": the text format is the results list's aligned text";
        }
        request.selector = m_tree.selector.Selected();
        request.all = m_tree.all;
        request.first = m_tree.first;
        request.path = PathOf(command, m_tree.path);
        request.items = m_tree.items;
        request.output = Utf8ToText(m_output);
        request.timeout = std::chrono::milliseconds(m_timeoutMs);
        request.maxDepth = m_maxDepth;
        request.deadline = DeadlineOf(m_deadlineMs);
        return request;
    }

private:
    TreeOptions m_tree;
    FormatOption<DumpFormat> m_format{{{"json", DumpFormat::Json},
                                       {"jsonl", DumpFormat::JsonLines},
                                       {"csv", DumpFormat::Csv},
                                       {"tsv", DumpFormat::Tsv},
                                       {"text", DumpFormat::Text}}};
    std::string m_output;
    int m_timeoutMs = static_cast<int>(kTextMessageTimeout.count());
    int m_maxDepth = kNoDepthLimit;
    int m_deadlineMs = 0;
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareDump(CLI::App& command, Complaint& complaint) {
    command.footer(kDumpFooter);
    return std::make_unique<DumpOptions>(command, complaint);
}
