// The list command: the desktop's top-level windows with their programs; its options and help.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Deadline.h"
#include "cli/commands/CommandTable.h"
#include "core/ExitCodes.h"
#include "documents/Cells.h"
#include "documents/HeadlessTable.h"
#include "documents/JsonText.h"
#include "documents/Output.h"
#include "extraction/ChildWalk.h"
#include "finding/Selection.h"

namespace {

struct ListedWindow {
    WindowHandle handle = 0;
    Text className;
    Text title;
    std::uint32_t processId = 0;
    Text image;
    bool visible = false;
    WindowHandle owner = 0;
    NotListed notListed;
};

// Why the window list leaves the window out, in words: "untitled hidden owned", or none.
std::vector<std::string> Reasons(const NotListed& notListed) {
    std::vector<std::string> reasons;
    if (notListed.untitled) {
        reasons.emplace_back("untitled");
    }
    if (notListed.hidden) {
        reasons.emplace_back("hidden");
    }
    if (notListed.owned) {
        reasons.emplace_back("owned");
    }
    return reasons;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

// Reads the windows in Z order while keepGoing says so, handing each on as soon as it is read.
void ListWindows(bool all, CliServices& services, Reporter& reporter,
                 const std::function<bool()>& keepGoing,
                 const std::function<void(ListedWindow&&)>& take) {
    std::map<std::uint32_t, Text> images;
    for (TopLevelWindow& window : DesktopWindows(services.windows, reporter, all)) {
        if (!keepGoing()) {
            return;
        }
        const WindowHandle handle = window.handle;
        const std::uint32_t processId = services.details.ProcessOf(handle);
        const auto image = images.try_emplace(processId);
        if (image.second) {
            image.first->second = services.details.ImageName(processId);
        }
        take({handle, services.windows.ClassName(handle, kClassNameCapacity),
              std::move(window.title), processId, image.first->second,
              services.windows.IsVisible(handle), services.windows.Related(handle, Relation::Owner),
              window.notListed});
    }
}

// The cells of one window as the delimited and table formats write them.
std::vector<std::string> Cells(const ListedWindow& window, bool all, const char* yes,
                               const char* no) {
    std::vector<std::string> cells{TextToUtf8(DecimalText(window.handle)),
                                   HexHandle(window.handle),
                                   TextToUtf8(window.className),
                                   TextToUtf8(window.title),
                                   std::to_string(window.processId),
                                   TextToUtf8(window.image),
                                   window.visible ? yes : no,
                                   window.owner == 0 ? "" : TextToUtf8(DecimalText(window.owner))};
    if (all) {
        cells.push_back(Joined(Reasons(window.notListed)));
    }
    return cells;
}

// The window's members, as the JSON list and the JSON lines both write them.
void AddListedMembers(Json& object, const ListedWindow& window, bool all) {
    object["handle"] = window.handle;
    object["handleHex"] = HexHandle(window.handle);
    object["class"] = JsonString(window.className);
    object["title"] = JsonString(window.title);
    object["processId"] = window.processId;
    object["image"] = JsonString(window.image);
    object["visible"] = window.visible;
    object["owner"] = window.owner == 0 ? Json(nullptr) : Json(window.owner);
    if (all) {
        object["notListedBecause"] = Reasons(window.notListed);
    }
}

// How the listing went, as the JSON list's summary and the JSON lines' last line write it.
void AddListSummaryMembers(Json& summary, const DumpTally& tally) {
    summary["windows"] = tally.windows;
    summary["deadline"] = tally.deadlineReached;
    summary["complete"] = DumpExitCode(tally) == ExitCode::kDone;
}

std::string JsonList(const std::vector<ListedWindow>& windows, bool all, const DumpTally& tally) {
    Json document = DocumentHead();
    Json& list = document["windows"] = Json::array();
    for (const ListedWindow& window : windows) {
        AddListedMembers(list.emplace_back(), window, all);
    }
    AddListSummaryMembers(document["summary"], tally);
    return JsonText(document) + "\n";
}

std::string DelimitedList(const std::vector<ListedWindow>& windows, bool all, CellFormat format) {
    std::vector<std::string> header{"handle",    "handleHex", "class",   "title",
                                    "processId", "image",     "visible", "owner"};
    if (all) {
        header.emplace_back("notListedBecause");
    }
    std::string text;
    AppendLine(text, header, format);
    for (const ListedWindow& window : windows) {
        AppendLine(text, Cells(window, all, "true", "false"), format);
    }
    return text;
}

// Aligned columns under a line of captions, as the results list's copy aligns its rows.
std::string TableList(const std::vector<ListedWindow>& windows, bool all) {
    std::vector<TextView> captions{u"Handle", u"Hex",   u"Class",   u"Title",
                                   u"PID",    u"Image", u"Visible", u"Owner"};
    if (all) {
        captions.emplace_back(u"Not listed because");
    }
    std::vector<std::vector<std::string>> rows;
    for (const ListedWindow& window : windows) {
        rows.push_back(Cells(window, all, "yes", "no"));
    }
    return AlignedTable(captions, rows);
}

}  // namespace

int RunList(const ListRequest& request, CliServices& services, Reporter& reporter) {
    Deadline deadline(services.now, request.deadline);
    Output output(services.console, services.files, {});
    const bool lines = request.format == ListFormat::JsonLines;
    std::vector<ListedWindow> windows;
    DumpTally tally;
    ListWindows(
        request.all, services, reporter,
        [&output, &deadline] { return !output.Failed() && deadline.AllowsMore(); },
        [&](ListedWindow&& window) {
            ++tally.windows;
            if (lines) {
                Json line = WindowLineHead();
                AddListedMembers(line, window, request.all);
                output.Write(JsonText(line) + "\n");
            } else {
                windows.push_back(std::move(window));
            }
        });
    tally.deadlineReached = deadline.Reached();
    switch (request.format) {
        case ListFormat::Json:
            output.Write(JsonList(windows, request.all, tally));
            break;
        case ListFormat::JsonLines: {
            Json line = SummaryLineHead();
            AddListSummaryMembers(line, tally);
            output.Write(JsonText(line) + "\n");
            break;
        }
        case ListFormat::Csv:
            output.Write(DelimitedList(windows, request.all, CellFormat::Csv));
            break;
        case ListFormat::Tsv:
            output.Write(DelimitedList(windows, request.all, CellFormat::Tsv));
            break;
        case ListFormat::Table:
            output.Write(TableList(windows, request.all));
            break;
    }
    return Finished(output, tally, services.console);
}

namespace {

constexpr char kListFooter[] =
    "Exit codes: 0 done (also when the reader of a pipe stops early); 1 usage error, or the\n"
    "output cannot be written; 4 --deadline ended the list before its end.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli list\n"
    "  tessivane-cli list --all -f json\n"
    "  tessivane-cli list -f jsonl --deadline 2000 > windows.jsonl";

class ListOptions final : public CommandOptions {
public:
    ListOptions(CLI::App& command, Complaint& complaint) {
        command.add_flag("--all", m_all,
                         "Every top-level window: owned ones (dialogs, message boxes), untitled "
                         "and hidden ones too, each with why the window list leaves it out");
        m_format.AddTo(command,
                       ": table (aligned) is the default; jsonl writes a JSON object a line, a "
                       "window's as it is read, then the summary",
                       complaint);
        AddDeadline(command, m_deadlineMs, complaint);
    }

    RequestOrProblem Request(const CLI::App&) const override {
        ListRequest request;
        request.all = m_all;
        request.format = m_format.Chosen(request.format);
        request.deadline = DeadlineOf(m_deadlineMs);
        return request;
    }

private:
    bool m_all = false;
    FormatOption<ListFormat> m_format = WindowListFormats();
    int m_deadlineMs = 0;
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareList(CLI::App& command, Complaint& complaint) {
    command.footer(kListFooter);
    return std::make_unique<ListOptions>(command, complaint);
}
