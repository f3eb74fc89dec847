// The dump's JSON and delimited formats.
#include "documents/DumpWriters.h"

#include <string>
#include <vector>

#include "core/ExitCodes.h"
#include "documents/JsonText.h"
#include "finding/HandleText.h"
#include "finding/ShownText.h"
#include "items/ItemsDelimited.h"

namespace {

// JSON's way of saying that a value does not exist: the first window's parent, a gone window's
// state.
const Json kNone = nullptr;
// Each nesting level of the JSON tree is indented by this many blanks more.
constexpr std::size_t kIndentPerLevel = 2;

const char* StatusName(WindowStatus status) {
    switch (status) {
        case WindowStatus::TimedOut:
            return "timedOut";
        case WindowStatus::Cut:
            return "cut";
        case WindowStatus::Changing:
            return "changing";
        case WindowStatus::Gone:
            return "gone";
        case WindowStatus::Denied:
            return "denied";
        case WindowStatus::Read:
            break;
    }
    return "read";
}

const char* KindName(ItemsKind kind) {
    switch (kind) {
        case ItemsKind::ComboBox:
            return "comboBox";
        case ItemsKind::ListView:
            return "listView";
        case ItemsKind::TreeView:
            return "treeView";
        case ItemsKind::Tab:
            return "tab";
        case ItemsKind::Header:
            return "header";
        case ItemsKind::StatusBar:
            return "statusBar";
        case ItemsKind::Console:
            return "console";
        case ItemsKind::Toolbar:
            return "toolbar";
        case ItemsKind::Menu:
            return "menu";
        case ItemsKind::Accessible:
            return "accessible";
        case ItemsKind::ListBox:
            break;
    }
    return "listBox";
}

const char* ItemsStatusName(ItemsStatus status) {
    switch (status) {
        case ItemsStatus::TimedOut:
            return "timedOut";
        case ItemsStatus::Gone:
            return "gone";
        case ItemsStatus::Changed:
            return "changed";
        case ItemsStatus::NoTexts:
            return "noTexts";
        case ItemsStatus::NoText:
            return "noText";
        case ItemsStatus::Capped:
            return "capped";
        case ItemsStatus::Denied:
            return "denied";
        case ItemsStatus::NotReadable:
            return "notReadable";
        case ItemsStatus::TooDeep:
            return "tooDeep";
        case ItemsStatus::Looped:
            return "looped";
        case ItemsStatus::Malformed:
            return "malformed";
        case ItemsStatus::Read:
            break;
    }
    return "read";
}

const char* Boolean(bool value) {
    return value ? "true" : "false";
}

Json ItemsObject(const ItemsTable& table) {
    Json items;
    items["kind"] = KindName(table.Kind());
    items["status"] = ItemsStatusName(table.status);
    items["claimed"] = table.claimed;
    items["cutTexts"] = table.cutTexts;
    Json& columns = items["columns"] = Json::array();
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        columns.push_back(JsonString(table.Caption(column)));
    }
    Json hidden = Json::array();
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        if (table.ColumnHidden(column)) {
            hidden.push_back(column);
        }
    }
    if (!hidden.empty()) {
        items["hiddenColumns"] = std::move(hidden);
    }
    Json& rows = items["rows"] = Json::array();
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        Json& cells = rows.emplace_back(Json::array());
        for (std::size_t column = 0; column < table.Columns(); ++column) {
            cells.push_back(JsonString(table.Cell(row, column)));
        }
    }
    if (HasDepths(table.Kind())) {
        Json& depths = items["depths"] = Json::array();
        for (std::size_t row = 0; row < table.Rows(); ++row) {
            depths.push_back(table.Depth(row));
        }
    }
    return items;
}

// The window's members, as the JSON tree and the JSON lines both write them.
void AddWindowMembers(Json& object, const DumpedWindow& window) {
    object["handle"] = window.handle;
    object["handleHex"] = HexHandle(window.handle);
    object["class"] = JsonString(window.className);
    object["text"] = JsonString(window.text);
    if (const auto shown = ShownTextOf(window.className, window.style, window.text)) {
        object["shown"] = JsonString(*shown);
    }
    if (window.resource) {
        object["resource"] = *window.resource;
    }
    object["controlId"] = window.facts ? Json(window.facts->controlId) : kNone;
    object["parent"] = window.depth == 0 ? kNone : Json(window.parent);
    object["depth"] = window.depth;
    object["path"] = JsonString(window.path);
    if (window.pathCut) {
        object["pathCut"] = true;
    }
    object["visible"] = window.visible;
    object["enabled"] = window.facts && window.facts->enabled;
    if (window.facts) {
        const ScreenRect& rect = window.facts->rect;
        object["rect"] = {
            {"left", rect.left}, {"top", rect.top}, {"right", rect.right}, {"bottom", rect.bottom}};
    } else {
        object["rect"] = kNone;
    }
    object["status"] = StatusName(window.status);
    if (window.items != nullptr) {
        object["items"] = ItemsObject(*window.items);
    }
}

// What the dump met, as the JSON tree's summary and the JSON lines' last line both write it.
void AddSummaryMembers(Json& summary, const DumpTally& tally) {
    summary["windows"] = tally.windows;
    summary["timedOut"] = tally.timedOut;
    summary["gone"] = tally.gone;
    summary["denied"] = tally.denied;
    summary["cut"] = tally.cut;
    summary["changing"] = tally.changing;
    summary["itemsIncomplete"] = tally.itemsIncomplete;
    summary["textlessLists"] = tally.textlessLists;
    summary["rowLimitReached"] = tally.rowLimitReached;
    summary["failedSteps"] = tally.failedSteps;
    summary["deadline"] = tally.deadlineReached;
    summary["complete"] = DumpExitCode(tally) == ExitCode::kDone;
}

