// The document find writes.
#include "cli/commands/FindDocument.h"

#include "documents/Cells.h"
#include "documents/HeadlessTable.h"
#include "documents/JsonText.h"

namespace {

std::vector<std::string> Cells(const SearchedWindow& top, const FoundWindow& window, bool items) {
    std::vector<std::string> cells{TextToUtf8(DecimalText(top.handle)),
                                   TextToUtf8(top.title),
                                   TextToUtf8(DecimalText(window.handle)),
                                   HexHandle(window.handle),
                                   TextToUtf8(window.className),
                                   std::to_string(window.controlId),
                                   TextToUtf8(window.path),
                                   TextToUtf8(window.text)};
    if (items) {
        cells.push_back(window.item ? std::to_string(window.item->index) : std::string());
        cells.push_back(window.item ? TextToUtf8(window.item->text) : std::string());
    }
    return cells;
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
    if (window.pathCut) {
        object["pathCut"] = true;
    }
    object["text"] = JsonString(window.text);
    if (window.shown) {
        object["shown"] = JsonString(*window.shown);
    }
    if (window.item) {
        Json& item = object["item"];
        item["index"] = window.item->index;
        item["depth"] = window.item->depth;
        item["text"] = JsonString(window.item->text);
    }
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

}  // namespace

std::string FindDocument(const std::vector<SearchedWindow>& searched, ListFormat format, bool items,
                         bool deadlineReached, std::size_t textlessLists) {
    std::string text;
    std::vector<std::vector<std::string>> rows;
    Json document = DocumentHead();
    Json& matches = document["matches"] = Json::array();
    for (const SearchedWindow& top : searched) {
        for (const FoundWindow& window : top.found) {
            rows.push_back(Cells(top, window, items));
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
            std::vector<TextView> captions{u"Top-level", u"Title", u"Handle", u"Hex",
                                           u"Class",     u"Id",    u"Path",   u"Text"};
            if (items) {
                captions.insert(captions.end(), {u"Item", u"Item text"});
            }
            return AlignedTable(captions, rows) + TextlessListsNote(textlessLists);
        }
        case ListFormat::Csv:
        case ListFormat::Tsv:
            break;
    }
    const CellFormat cells = format == ListFormat::Csv ? CellFormat::Csv : CellFormat::Tsv;
    std::vector<std::string> names{"topLevel", "topLevelTitle", "handle", "handleHex",
                                   "class",    "controlId",     "path",   "text"};
    if (items) {
        names.insert(names.end(), {"item", "itemText"});
    }
    AppendLine(text, names, cells);
    for (const std::vector<std::string>& row : rows) {
        AppendLine(text, row, cells);
    }
    return text;
}
