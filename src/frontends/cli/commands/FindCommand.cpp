// The find command: the windows below the top-level windows whose class, id or text match; its
// options and help.
#include <algorithm>
#include <charconv>
#include <map>
#include <numeric>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/Deadline.h"
#include "cli/WalkRows.h"
#include "cli/commands/CommandTable.h"
#include "cli/commands/FindDocument.h"
#include "core/ExitCodes.h"
#include "documents/Cells.h"
#include "documents/HeadlessTable.h"
#include "documents/JsonText.h"
#include "documents/Output.h"
#include "extraction/ChildWalk.h"
#include "finding/ControlPath.h"
#include "finding/Selection.h"
#include "finding/ShownText.h"
#include "items/ItemsReader.h"

namespace {

// The walk's windows below its first one, each compared once its text is known: a window whose
// text did not come in time waits for the walk's end, where it may have been read again. Counts
// the lists among them that draw their items themselves and keep no texts.
class Comparer final : public WalkRows {
public:
    Comparer(const FindRequest& request, RemoteItems& items, WindowSystem& windows)
        : m_criteria(request.criteria),
          m_searchItems(request.items),
          m_items(items),
          m_windows(windows) {}

    void WindowWalked(const WalkedWindow& walked) override {
        RowWalked(walked);
        FoundWindow window{walked.row,  walked.window, TakeClassName(), walked.controlId,
                           TakeText(),  walked.path,   walked.pathCut,  {},
                           std::nullopt};
        if (m_searchItems && walked.status != TextReadStatus::TimedOut) {
            SearchItems(window);
        }
        if (walked.depth == 0) {
            return;  // the children are searched, and the window's own items
        }
        const std::optional<ItemsKind> kind = ItemsKindOfClass(window.className);
        m_textlessLists += kind && KeepsNoTexts(walked.window, *kind, m_items) ? 1 : 0;
        NoteStatus(walked);
        if (walked.status == TextReadStatus::TimedOut) {
            m_waiting.push_back(std::move(window));
        } else {
            Compare(std::move(window));
        }
    }
    void WindowReadAgain(const WalkedWindow& walked) override { NoteStatus(walked); }

    // Adds the windows whose text was not read whole, as the walk left them, to tally.
    void CountUnread(DumpTally& tally) const {
        for (const auto& [row, status] : m_unread) {
            tally.timedOut += status == TextReadStatus::TimedOut ? 1 : 0;
            tally.denied += status == TextReadStatus::Denied ? 1 : 0;
            tally.cut += status == TextReadStatus::Cut ? 1 : 0;
        }
    }

    // The lists below the walk's first window whose items keep no texts to search.
    [[nodiscard]] std::size_t TextlessLists() const noexcept { return m_textlessLists; }

    // The windows that matched, in the walk's order; the walk is over.
    std::vector<FoundWindow> Found() {
        for (FoundWindow& window : m_waiting) {
            Compare(std::move(window));
        }
        m_waiting.clear();
        std::stable_sort(m_found.begin(), m_found.end(),
                         [](const FoundWindow& a, const FoundWindow& b) { return a.row < b.row; });
        return std::move(m_found);
    }

private:
    // A text that was not read whole may hold a match that the search cannot see.
    void NoteStatus(const WalkedWindow& walked) {
        const TextReadStatus status = walked.status;
        if (walked.depth > 0 &&
            (status == TextReadStatus::TimedOut || status == TextReadStatus::Denied ||
             status == TextReadStatus::Cut)) {
            m_unread[walked.row] = status;
        } else {
            m_unread.erase(walked.row);
        }
    }

    void TextReadAgain(std::size_t row, Text text) override {
        const auto waiting =
            std::find_if(m_waiting.begin(), m_waiting.end(),
                         [row](const FoundWindow& window) { return window.row == row; });
        if (waiting != m_waiting.end()) {
            waiting->text = std::move(text);
        }
    }

    void Compare(FoundWindow window) {
        // Only a text with an "&" may show otherwise, and only a static's style may say not.
        const std::uint32_t style =
            window.text.find(u'&') != Text::npos ? m_windows.Style(window.handle) : 0;
        window.shown = ShownTextOf(window.className, style, window.text);
        const std::optional<TextView> shown =
            window.shown ? std::optional<TextView>(*window.shown) : std::nullopt;
        if (m_criteria.Matches(window.className, window.controlId, window.text, shown)) {
            m_found.push_back(std::move(window));
        }
    }

    // Each item of the window's that matches is found apart, with its index and depth.
    void SearchItems(const FoundWindow& window) {
        const std::optional<ItemsKind> kind =
            ItemsKindOfWindow(window.handle, window.className, m_items);
        if (!kind) {
            return;
        }
        const ItemsTable table = ReadItems(window.handle, *kind, m_items);
        for (std::size_t row = 0; row < table.Rows(); ++row) {
            for (const std::size_t column : SearchedColumns(table)) {
                const TextView cell = table.Cell(row, column);
                if (!cell.empty() && m_criteria.Matches(window.className, window.controlId, cell)) {
                    FoundWindow found = window;
                    found.item = FoundItem{row, table.Depth(row), Text(cell)};
                    m_found.push_back(std::move(found));
                    break;
                }
            }
        }
    }