// The tree nested as on screen: each window an object whose last member is its children, written
// as soon as the window comes, and closed once a window at its depth or above comes.
class JsonDumpWriter final : public DumpWriter {
public:
    explicit JsonDumpWriter(Output& output) : m_output(output) {
        m_output.Write(OpenObjectText(DocumentHead()) + ",\n\"window\":");
    }

    void Window(const DumpedWindow& window) override {
        CloseDownTo(static_cast<std::size_t>(window.depth));
        std::string text;
        if (!m_open.empty()) {
            // The parent's children so far: a comma before each but the first.
            text += m_open.back() ? "," : "";
            m_open.back() = true;
        }
        text += '\n';
        text.append((m_open.size() + 1) * kIndentPerLevel, ' ');
        text += OpenObjectText(WindowObject(window));
        text += ",\"children\":[";
        m_output.Write(text);
        m_open.push_back(false);
        m_any = true;
    }

    void End(const DumpTally& tally) override {
        CloseDownTo(0);
        Json summary;
        AddSummaryMembers(summary, tally);
        m_output.Write(std::string(m_any ? "" : "null") + ",\n\"summary\":" + JsonText(summary) +
                       "}\n");
    }

private:
    // Closes the open windows deeper than depth: their children are complete.
    void CloseDownTo(std::size_t depth) {
        while (m_open.size() > depth) {
            m_output.Write("]}");
            m_open.pop_back();
        }
    }

    Output& m_output;
    // The open windows from the first down, each with whether it has a child written yet.
    std::vector<bool> m_open;
    bool m_any = false;
};

// A line per window as it comes, its parent and depth telling its place in the tree, and the
// summary last.
class JsonLinesDumpWriter final : public DumpWriter {
public:
    explicit JsonLinesDumpWriter(Output& output) : m_output(output) {}

    void Window(const DumpedWindow& window) override {
        Json line = WindowLineHead();
        AddWindowMembers(line, window);
        m_output.Write(JsonText(line) + "\n");
    }

    void End(const DumpTally& tally) override {
        Json line = SummaryLineHead();
        AddSummaryMembers(line, tally);
        m_output.Write(JsonText(line) + "\n");
    }

private:
    Output& m_output;
};

class DelimitedDumpWriter final : public DumpWriter {
public:
    DelimitedDumpWriter(Output& output, CellFormat format, bool withItems)
        : m_output(output), m_format(format), m_withItems(withItems) {
        std::vector<std::string> header{"handle", "handleHex", "class", "text",    "controlId",
                                        "parent", "depth",     "path",  "visible", "enabled",
                                        "left",   "top",       "right", "bottom",  "status"};
        if (m_withItems) {
            header.insert(header.end(), {"itemsKind", "itemsStatus", "items"});
        }
        Write(header);
    }

    void Window(const DumpedWindow& window) override {
        const auto number = [](std::int64_t value) { return std::to_string(value); };
        const WindowFacts* facts = window.facts ? &*window.facts : nullptr;
        // A gone window's state is unknown: its cells are empty.
        const auto known = [&](auto&& cell) { return facts != nullptr ? cell() : std::string(); };
        std::vector<std::string> cells{number(window.handle),
                                       HexHandle(window.handle),
                                       TextToUtf8(window.className),
                                       TextToUtf8(window.text),
                                       known([&] { return number(facts->controlId); }),
                                       window.depth == 0 ? std::string() : number(window.parent),
                                       number(window.depth),
                                       TextToUtf8(window.path),
                                       Boolean(window.visible),
                                       known([&] { return std::string(Boolean(facts->enabled)); }),
                                       known([&] { return number(facts->rect.left); }),
                                       known([&] { return number(facts->rect.top); }),
                                       known([&] { return number(facts->rect.right); }),
                                       known([&] { return number(facts->rect.bottom); }),
                                       StatusName(window.status)};
        if (m_withItems) {
            const ItemsTable* items = window.items;
            cells.push_back(items != nullptr ? KindName(items->Kind()) : "");
            cells.push_back(items != nullptr ? ItemsStatusName(items->status) : "");
            // The items as a CSV table in one cell: a header line of captions, then a line
            // per item.
            cells.push_back(items != nullptr
                                ? TextToUtf8(ItemsDelimitedText(*items, Delimiter::Comma))
                                : std::string());
        }
        Write(cells);
    }

    void End(const DumpTally&) override {}

private:
    void Write(const std::vector<std::string>& cells) {
        std::string line;
        AppendLine(line, cells, m_format);
        m_output.Write(line);
    }

    Output& m_output;
    CellFormat m_format;
    bool m_withItems;
};

}  // namespace

Json WindowObject(const DumpedWindow& window) {
    Json object;
    AddWindowMembers(object, window);
    return object;
}

std::unique_ptr<DumpWriter> MakeJsonDumpWriter(Output& output) {
    return std::make_unique<JsonDumpWriter>(output);
}

std::unique_ptr<DumpWriter> MakeJsonLinesDumpWriter(Output& output) {
    return std::make_unique<JsonLinesDumpWriter>(output);
}

std::unique_ptr<DumpWriter> MakeDelimitedDumpWriter(Output& output, CellFormat format,
                                                    bool withItems) {
    return std::make_unique<DelimitedDumpWriter>(output, format, withItems);
}
