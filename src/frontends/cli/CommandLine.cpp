// The command line of tessivane-cli.
#include "cli/CommandLine.h"

#include <algorithm>
#include <map>
#include <sstream>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "cli/ExitCodes.h"
#include "cli/Selection.h"

namespace {

// The longest wait for one message that --timeout takes: an hour.
constexpr int kMaxTimeoutMs = 60 * 60 * 1000;

constexpr char kDescription[] =
    "Tessivane Window Text Reader on the command line: lists the desktop's windows, and dumps a "
    "window with all its child windows (class, handle, text, state and, on request, the items of "
    "lists, trees and other controls).";

constexpr char kExitCodes[] =
    "Exit codes: 0 done; 1 usage error (or the output file cannot be written); 2 no window "
    "matched; 3 the selector matched more than one window (listed on standard error; --first "
    "takes the first); 4 done, but something is missing: windows or items that did not answer in "
    "time, vanished or were cut (their status says which), or a step that failed (reported on "
    "standard error).";

// A validator that takes what parse takes and says why it does not.
template <typename Parse>
CLI::Validator Checked(Parse parse, const std::string& name, const std::string& expected) {
    return CLI::Validator(
        [parse, expected](std::string& value) {
            return parse(value) ? std::string() : expected + ", not \"" + value + "\"";
        },
        name);
}

// The selector's options, of which the command line must give exactly one.
struct SelectorOptions {
    std::string handle;
    std::string processId;
    Text text;
    Selector::By by = Selector::By::Handle;

    void AddTo(CLI::App& dump) {
        CLI::Option_group* group = dump.add_option_group(
            "selector", "Which window to dump: exactly one of these (text is matched exactly)");
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
            ->check(Checked(ParseHandleArgument, "HANDLE",
                            "a window handle in decimal or 0x hexadecimal"))
            ->option_text("HANDLE")
            ->each(chosen(Selector::By::Handle));
        group->add_option_function<std::string>("--title", chosen(Selector::By::Title),
                                                "The top-level window with exactly this title");
        group->add_option_function<std::string>("--title-contains",
                                                chosen(Selector::By::TitleContains),
                                                "The top-level window whose title holds this text");
        group->add_option_function<std::string>(
            "--class", chosen(Selector::By::Class),
            "The top-level window of this class (case does not matter)");
        group->add_option("--pid", processId, "The top-level window of the process with this id")
            ->check(Checked(ParseProcessIdArgument, "PID", "a process id"))
            ->option_text("PID")
            ->each(chosen(Selector::By::Process));
        group->require_option(1);
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

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CLI::App app(kDescription, "tessivane-cli");
    app.set_version_flag("--version", "tessivane-cli " TESSIVANE_VERSION_TEXT);
    app.require_subcommand(1);
    app.footer(kExitCodes);

    ListRequest list;
    CLI::App* listCommand = app.add_subcommand(
        "list",
        "The desktop's application windows, as the window list shows them: handle, "
        "class, title, process, visible, owner");
    listCommand->add_flag("--all", list.all,
                          "Every top-level window: owned ones (dialogs, message boxes), untitled "
                          "and hidden ones too, each with why the window list leaves it out");
    listCommand
        ->add_option("--format", list.format, "table (aligned, the default), json, csv or tsv")
        ->transform(
            CLI::CheckedTransformer(std::map<std::string, ListFormat>{{"table", ListFormat::Table},
                                                                      {"json", ListFormat::Json},
                                                                      {"csv", ListFormat::Csv},
                                                                      {"tsv", ListFormat::Tsv}},
                                    CLI::ignore_case))
        ->option_text("FORMAT");

    DumpRequest dump;
    SelectorOptions selector;
    std::string output;
    int timeoutMs = static_cast<int>(kTextMessageTimeout.count());
    CLI::App* dumpCommand = app.add_subcommand(
        "dump",
        "One window and all its child windows, depth first: handle, class, text, control "
        "id, parent, depth, visible, enabled, rectangle on screen and read status");
    selector.AddTo(*dumpCommand);
    dumpCommand->add_flag("--all", dump.all,
                          "Let the selector find owned, untitled and hidden top-level windows too");
    dumpCommand->add_flag("--first", dump.first,
                          "When several windows match, dump the first in Z order");
    dumpCommand->add_flag("--items", dump.items,
                          "Read each control's items too (list boxes, combo boxes, list views, "
                          "trees, tabs, headers, status bars, toolbars); not with --format text");
    dumpCommand
        ->add_option("--format", dump.format,
                     "json (the default: the tree nested), csv, tsv (one row per window) or text "
                     "(the aligned text that Copy Results To Clipboard makes)")
        ->transform(
            CLI::CheckedTransformer(std::map<std::string, DumpFormat>{{"json", DumpFormat::Json},
                                                                      {"csv", DumpFormat::Csv},
                                                                      {"tsv", DumpFormat::Tsv},
                                                                      {"text", DumpFormat::Text}},
                                    CLI::ignore_case))
        ->option_text("FORMAT");
    dumpCommand
        ->add_option("--output", output,
                     "Write to this file (replaced only once it is whole) instead of the standard "
                     "output")
        ->option_text("FILE");
    dumpCommand
        ->add_option("--timeout", timeoutMs,
                     "How long each window's text message waits for its answer, in "
                     "milliseconds (default 500; each item message waits 500)")
        ->check(CLI::Range(1, kMaxTimeoutMs))
        ->option_text("MS");
    dumpCommand
        ->add_option("--max-depth", dump.maxDepth,
                     "Walk no deeper than this many levels below the window (0: the window alone)")
        ->check(CLI::NonNegativeNumber)
        ->option_text("N");

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(std::move(reversed));
        if (dump.items && dump.format == DumpFormat::Text) {
            throw CLI::ValidationError(
                "--items",
                "needs --format json, csv or tsv: the text format is the results "
                "list's aligned text");
        }
    } catch (const CLI::ParseError& error) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = app.exit(error, out, err);
        return {std::nullopt, code == 0 ? ExitCode::kDone : ExitCode::kUsage, out.str(), err.str()};
    }
    if (listCommand->parsed()) {
        return {list, ExitCode::kDone, {}, {}};
    }
    dump.selector = selector.Selected();
    dump.output = Utf8ToText(output);
    dump.timeout = std::chrono::milliseconds(timeoutMs);
    return {dump, ExitCode::kDone, {}, {}};
}
