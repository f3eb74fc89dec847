// tessivane-cli's commands in one table, in the order help lists them.
#include "cli/commands/CommandTable.h"

namespace {

constexpr CommandEntry kCommands[] = {
    {"list",
     "The desktop's application windows, as the window list shows them: handle, class, title, "
     "process, visible, owner",
     DeclareList},
    {"dump",
     "One window and all its child windows, depth first: handle, class, text, control id, parent, "
     "depth, visible, enabled, rectangle on screen and read status",
     DeclareDump},
    {"find",
     "The windows inside the window list's windows (or inside the one a selector names) that have "
     "a text, class or control id: each with its top-level window, handle and path",
     DeclareFind},
    {"watch",
     "One window and all its child windows as dump -f jsonl writes them, then a JSON line for "
     "each change as it is seen, until the window closes or a limit is reached",
     DeclareWatch},
    {"diff",
     "Two dumps of a window compared: the windows added and removed, and those whose text or "
     "items changed, or that were shown, hidden, enabled or disabled",
     DeclareDiff},
    {"serve",
     "A server for agents on the standard input and output: the Model Context Protocol, one "
     "JSON-RPC message a line, with tools that list, dump and find windows, read a control's "
     "items and wait for a control's text",
     DeclareServe},
};

}  // namespace

std::string CommandOptions::Problem(const CLI::App&) const {
    return {};
}

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}
