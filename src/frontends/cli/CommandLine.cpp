// The command line of tessivane-cli: the program's description, --version, the help words and
// the loop over the table of commands, whose options each command declares in its own file.
#include "cli/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>
#include <utility>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "cli/Commands.h"
#include "cli/commands/CommandTable.h"
#include "core/ExitCodes.h"
#include "finding/ControlPath.h"
#include "finding/Selection.h"

namespace {

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

// The program with each command of the table declared on it, and what holds each one's options.
struct DeclaredProgram {
    CLI::App app{kDescription, kProgram};
    std::vector<std::pair<CLI::App*, std::unique_ptr<CommandOptions>>> commands;
    Complaint complaint;

    DeclaredProgram() {
        app.set_version_flag("--version", std::string(kProgram) + " " + TESSIVANE_VERSION_TEXT);
        // Words the program does not know are told in its own words below, as are missing
        // commands.
        app.allow_extras();
        app.require_subcommand(0, 1);
        // An option given twice takes its last value, so that a script can override what it
        // passed.
        app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app.footer(kProgramFooter);
        for (const CommandEntry& entry : CommandTable()) {
            CLI::App* command = app.add_subcommand(entry.name, entry.summary);
            commands.emplace_back(command, entry.declare(*command, complaint));
        }
    }

    // The command named on the command line and its options; nothing when none was named.
    [[nodiscard]] const std::pair<CLI::App*, std::unique_ptr<CommandOptions>>* Named() const {
        const auto named = std::find_if(commands.begin(), commands.end(), [](const auto& command) {
            return command.first->parsed();
        });
        return named != commands.end() ? &*named : nullptr;
    }
};

// The command that CLI11 took the command line's words for; nothing when none was named.
const CLI::App* CommandOf(const CLI::App& program) {
    const auto named = program.get_subcommands();
    return named.empty() ? nullptr : named.front();
}

// What is wrong with a command line that CLI11 refused, in the program's words.
ParsedCommandLine Refused(const DeclaredProgram& program, const CLI::ParseError& error) {
    if (const std::string unknown = UnknownWord(program.app, CommandOf(program.app));
        !unknown.empty()) {
        return UsageError(unknown);
    }
    if (!program.complaint.Said().empty()) {
        return UsageError(program.complaint.Said());
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return UsageError(OptionOf(error) + " needs a value");
    }
    if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
        return UsageError(OptionOf(error) + " takes no value");
    }
    if (const auto* named = program.Named(); named != nullptr) {
        if (const std::string problem = named->second->Problem(*named->first); !problem.empty()) {
            return UsageError(problem);
        }
    }
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    return UsageError(message);
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    DeclaredProgram program;
    const std::vector<std::string> words = WithHelpWords(arguments);
    try {
        program.app.parse(std::vector<std::string>(words.rbegin(), words.rend()));
    } catch (const CLI::Success& done) {
        if (const std::string unknown = UnknownWord(program.app, CommandOf(program.app));
            !unknown.empty()) {
            return UsageError(unknown);
        }
        std::ostringstream out;
        std::ostringstream err;
        program.app.exit(done, out, err);
        return {std::nullopt, ExitCode::kDone, out.str(), {}};
    } catch (const CLI::ParseError& error) {
        return Refused(program, error);
    }
    if (const std::string unknown = UnknownWord(program.app, CommandOf(program.app));
        !unknown.empty()) {
        return UsageError(unknown);
    }
    const auto* named = program.Named();
    if (named == nullptr) {
        return UsageError("a command is needed: " + Listed(CommandNames(program.app), " or ") +
                          " (see tessivane-cli --help)");
    }
    RequestOrProblem built = named->second->Request(*named->first);
    if (const std::string* problem = std::get_if<std::string>(&built)) {
        return UsageError(*problem);
    }
    return {std::get<CliRequest>(std::move(built)), ExitCode::kDone, {}, {}};
}
