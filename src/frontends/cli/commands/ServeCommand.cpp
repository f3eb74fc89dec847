// The serve command's help; serving itself runs from the program's entry point, which hands it
// the standard input.
#include "cli/commands/CommandTable.h"

namespace {

constexpr char kServeFooter[] =
    "serve reads one JSON-RPC 2.0 message a line on the standard input (UTF-8) and answers each\n"
    "request on one line of the standard output, as the Model Context Protocol's stdio transport\n"
    "has it. Its tools: list_windows, dump_window, find_controls, read_items and wait_for_text,\n"
    "each giving the JSON document of the command it runs (list, dump or find). It only reads:\n"
    "nothing is clicked, typed or changed. Bad input gets a JSON-RPC error and the server goes\n"
    "on; a message line over 4 MiB is refused, a result over 1 MiB is cut with a note. It ends\n"
    "when the standard input closes.\n"
    "Exit codes: 0 the input closed; 1 usage error, or the input or output cannot be used.\n"
    "\n"
    "To register it with an agent host, give the host the program and the word serve, as in\n"
    "this entry of an MCP host's server list (under Wine: command \"wine\", the program first\n"
    "in args):\n"
    "  \"tessivane\": {\"command\": \"C:\\\\Tools\\\\tessivane-cli.exe\", \"args\": [\"serve\"]}";

// serve takes no options.
class ServeOptions final : public CommandOptions {
public:
    RequestOrProblem Request(const CLI::App&) const override { return ServeRequest{}; }
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareServe(CLI::App& command, Complaint&) {
    command.footer(kServeFooter);
    return std::make_unique<ServeOptions>();
}
