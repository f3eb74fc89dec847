// serve's tools, their words and their arguments: the table that tools/list describes and that
// a call's arguments are checked against.
#include "serve/ToolTable.h"

#include <cstdint>

namespace Mcp {
namespace {

constexpr char kSelector[] = "selector";
constexpr char kWaitedText[] = "text";
// The longest that wait_for_text waits, and that any message waits: the SDKs' default request
// time-out is a minute.
constexpr std::int64_t kMaxWaitMs = 60000;
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
        {"foreground", Kind::Flag, "--foreground",
         "The window the user works in now, the foreground window (give true)", kSelector},
        {"at", Kind::Point, "--at",
         "The deepest window at this point on screen, {\"x\": X, \"y\": Y} in pixels from the "
         "main screen's top left corner, as picking in the window chooses it",
         kSelector},
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

Tool ListWindowsTool() {
    return {"list_windows",
            "List the windows",
            "The desktop's application windows, as the window list shows them: handle, class, "
            "title, process id and program, visible, owner; then a summary: windows, deadline and "
            "complete. The same document as tessivane-cli list --format json.",
            {"list", "--format", "json"},
            {{"all", Kind::Flag, "--all",
              "Every top-level window: owned ones (dialogs, message boxes), untitled and hidden "
              "ones too, each with why the window list leaves it out"}},
            {},
            RunCommand};
}

Tool DumpWindowTool() {
    return {
        "dump_window",
        "Dump a window",
        "One window and all its child windows, depth first: handle, class, text, control id, "
        "parent, depth, path, visible, enabled, rectangle on screen and read status (read; "
        "timedOut: no answer in time; cut; changing: it changed while read; gone: it vanished "
        "while read; denied: a program running with higher rights refused its text); then a "
        "summary that counts what is missing: windows, timedOut, gone, denied, cut, changing, "
        "itemsIncomplete, textlessLists, rowLimitReached, failedSteps, deadline and complete. Give "
        "exactly one of handle, title, titleContains, class, pid, foreground or at. The same "
        "document as tessivane-cli dump "
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
        RunCommand};
}

Tool FindControlsTool() {
    return {
        "find_controls",
        "Find controls",
        "The windows inside the window list's windows (or inside the one a selector names) that "
        "have a text, class or control id: each with its top-level window, handle, class, control "
        "id, path and text; then searched, textlessLists and deadline. Give at least one of text, "
        "textContains, class or id; at most one of handle, title, titleContains, windowClass, "
        "pid, foreground or at. The same document as tessivane-cli find --format json.",
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
                 "whole text)"},
                {"items", Kind::Flag, "--items",
                 "Search the items of the controls that have them too (list and tree rows, "
                 "console lines, menu items, accessible objects' names and values); a match in "
                 "an item has item: {index, depth, text}"}}),
        {},
        RunCommand};
}

Tool ReadItemsTool() {
    return {
        "read_items",
        "Read a control's items",
        "The items of one list box, combo box, list view (every row by every column), tree, "
        "tab control, header, status bar, toolbar, console window (its lines), top-level "
        "window (its menu) or window that draws its own controls (kind accessible: the objects "
        "its program tells screen readers of, by Name, Role, Value and State): the dump of that "
        "window alone with its items (kind, status, columns, rows), whose status is read, "
        "timedOut, gone, changed, noTexts, noText (every row came without a text: the program "
        "may draw them itself), capped, denied (a program running with higher rights refused "
        "them), notReadable, tooDeep, looped or malformed. Give exactly one of handle, title, "
        "titleContains, class, pid, foreground or at, and the path to the control below that "
        "window (or the control's own handle).",
        {"dump", "--format", "json", "--items", "--max-depth", "0"},
        Joined(SelectorArguments("class", "--class"), {kPath, kMessageTimeout}),
        {kSelector},
        ReadItems};
}

Tool WaitForTextTool() {
    return {"wait_for_text",
            "Wait for a text",
            "Reads a control's text again and again until it is the text given (or holds "
            "textContains), at most timeoutMs: the dump of that control alone, with \"waited\": "
            "whether the text showed and after how long. Give exactly one of handle, title, "
            "titleContains, class, pid, foreground or at, the path to the control below that "
            "window, and text or "
            "textContains.",
            {"dump", "--format", "json", "--max-depth", "0"},
            Joined(SelectorArguments("class", "--class"),
                   {kPath,
                    {"text", Kind::String, nullptr, "The whole text to wait for", kWaitedText},
                    {"textContains", Kind::String, nullptr,
                     "A text to wait for within the control's", kWaitedText},
                    {"ignoreCase", Kind::Flag, nullptr, "Match the text whatever the case"},
                    {"timeoutMs", Kind::Whole, nullptr,
                     "How long to wait for the text, in milliseconds (default 5000)", nullptr, 1,
                     kMaxWaitMs}}),
            {kSelector, kWaitedText},
            WaitForText};
}

}  // namespace

const std::vector<Tool>& Tools() {
    static const std::vector<Tool> tools{ListWindowsTool(), DumpWindowTool(), FindControlsTool(),
                                         ReadItemsTool(), WaitForTextTool()};
    return tools;
}

}  // namespace Mcp
