// The command line of tessivane-cli.
#include "cli/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <regex>
#include <sstream>
#include <utility>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "cli/Commands.h"
#include "core/ExitCodes.h"
#include "finding/ControlPath.h"
#include "finding/Selection.h"

namespace {

// The longest wait for one message that --timeout takes: an hour.
constexpr int kMaxTimeoutMs = 60 * 60 * 1000;
// The longest --deadline: a day.
constexpr int kMaxDeadlineMs = 24 * 60 * 60 * 1000;
// Reading a tree again more often than this would keep a processor busy for nothing.
constexpr int kMinWatchIntervalMs = 50;
// The deepest --max-depth: no walk goes deeper, since it ends at this many rows.
constexpr int kMaxDepth = static_cast<int>(kMaxRowsPerWalk);

constexpr char kProgram[] = "tessivane-cli";

constexpr char kDescription[] =
    "Tessivane Window Text Reader on the command line: lists the desktop's windows, dumps a "
    "window with all its child windows (class, handle, text, state, path and, on request, the "
    "items of lists, trees and other controls), finds windows by text, class or id, and compares "
    "two dumps; serve does all of the reading for agents, as a Model Context Protocol server.";

constexpr char kProgramFooter[] =
    "Run tessivane-cli COMMAND --help (or tessivane-cli help COMMAND) for a command's options.\n"
    "Exit codes: 0 done; 1 usage error, or the output cannot be written; 2 no window matched;\n"
    "3 several windows matched; 4 done, but something is missing; 5 the dumps differ (diff).\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli list\n"
    "  tessivane-cli dump --title \"Untitled - Notepad\" -o notepad.json\n"
    "  tessivane-cli find --class Button --text OK\n"
    "  tessivane-cli dump --help";

constexpr char kListFooter[] =
    "Exit codes: 0 done (also when the reader of a pipe stops early); 1 usage error, or the\n"
    "output cannot be written; 4 --deadline ended the list before its end.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli list\n"
    "  tessivane-cli list --all -f json\n"
    "  tessivane-cli list -f jsonl --deadline 2000 > windows.jsonl";

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

constexpr char kFindFooter[] =
    "--text, --text-contains, --class and --id may be combined: a window must match each. With\n"
    "--regex, --text and --text-contains are ECMAScript regular expressions (--text matches the\n"
    "whole text); --ignore-case applies to them. The path of each window found works with\n"
    "dump's --path, from the top-level window listed beside it.\n"
    "Exit codes: 0 found; 1 usage error, or the output cannot be written; 2 no window matched\n"
    "(or none has the selector); 3 the selector matched more than one window; 4 --deadline\n"
    "ended the search: what was found by then is written.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli find --text OK --class Button\n"
    "  tessivane-cli find --title \"Untitled - Notepad\" --class Edit -f json\n"
    "  tessivane-cli find --text-contains \"^total: \\d+\" --regex --ignore-case -f csv";

constexpr char kWatchFooter[] =
    "First a JSON line per window of the tree, as dump -f jsonl writes them; then a line per\n"
    "change as it is seen (\"type\":\"change\": added, removed, text, items, visible, enabled;\n"
    "with the time, handle, path, old and new value); last a line saying why it ended\n"
    "(\"type\":\"end\", \"reason\": rootClosed, duration, count, untilText or stopped, on\n"
    "Ctrl+C, Ctrl+Break or the console closing). It only reads: the system's window events say\n"
    "what to read again where it sends them; what they miss is read every --interval.\n"
    "Exit codes: 0 ended (for any of the reasons above, or the reader of a pipe stopped); 1\n"
    "usage error, or the output cannot be written; 2 no window matched (or no control, on\n"
    "--path); 3 the selector (or --path) matched more than one window.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli watch --title \"Backup\" --path \"msctls_statusbar32\" --until-text Done\n"
    "  tessivane-cli watch --class Notepad --items --duration 60 > changes.jsonl\n"
    "  tessivane-cli watch --handle 0x10086 --interval 2000 --count 1";

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

// The first thing a check found wrong with the command line, in the program's words: CLI11 stops
// at the first failed check and says only that it failed.
class Complaint {
public:
    void Make(std::string text) {
        if (m_text.empty()) {
            m_text = std::move(text);
        }
    }
    [[nodiscard]] const std::string& Said() const noexcept { return m_text; }

private:
    std::string m_text;
};

// A check of an option's value: what parse takes passes; anything else is a complaint that the
// option must be what is expected.
template <typename Parse>
CLI::Validator Checked(Parse parse, const std::string& option, const std::string& expected,
                       Complaint& complaint) {
    return CLI::Validator(
        [parse, option, expected, &complaint](std::string& value) {
            if (parse(value)) {
                return std::string();
            }
            complaint.Make(option + " must be " + expected + ", not \"" + value + "\"");
            return complaint.Said();
        },
        "");
}

// A whole number in decimal, from low to high.
CLI::Validator WholeNumber(const std::string& option, int low, int high, Complaint& complaint) {
    const auto inRange = [low, high](const std::string& value) {
        int number = 0;
        const char* end = value.data() + value.size();
        const auto [stop, error] = std::from_chars(value.data(), end, number);
        return error == std::errc() && stop == end && number >= low && number <= high;
    };
    return Checked(inRange, option,
                   "a whole number from " + std::to_string(low) + " to " + std::to_string(high),
                   complaint);
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char letter) {
        return static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    });
    return text;
}

