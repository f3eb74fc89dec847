// The find command: the windows below the top-level windows whose class, id or text match.
#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/Deadline.h"
#include "cli/WalkRows.h"
#include "core/ExitCodes.h"
#include "documents/Cells.h"
#include "documents/HeadlessTable.h"
#include "documents/JsonText.h"
#include "documents/Output.h"
#include "extraction/ChildWalk.h"
#include "finding/Selection.h"
#include "items/ItemsReader.h"

namespace {

struct FoundWindow {
    std::size_t row = 0;  // in its walk
    WindowHandle handle = 0;
    Text className;
    std::int64_t controlId = 0;
    Text text;
    Text path;
};

struct SearchedWindow {
    WindowHandle handle = 0;
    Text title;
    std::vector<FoundWindow> found;
};

// The walk's windows below its first one, each compared once its text is known: a window whose
// text did not come in time waits for the walk's end, where it may have been read again. Counts
// the lists among them that draw their items themselves and keep no texts.
class Comparer final : public WalkRows {
public:
    Comparer(const FindCriteria& criteria, RemoteItems& items)
        : m_criteria(criteria), m_items(items) {}

    void WindowWalked(const WalkedWindow& walked) override {
        RowWalked(walked);
        if (walked.depth == 0) {
            return;  // the children are searched, not the window itself
        }
        FoundWindow window{walked.row,       walked.window, TakeClassName(),
                           walked.controlId, TakeText(),    walked.path};
        const std::optional<ItemsKind> kind = ItemsKindOfClass(window.className);
        m_textlessLists += kind && KeepsNoTexts(walked.window, *kind, m_items) ? 1 : 0;
        if (walked.status == TextReadStatus::TimedOut) {
            m_waiting.push_back(std::move(window));
        } else {
            Compare(std::move(window));
        }
    }
    void WindowReadAgain(const WalkedWindow&) override {}

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
    void TextReadAgain(std::size_t row, Text text) override {
        const auto waiting =
            std::find_if(m_waiting.begin(), m_waiting.end(),
                         [row](const FoundWindow& window) { return window.row == row; });
        if (waiting != m_waiting.end()) {
            waiting->text = std::move(text);
        }
    }

    void Compare(FoundWindow window) {
        if (m_criteria.Matches(window.className, window.controlId, window.text)) {
            m_found.push_back(std::move(window));
        }
    }

    const FindCriteria& m_criteria;
    RemoteItems& m_items;
    std::size_t m_textlessLists = 0;
    std::vector<FoundWindow> m_waiting;
    std::vector<FoundWindow> m_found;
};

std::vector<std::string> Cells(const SearchedWindow& top, const FoundWindow& window) {
    return {TextToUtf8(DecimalText(top.handle)),
            TextToUtf8(top.title),
            TextToUtf8(DecimalText(window.handle)),
            HexHandle(window.handle),
            TextToUtf8(window.className),
            std::to_string(window.controlId),
            TextToUtf8(window.path),
            TextToUtf8(window.text)};
}

// The members of a window found, as the JSON document and the JSON lines write them.
void AddFoundMembers(Json& object, const SearchedWindow& top, const FoundWindow& window) {
    object["topLevel"] = top.handle;
    object["topLevelTitle"] = JsonString(top.title);
    object["handle"] = window.handle;
    object["handleHex"] = HexHandle(window.handle);
    object["class"] = JsonString(window.className);
    object["controlId"] = window.controlId;
    object["path"] = JsonString(window.path);
    object["text"] = JsonString(window.text);
}

// What the search could not look into: "2 owner-drawn lists keep no texts: their items were not
// searched."; empty when there is none.
std::string TextlessListsNote(std::size_t lists) {
    if (lists == 0) {
        return {};
    }
    return std::to_string(lists) +
           (lists == 1 ? " owner-drawn list keeps no texts: its items were not searched.\r\n"
                       : " owner-drawn lists keep no texts: their items were not searched.\r\n");
}

std::string Document(const std::vector<SearchedWindow>& searched, ListFormat format,
                     bool deadlineReached, std::size_t textlessLists) {
    std::string text;
    std::vector<std::vector<std::string>> rows;
    Json document = DocumentHead();
    Json& matches = document["matches"] = Json::array();
    for (const SearchedWindow& top : searched) {
        for (const FoundWindow& window : top.found) {
            rows.push_back(Cells(top, window));
            if (format == ListFormat::JsonLines) {
                Json line = WindowLineHead();
                AddFoundMembers(line, top, window);
                text += JsonText(line) + "\n";
            } else {
                AddFoundMembers(matches.emplace_back(), top, window);
            }
        }
    }
    switch (format) {
        case ListFormat::Json:
            document["searched"] = searched.size();
            document["textlessLists"] = textlessLists;
            document["deadline"] = deadlineReached;
            return JsonText(document) + "\n";
        case ListFormat::JsonLines: {
            Json summary = SummaryLineHead();
            summary["searched"] = searched.size();
            summary["matches"] = rows.size();
            summary["textlessLists"] = textlessLists;
            summary["deadline"] = deadlineReached;
            return text + JsonText(summary) + "\n";
        }
        case ListFormat::Table: {
            const std::vector<TextView> captions{u"Top-level", u"Title", u"Handle", u"Hex",
                                                 u"Class",     u"Id",    u"Path",   u"Text"};
            return AlignedTable(captions, rows) + TextlessListsNote(textlessLists);
        }
        case ListFormat::Csv:
        case ListFormat::Tsv:
            break;
    }
    const CellFormat cells = format == ListFormat::Csv ? CellFormat::Csv : CellFormat::Tsv;
    AppendLine(text,
               std::vector<std::string>{"topLevel", "topLevelTitle", "handle", "handleHex", "class",
                                        "controlId", "path", "text"},
               cells);
    for (const std::vector<std::string>& row : rows) {
        AppendLine(text, row, cells);
    }
    return text;
}

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
    std::size_t walked = 0;
    std::size_t textlessLists = 0;
    for (SearchedWindow& top : searched) {
        if (!deadline.AllowsMore()) {
            break;
        }
        ++walked;
        Comparer comparer(request.criteria, services.items);
        WalkOptions options;
        options.keepGoing = [&deadline] { return deadline.AllowsMore(); };
        options.observer = &comparer;
        options.details = &services.details;
        WalkWindowTree(top.handle, comparer, services.windows, reporter, options);
        top.found = comparer.Found();
        textlessLists += comparer.TextlessLists();
        tally.windows += top.found.size();
    }
    tally.deadlineReached = deadline.Reached();
    // Only the windows searched before the deadline count.
    searched.resize(walked);
    output.Write(Document(searched, request.format, tally.deadlineReached, textlessLists));
    if (tally.windows == 0 && !tally.deadlineReached) {
        output.Finish();
        services.console.Error(std::string(kMessagePrefix) + "no window below " +
                               std::to_string(searched.size()) +
                               (searched.size() == 1 ? " top-level window" : " top-level windows") +
                               " matches " + request.described + "\n");
        return ExitCode::kNoMatch;
    }
    return Finished(output, tally, services.console);
}