    // The columns that hold what an item says: an accessible node's name and value, a menu item's
    // text, every column of the other kinds; not the states.
    static std::vector<std::size_t> SearchedColumns(const ItemsTable& table) {
        switch (table.Kind()) {
            case ItemsKind::Accessible:
                return {kAccessibleNameColumn, kAccessibleValueColumn};
            case ItemsKind::Menu:
                return {0};
            default:
                break;
        }
        std::vector<std::size_t> columns(table.Columns());
        std::iota(columns.begin(), columns.end(), std::size_t{0});
        return columns;
    }

    const FindCriteria& m_criteria;
    bool m_searchItems;
    RemoteItems& m_items;
    WindowSystem& m_windows;
    std::size_t m_textlessLists = 0;
    std::map<std::size_t, TextReadStatus> m_unread;  // by row
    std::vector<FoundWindow> m_waiting;
    std::vector<FoundWindow> m_found;
};

}  // namespace

int RunFind(const FindRequest& request, CliServices& services, Reporter& reporter) {
    std::vector<SearchedWindow> searched;
    if (request.selector) {
        const SelectedWindow selected =
            SelectOneWindow(*request.selector, request.all, request.first, "searches the first",
                            services.windows, services.details, services.console, reporter);
        if (selected.exitCode != ExitCode::kDone) {
            return selected.exitCode;
        }
        const WindowHandle window = selected.window;
        searched.push_back({window, services.windows.Title(window, kFullTitleCapacity), {}});
    } else {
        for (TopLevelWindow& window : DesktopWindows(services.windows, reporter, request.all)) {
            searched.push_back({window.handle, std::move(window.title), {}});
        }
    }
    Output output(services.console, services.files, request.output);
    Deadline deadline(services.now, request.deadline);
    DumpTally tally;
    DumpTally unread;  // the texts not read whole, which a match may hide in
    std::size_t walked = 0;
    std::size_t textlessLists = 0;
    for (SearchedWindow& top : searched) {
        if (!deadline.AllowsMore()) {
            break;
        }
        ++walked;
        Comparer comparer(request, services.items, services.windows);
        WalkOptions options;
        options.keepGoing = [&deadline] { return deadline.AllowsMore(); };
        options.observer = &comparer;
        options.details = &services.details;
        WalkWindowTree(top.handle, comparer, services.windows, reporter, options);
        top.found = comparer.Found();
        comparer.CountUnread(unread);
        textlessLists += comparer.TextlessLists();
        tally.windows += top.found.size();
    }
    tally.deadlineReached = deadline.Reached();
    // Only the windows searched before the deadline count.
    searched.resize(walked);
    output.Write(FindDocument(searched, request.format, request.items, tally.deadlineReached,
                              textlessLists));
    if (tally.windows == 0 && !tally.deadlineReached) {
        output.Finish();
        std::string said = std::string(kMessagePrefix) + "no window below " +
                           std::to_string(searched.size()) +
                           (searched.size() == 1 ? " top-level window" : " top-level windows") +
                           " matches " + request.described;
        // A text the search could not read whole may be the one sought: no match is not sure.
        if (const std::string missing = MissingInWords(unread); !missing.empty()) {
            services.console.Error(said + " among the texts read: " + missing + "\n");
            return ExitCode::kIncomplete;
        }
        services.console.Error(said + "\n");
        return ExitCode::kNoMatch;
    }
    return Finished(output, tally, services.console);
}