// Words joined as a sentence lists them: "a, b or c".
std::string Listed(const std::vector<std::string>& words, const std::string& lastJoin) {
    std::string text;
    for (std::size_t index = 0; index < words.size(); ++index) {
        if (index > 0) {
            text += index + 1 == words.size() ? lastJoin : ", ";
        }
        text += words[index];
    }
    return text;
}

// A --format option: one of a few names (in any case), each naming a format.
template <typename Value>
class FormatOption {
public:
    explicit FormatOption(std::vector<std::pair<std::string, Value>> choices)
        : m_choices(std::move(choices)) {}

    // The names, in the order help gives them.
    [[nodiscard]] std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& choice : m_choices) {
            names.push_back(choice.first);
        }
        return names;
    }

    // Adds -f and --format to the command, with the help text that follows the names.
    void AddTo(CLI::App& command, const std::string& help, Complaint& complaint) {
        const auto known = [this](const std::string& value) { return Find(value) != nullptr; };
        const std::string names = Listed(Names(), ", ");
        command.add_option("-f,--format", m_given, names + help)
            ->check(Checked(known, "--format", "one of " + names, complaint))
            ->option_text("FORMAT");
    }

    // The value named on the command line, or fallback without one.
    [[nodiscard]] Value Chosen(Value fallback) const {
        const Value* value = Find(m_given);
        return value != nullptr ? *value : fallback;
    }

private:
    const Value* Find(const std::string& name) const {
        const auto found =
            std::find_if(m_choices.begin(), m_choices.end(),
                         [&name](const auto& choice) { return choice.first == Lowercase(name); });
        return found != m_choices.end() ? &found->second : nullptr;
    }

    std::vector<std::pair<std::string, Value>> m_choices;
    std::string m_given;
};

// The selector's options, of which the command line must give exactly one.
struct SelectorOptions {
    std::string handle;
    std::string processId;
    Text text;
    Selector::By by = Selector::By::Handle;
    CLI::Option_group* group = nullptr;
    bool required = true;

    // classOption: the name of the option that selects by class. Without required, the command
    // takes at most one.
    void AddTo(CLI::App& command, Complaint& complaint, const std::string& what,
               const std::string& classOption, bool isRequired) {
        required = isRequired;
        group = command.add_option_group("selector", what);
        const auto chosen = [this](Selector::By way) {
            return [this, way](const std::string& value) {
                by = way;
                text = Utf8ToText(value);
            };
        };
        group
            ->add_option("--handle", handle,
                         "The window with this handle, in decimal or 0x hexadecimal (any window, "
                         "top-level or child)")
            ->check(Checked(ParseHandleArgument, "--handle",
                            "a window handle in decimal or 0x hexadecimal", complaint))
            ->option_text("HANDLE")
            ->each(chosen(Selector::By::Handle));
        group->add_option_function<std::string>("--title", chosen(Selector::By::Title),
                                                "The top-level window with exactly this title");
        group->add_option_function<std::string>("--title-contains",
                                                chosen(Selector::By::TitleContains),
                                                "The top-level window whose title holds this text");
        group->add_option_function<std::string>(
            classOption, chosen(Selector::By::Class),
            "The top-level window of this class (case does not matter)");
        group->add_option("--pid", processId, "The top-level window of the process with this id")
            ->check(Checked(ParseProcessIdArgument, "--pid",
                            "a process id in decimal or 0x hexadecimal", complaint))
            ->option_text("PID")
            ->each(chosen(Selector::By::Process));
        if (required) {
            group->require_option(1);
        } else {
            group->require_option(0, 1);
        }
    }

    // What is wrong with the selectors given, or nothing when exactly one is.
    [[nodiscard]] std::string Problem(const std::string& command) const {
        std::vector<std::string> all;
        std::vector<std::string> given;
        for (const CLI::Option* option : group->get_options()) {
            if (option == group->get_help_ptr()) {
                continue;  // the group's own --help, which CLI11 gives every group
            }
            all.push_back(option->get_name());
            if (option->count() > 0) {
                given.push_back(option->get_name());
            }
        }
        if (given.empty()) {
            return required ? command + " needs a selector: one of " + Listed(all, " or ")
                            : std::string();
        }
        return given.size() == 1 ? std::string()
                                 : command + " takes one selector, not " + Listed(given, " and ");
    }

    [[nodiscard]] bool Given() const {
        const auto options = group->get_options();
        return std::any_of(options.begin(), options.end(), [this](const CLI::Option* option) {
            return option != group->get_help_ptr() && option->count() > 0;
        });
    }

    [[nodiscard]] Selector Selected() const {
        Selector selector{by, 0, {}, 0};
        if (by == Selector::By::Handle) {
            selector.handle = *ParseHandleArgument(handle);
        } else if (by == Selector::By::Process) {
            selector.processId = *ParseProcessIdArgument(processId);
        } else {
            selector.text = text;
        }
        return selector;
    }
};

// Adds --deadline to the command: its milliseconds go to deadlineMs, which stays 0 without it.
void AddDeadline(CLI::App& command, int& deadlineMs, Complaint& complaint) {
    command
        .add_option("--deadline", deadlineMs,
                    "End the command after this many milliseconds, keeping what was written: no "
                    "more windows are read (a message already sent still waits for its answer), "
                    "the JSON summary says \"deadline\":true and the exit code is 4")
        ->check(WholeNumber("--deadline", 1, kMaxDeadlineMs, complaint))
        ->option_text("MS");
}

// Adds --path to the command (what: "Dump", "Watch"): the path goes to path.
void AddPath(CLI::App& command, std::string& path, const std::string& what, Complaint& complaint) {
    command
        .add_option("--path", path,
                    what +
                        " the control this path leads to below the selected window, as dump "
                        "writes paths (\"#32770/Button#1\", \"Edit[2]\")")
        ->check(CLI::Validator(
            [&complaint](std::string& value) {
                if (const std::string problem = ParsePath(Utf8ToText(value)).problem;
                    !problem.empty()) {
                    complaint.Make("--path \"" + value + "\" is not a path: " + problem);
                    return complaint.Said();
                }
                return std::string();
            },
            ""))
        ->option_text("PATH");
}

// Adds --timeout to the command: the milliseconds go to timeoutMs.
void AddTimeout(CLI::App& command, int& timeoutMs, Complaint& complaint) {
    command
        .add_option("--timeout", timeoutMs,
                    "How long each window's text message waits for its answer, in "
                    "milliseconds (default 500; each item message waits 500)")
        ->check(WholeNumber("--timeout", 1, kMaxTimeoutMs, complaint))
        ->option_text("MS");
}

// Adds -o/--output to the command: the file's path goes to output, which stays empty without it.
void AddOutput(CLI::App& command, std::string& output) {
    command
        .add_option("-o,--output", output,
                    "Write to this file (replaced only once it is whole) instead of the standard "
                    "output")
        ->option_text("FILE");
}