namespace {

constexpr char kFindFooter[] =
    "--text, --text-contains, --class and --id may be combined: a window must match each. With\n"
    "--regex, --text and --text-contains are ECMAScript regular expressions (--text matches the\n"
    "whole text), without back-references or lookaround, run in one pass over each text;\n"
    "--ignore-case applies to them. A button's, static's, tab control's, header's or menu's\n"
    "text matches as written (\"Add appli&cation...\") and as shown (\"Add application...\":\n"
    "a lone & underlines the next letter, && shows as &). The path of each window found works "
    "with\n"
    "dump's --path, from the top-level window listed beside it.\n"
    "Exit codes: 0 found; 1 usage error, or the output cannot be written; 2 no window matched\n"
    "(or none has the selector); 3 the selector matched more than one window; 4 --deadline\n"
    "ended the search: what was found by then is written; or no window matched while some\n"
    "texts were not read whole (the message says which).\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli find --text OK --class Button\n"
    "  tessivane-cli find --title \"Untitled - Notepad\" --class Edit -f json\n"
    "  tessivane-cli find --text-contains \"^total: \\d+\" --regex --ignore-case -f csv\n"
    "  tessivane-cli find --title \"Registry Editor\" --items --text-contains Software";

// A control id: a whole number, as the system keeps it.
bool IsControlId(const std::string& value) {
    std::int64_t number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    return error == std::errc() && stop == end;
}

class FindOptions final : public CommandOptions {
public:
    FindOptions(CLI::App& command, Complaint& complaint) {
        m_selector.AddTo(command, complaint,
                         "Where to search: at most one of these (text is matched exactly); "
                         "without one, inside every window of the window list",
                         "--window-class", false);
        command.add_flag("--all", m_all,
                         "Search every top-level window, or let the selector find owned, "
                         "untitled and hidden ones too");
        command.add_flag("--first", m_first,
                         "When the selector matches several windows, search the first");
        command.add_option("--text", m_wholeText, "Windows whose whole text is this")
            ->option_text("TEXT");
        command.add_option("--text-contains", m_textPart, "Windows whose text holds this")
            ->option_text("TEXT");
        command
            .add_option("--class", m_className,
                        "Windows of this class (case does not matter, as for the system)")
            ->option_text("NAME");
        command.add_option("--id", m_controlId, "Windows with this control id")
            ->check(Checked(IsControlId, "--id", "a whole number", complaint))
            ->option_text("ID");
        command.add_flag("--ignore-case", m_ignoreCase,
                         "Match --text and --text-contains whatever the case, as Find does");
        command.add_flag("--regex", m_regex,
                         "--text and --text-contains are ECMAScript regular expressions");
        command.add_flag("--items", m_items,
                         "Search the items of the controls that have them too: list and tree "
                         "rows, list view cells, console lines, menu items, and the names and "
                         "values of the accessible objects of windows that draw their own "
                         "controls; each item found is named with its index and depth");
        m_format.AddTo(command, " (table, aligned, is the default)", complaint);
        AddOutput(command, m_output);
        AddDeadline(command, m_deadlineMs, complaint);
    }

    std::string Problem(const CLI::App&) const override { return m_selector.Problem("find"); }

    RequestOrProblem Request(const CLI::App& command) const override {
        FindRequest request;
        request.all = m_all;
        request.first = m_first;
        request.items = m_items;
        request.format = m_format.Chosen(request.format);
        request.output = Utf8ToText(m_output);
        request.deadline = DeadlineOf(m_deadlineMs);
        if (m_selector.Given()) {
            request.selector = m_selector.Selected();
        }
        std::vector<std::string> described;
        if (std::string problem = Criteria(command, request.criteria, described);
            !problem.empty()) {
            return problem;
        }
        for (const std::string& part : described) {
            request.described += (request.described.empty() ? "" : " ") + part;
        }
        return request;
    }

private:
    // Fills criteria from the options given, each described as the command line gave it; answers
    // what is wrong with them, or nothing.
    std::string Criteria(const CLI::App& command, FindCriteria& criteria,
                         std::vector<std::string>& described) const {
        const auto matching = [&](const std::string& option, const std::string& value,
                                  TextMatch::Extent extent, std::optional<TextMatch>& match) {
            if (command.count(option) == 0) {
                return std::string();
            }
            described.push_back(option + " \"" + value + "\"");
            try {
                match.emplace(Utf8ToText(value), TextMatch::Options{extent, m_ignoreCase, m_regex});
            } catch (const PatternError& error) {
                return option + " \"" + value + "\" is not a regular expression: " + error.what();
            }
            return std::string();
        };
        for (const std::string& problem :
             {matching("--text", m_wholeText, TextMatch::Extent::Whole, criteria.wholeText),
              matching("--text-contains", m_textPart, TextMatch::Extent::Part,
                       criteria.textPart)}) {
            if (!problem.empty()) {
                return problem;
            }
        }
        if (command.count("--class") > 0) {
            criteria.className = Utf8ToText(m_className);
            described.push_back("--class \"" + m_className + "\"");
        }
        if (command.count("--id") > 0) {
            criteria.controlId = std::stoll(m_controlId);
            described.push_back("--id " + m_controlId);
        }
        if (described.empty()) {
            return "find needs at least one of --text, --text-contains, --class or --id";
        }
        for (const char* flag : {"--ignore-case", "--regex"}) {
            if (command.count(flag) > 0) {
                described.emplace_back(flag);
            }
        }
        return {};
    }

    SelectorOptions m_selector;
    bool m_all = false;
    bool m_first = false;
    std::string m_wholeText;
    std::string m_textPart;
    std::string m_className;
    std::string m_controlId;
    bool m_ignoreCase = false;
    bool m_regex = false;
    bool m_items = false;
    FormatOption<ListFormat> m_format = WindowListFormats();
    std::string m_output;
    int m_deadlineMs = 0;
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareFind(CLI::App& command, Complaint& complaint) {
    command.footer(kFindFooter);
    return std::make_unique<FindOptions>(command, complaint);
}