// The bound --deadline gave: nothing when deadlineMs stayed 0.
std::optional<std::chrono::milliseconds> DeadlineOf(int deadlineMs) {
    if (deadlineMs == 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(deadlineMs);
}

// The program's commands, as help names them.
std::vector<std::string> CommandNames(const CLI::App& program) {
    std::vector<std::string> names;
    for (const CLI::App* command : program.get_subcommands({})) {
        names.push_back(command->get_name());
    }
    return names;
}

// "help" and "/?" ask for help as --help does: "help" alone or before a command's name, "/?"
// alone or after a command's name.
std::vector<std::string> WithHelpWords(std::vector<std::string> arguments) {
    if (!arguments.empty() && (arguments.front() == "help" || arguments.front() == "/?")) {
        arguments.erase(arguments.begin());
        arguments.push_back("--help");
    } else if (arguments.size() == 2 && arguments.back() == "/?") {
        arguments.back() = "--help";
    }
    return arguments;
}

// The first word that the command (or, when none was named, the program) does not know, in words;
// nothing when every word is known.
std::string UnknownWord(const CLI::App& program, const CLI::App* command) {
    const std::string help = " (see tessivane-cli --help)";
    if (const std::vector<std::string> words = program.remaining(); !words.empty()) {
        const std::string& word = words.front();
        if (word.starts_with('-')) {
            return "unknown option \"" + word + "\"" + help;
        }
        return "unknown command \"" + word + "\": the commands are " +
               Listed(CommandNames(program), " and ") + help;
    }
    const std::vector<std::string> words =
        command != nullptr ? command->remaining() : std::vector<std::string>();
    if (words.empty()) {
        return {};
    }
    const std::string& word = words.front();
    const std::string commandHelp = " (see tessivane-cli " + command->get_name() + " --help)";
    return word.starts_with('-')
               ? command->get_name() + " has no option \"" + word + "\"" + commandHelp
               : command->get_name() + " takes no word \"" + word + "\"" + commandHelp;
}

// The option that an error of CLI11's is about: its message names it by its long name.
std::string OptionOf(const CLI::ParseError& error) {
    const std::string message = error.what();
    const std::size_t start = message.find("--");
    if (start == std::string::npos) {
        return message;
    }
    const auto end = std::find_if(
        message.begin() + static_cast<std::ptrdiff_t>(start) + 2, message.end(),
        [](unsigned char letter) { return letter != '-' && std::isalnum(letter) == 0; });
    return std::string(message.begin() + static_cast<std::ptrdiff_t>(start), end);
}

// A usage error as the one line that standard error shows.
ParsedCommandLine UsageError(const std::string& problem) {
    return {std::nullopt, ExitCode::kUsage, {}, std::string(kMessagePrefix) + problem + "\n"};
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CLI::App app(kDescription, kProgram);
    app.set_version_flag("--version", std::string(kProgram) + " " + TESSIVANE_VERSION_TEXT);
    // Words the program does not know are told in its own words below, as are missing commands.
    app.allow_extras();
    app.require_subcommand(0, 1);
    // An option given twice takes its last value, so that a script can override what it passed.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.footer(kProgramFooter);
    Complaint complaint;

    ListRequest list;
    FormatOption<ListFormat> listFormat({{"table", ListFormat::Table},
                                         {"json", ListFormat::Json},
                                         {"jsonl", ListFormat::JsonLines},
                                         {"csv", ListFormat::Csv},
                                         {"tsv", ListFormat::Tsv}});
    CLI::App* listCommand = app.add_subcommand(
        "list",
        "The desktop's application windows, as the window list shows them: handle, "
        "class, title, process, visible, owner");
    listCommand->footer(kListFooter);
    listCommand->add_flag("--all", list.all,
                          "Every top-level window: owned ones (dialogs, message boxes), untitled "
                          "and hidden ones too, each with why the window list leaves it out");
    listFormat.AddTo(*listCommand,
                     ": table (aligned) is the default; jsonl writes a JSON object a line, a "
                     "window's as it is read, then the summary",
                     complaint);
    int listDeadlineMs = 0;
    AddDeadline(*listCommand, listDeadlineMs, complaint);

    DumpRequest dump;
    SelectorOptions selector;
    FormatOption<DumpFormat> dumpFormat({{"json", DumpFormat::Json},
                                         {"jsonl", DumpFormat::JsonLines},
                                         {"csv", DumpFormat::Csv},
                                         {"tsv", DumpFormat::Tsv},
                                         {"text", DumpFormat::Text}});
    std::string output;
    int timeoutMs = static_cast<int>(kTextMessageTimeout.count());
    CLI::App* dumpCommand = app.add_subcommand(
        "dump",
        "One window and all its child windows, depth first: handle, class, text, control "
        "id, parent, depth, visible, enabled, rectangle on screen and read status");
    dumpCommand->footer(kDumpFooter);
    selector.AddTo(*dumpCommand, complaint,
                   "Which window to dump: exactly one of these (text is matched exactly)",
                   "--class", true);
    dumpCommand->add_flag("--all", dump.all,
                          "Let the selector find owned, untitled and hidden top-level windows too");
    dumpCommand->add_flag("--first", dump.first,
                          "When several windows (or controls on --path) match, dump the first");
    std::string path;
    AddPath(*dumpCommand, path, "Dump", complaint);
    dumpCommand->add_flag("--items", dump.items,
                          "Read each control's items too (list boxes, combo boxes, list views, "
                          "trees, tabs, headers, status bars, toolbars), a console window's lines "
                          "and a top-level window's menu; not with --format text");
    dumpFormat.AddTo(*dumpCommand,
                     ": json (the default) nests the tree, jsonl writes a JSON object a line "
                     "(a window's with its parent and depth, then the summary), csv and tsv give "
                     "one row per window, text is the aligned text that Copy Results To "
                     "Clipboard makes",
                     complaint);
    AddOutput(*dumpCommand, output);
    AddTimeout(*dumpCommand, timeoutMs, complaint);
    dumpCommand
        ->add_option("--max-depth", dump.maxDepth,
                     "Walk no deeper than this many levels below the window (0: the window alone)")
        ->check(WholeNumber("--max-depth", 0, kMaxDepth, complaint))
        ->option_text("N");
    int dumpDeadlineMs = 0;
    AddDeadline(*dumpCommand, dumpDeadlineMs, complaint);

    FindRequest find;
    SelectorOptions findSelector;
    // The same formats as list, each window found a row.
    FormatOption<ListFormat> findFormat = listFormat;
    std::string wholeText;
    std::string textPart;
    std::string controlClass;
    std::string controlId;
    bool ignoreCase = false;
    bool regex = false;
    CLI::App* findCommand = app.add_subcommand(
        "find",
        "The windows inside the window list's windows (or inside the one a selector names) "
        "that have a text, class or control id: each with its top-level window, handle and path");
    findCommand->footer(kFindFooter);
    findSelector.AddTo(*findCommand, complaint,
                       "Where to search: at most one of these (text is matched exactly); without "
                       "one, inside every window of the window list",
                       "--window-class", false);
    findCommand->add_flag("--all", find.all,
                          "Search every top-level window, or let the selector find owned, "
                          "untitled and hidden ones too");
    findCommand->add_flag("--first", find.first,
                          "When the selector matches several windows, search the first");
    findCommand->add_option("--text", wholeText, "Windows whose whole text is this")
        ->option_text("TEXT");
    findCommand->add_option("--text-contains", textPart, "Windows whose text holds this")
        ->option_text("TEXT");
    findCommand
        ->add_option("--class", controlClass,
                     "Windows of this class (case does not matter, as for the system)")
        ->option_text("NAME");
    findCommand->add_option("--id", controlId, "Windows with this control id")
        ->check(Checked(
            [](const std::string& value) {
                std::int64_t number = 0;
                const char* end = value.data() + value.size();
                const auto [stop, error] = std::from_chars(value.data(), end, number);
                return error == std::errc() && stop == end;
            },
            "--id", "a whole number", complaint))
        ->option_text("ID");
    findCommand->add_flag("--ignore-case", ignoreCase,
                          "Match --text and --text-contains whatever the case, as Find does");
    findCommand->add_flag("--regex", regex,
                          "--text and --text-contains are ECMAScript regular expressions");
    findFormat.AddTo(*findCommand, " (table, aligned, is the default)", complaint);
    std::string findOutput;
    AddOutput(*findCommand, findOutput);
    int findDeadlineMs = 0;
    AddDeadline(*findCommand, findDeadlineMs, complaint);

    WatchRequest watch;
    SelectorOptions watchSelector;
    std::string watchPath;
    int watchTimeoutMs = static_cast<int>(kTextMessageTimeout.count());
    int intervalMs = static_cast<int>(kDefaultWatchInterval.count());
    int durationSeconds = 0;
    int changeCount = 0;
    std::string untilText;
    CLI::App* watchCommand = app.add_subcommand(
        "watch",
        "One window and all its child windows as dump -f jsonl writes them, then a JSON line for "
        "each change as it is seen, until the window closes or a limit is reached");
    watchCommand->footer(kWatchFooter);
    watchSelector.AddTo(*watchCommand, complaint,
                        "Which window to watch: exactly one of these (text is matched exactly)",
                        "--class", true);
    watchCommand->add_flag(
        "--all", watch.all,
        "Let the selector find owned, untitled and hidden top-level windows too");
    watchCommand->add_flag("--first", watch.first,
                           "When several windows (or controls on --path) match, watch the first");
    AddPath(*watchCommand, watchPath, "Watch", complaint);
    watchCommand->add_flag("--items", watch.items,
                           "Read each control's items too, and tell when they change");
    watchCommand
        ->add_option("--interval", intervalMs,
                     "Read again every this many milliseconds what the system's events do not "
                     "tell of (default 500)")
        ->check(WholeNumber("--interval", kMinWatchIntervalMs, kMaxDeadlineMs, complaint))
        ->option_text("MS");
    watchCommand->add_option("--duration", durationSeconds, "End after this many seconds")
        ->check(WholeNumber("--duration", 1, kMaxDeadlineMs / 1000, complaint))
        ->option_text("S");
    watchCommand->add_option("--count", changeCount, "End after this many changes")
        ->check(WholeNumber("--count", 1, kMaxDepth, complaint))
        ->option_text("N");
    watchCommand
        ->add_option("--until-text", untilText,
                     "End once a window of the tree shows a text that holds this (at once when "
                     "one does already)")
        ->option_text("TEXT");
    AddTimeout(*watchCommand, watchTimeoutMs, complaint);

    DiffRequest diff;
    std::string diffBefore;
    std::string diffAfter;
    std::string diffOutput;
    FormatOption<DiffFormat> diffFormat(
        {{"text", DiffFormat::Text}, {"jsonl", DiffFormat::JsonLines}});
    CLI::App* diffCommand = app.add_subcommand(
        "diff",
        "Two dumps of a window compared: the windows added and removed, and those whose text or "
        "items changed, or that were shown, hidden, enabled or disabled");
    diffCommand->footer(kDiffFooter);
    diffCommand->add_option("BEFORE", diffBefore, "The earlier dump's file (json or jsonl)")
        ->required()
        ->option_text("FILE");
    diffCommand->add_option("AFTER", diffAfter, "The later dump's file")
        ->required()
        ->option_text("FILE");
    diffFormat.AddTo(*diffCommand,
                     ": text (the default) writes a line per change, jsonl a JSON object per "
                     "change with the old and new values, then a summary",
                     complaint);
    AddOutput(*diffCommand, diffOutput);

    CLI::App* serveCommand = app.add_subcommand(
        "serve",
        "A server for agents on the standard input and output: the Model Context Protocol, one "
        "JSON-RPC message a line, with tools that list, dump and find windows, read a control's "
        "items and wait for a control's text");
    serveCommand->footer(kServeFooter);

    const std::vector<std::string> words = WithHelpWords(arguments);
    const auto command = [&]() -> const CLI::App* {
        const auto named = app.get_subcommands();
        return named.empty() ? nullptr : named.front();
    };
    try {
        app.parse(std::vector<std::string>(words.rbegin(), words.rend()));
    } catch (const CLI::Success& done) {
        if (const std::string unknown = UnknownWord(app, command()); !unknown.empty()) {
            return UsageError(unknown);
        }
        std::ostringstream out;
        std::ostringstream err;
        app.exit(done, out, err);
        return {std::nullopt, ExitCode::kDone, out.str(), {}};
    } catch (const CLI::ParseError& error) {
        if (const std::string unknown = UnknownWord(app, command()); !unknown.empty()) {
            return UsageError(unknown);
        }
        if (!complaint.Said().empty()) {
            return UsageError(complaint.Said());
        }
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
            return UsageError(OptionOf(error) + " needs a value");
        }
        if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
            return UsageError(OptionOf(error) + " takes no value");
        }
        if (dumpCommand->parsed()) {
            if (const std::string problem = selector.Problem("dump"); !problem.empty()) {
                return UsageError(problem);
            }
        }
        if (findCommand->parsed()) {
            if (const std::string problem = findSelector.Problem("find"); !problem.empty()) {
                return UsageError(problem);
            }
        }
        if (watchCommand->parsed()) {
            if (const std::string problem = watchSelector.Problem("watch"); !problem.empty()) {
                return UsageError(problem);
            }
        }
        if (diffCommand->parsed() && diffCommand->count("AFTER") == 0) {
            return UsageError("diff needs two files: the earlier dump and the later one");
        }
        std::string message = error.what();
        std::replace(message.begin(), message.end(), '\n', ' ');
        return UsageError(message);
    }
    if (const std::string unknown = UnknownWord(app, command()); !unknown.empty()) {
        return UsageError(unknown);
    }
    if (listCommand->parsed()) {
        list.format = listFormat.Chosen(list.format);
        list.deadline = DeadlineOf(listDeadlineMs);
        return {list, ExitCode::kDone, {}, {}};
    }
    if (findCommand->parsed()) {
        find.format = findFormat.Chosen(find.format);
        find.output = Utf8ToText(findOutput);
        find.deadline = DeadlineOf(findDeadlineMs);
        if (findSelector.Given()) {
            find.selector = findSelector.Selected();
        }
        std::vector<std::string> described;
        const auto matching = [&](const std::string& option, const std::string& value,
                                  TextMatch::Extent extent, std::optional<TextMatch>& match) {
            if (findCommand->count(option) == 0) {
                return std::string();
            }
            described.push_back(option + " \"" + value + "\"");
            try {
                match.emplace(Utf8ToText(value), TextMatch::Options{extent, ignoreCase, regex});
            } catch (const std::regex_error& error) {
                return option + " \"" + value + "\" is not a regular expression: " + error.what();
            }
            return std::string();
        };
        for (const std::string& problem :
             {matching("--text", wholeText, TextMatch::Extent::Whole, find.criteria.wholeText),
              matching("--text-contains", textPart, TextMatch::Extent::Part,
                       find.criteria.textPart)}) {
            if (!problem.empty()) {
                return UsageError(problem);
            }
        }
        if (findCommand->count("--class") > 0) {
            find.criteria.className = Utf8ToText(controlClass);
            described.push_back("--class \"" + controlClass + "\"");
        }
        if (findCommand->count("--id") > 0) {
            find.criteria.controlId = std::stoll(controlId);
            described.push_back("--id " + controlId);
        }
        if (described.empty()) {
            return UsageError(
                "find needs at least one of --text, --text-contains, --class or --id");
        }
        for (const char* flag : {"--ignore-case", "--regex"}) {
            if (findCommand->count(flag) > 0) {
                described.emplace_back(flag);
            }
        }
        for (const std::string& part : described) {
            find.described += (find.described.empty() ? "" : " ") + part;
        }
        return {find, ExitCode::kDone, {}, {}};
    }
    if (watchCommand->parsed()) {
        watch.selector = watchSelector.Selected();
        if (watchCommand->count("--path") > 0) {
            watch.path = Utf8ToText(watchPath);
        }
        watch.interval = std::chrono::milliseconds(intervalMs);
        watch.timeout = std::chrono::milliseconds(watchTimeoutMs);
        if (durationSeconds != 0) {
            watch.duration = std::chrono::seconds(durationSeconds);
        }
        if (changeCount != 0) {
            watch.count = static_cast<std::size_t>(changeCount);
        }
        if (watchCommand->count("--until-text") > 0) {
            watch.untilText = Utf8ToText(untilText);
        }
        return {watch, ExitCode::kDone, {}, {}};
    }
    if (diffCommand->parsed()) {
        diff.before = Utf8ToText(diffBefore);
        diff.after = Utf8ToText(diffAfter);
        diff.format = diffFormat.Chosen(diff.format);
        diff.output = Utf8ToText(diffOutput);
        return {diff, ExitCode::kDone, {}, {}};
    }
    if (serveCommand->parsed()) {
        return {ServeRequest{}, ExitCode::kDone, {}, {}};
    }
    if (!dumpCommand->parsed()) {
        return UsageError("a command is needed: " + Listed(CommandNames(app), " or ") +
                          " (see tessivane-cli --help)");
    }
    dump.format = dumpFormat.Chosen(dump.format);
    if (dump.items && dump.format == DumpFormat::Text) {
        std::vector<std::string> others = dumpFormat.Names();
        std::erase(others, "text");
        return UsageError("--items needs --format " + Listed(others, " or ") +
                          ": the text format is the results list's aligned text");
    }
    dump.selector = selector.Selected();
    dump.output = Utf8ToText(output);
    if (dumpCommand->count("--path") > 0) {
        dump.path = Utf8ToText(path);
    }
    dump.timeout = std::chrono::milliseconds(timeoutMs);
    dump.deadline = DeadlineOf(dumpDeadlineMs);
    return {dump, ExitCode::kDone, {}, {}};
}
