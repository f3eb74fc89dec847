// The table of tessivane-cli's commands: each has a name and a summary, and its help names every
// option it declares and its exit codes; and the hidden command that reads a console.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/commands/CommandTable.h"
#include "cli/commands/ConsoleReadCommand.h"

namespace {

// The names of the options declared on the command, those of its groups (the selector) too.
std::vector<std::string> DeclaredNames(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options()) {
        names.push_back(option->get_name());
    }
    for (const CLI::App* group : command.get_subcommands({})) {
        for (const std::string& name : DeclaredNames(*group)) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace

TEST(CommandTable, EachCommandsHelpNamesEveryOptionItDeclares) {
    ASSERT_FALSE(CommandTable().empty());
    for (const CommandEntry& entry : CommandTable()) {
        SCOPED_TRACE(entry.name);
        EXPECT_FALSE(std::string(entry.name).empty());
        EXPECT_FALSE(std::string(entry.summary).empty());
        CLI::App program;
        CLI::App* command = program.add_subcommand(entry.name, entry.summary);
        Complaint complaint;
        const std::unique_ptr<CommandOptions> options = entry.declare(*command, complaint);
        EXPECT_TRUE(options);
        const std::string help = ParseCommandLine({entry.name, "--help"}).out;
        EXPECT_NE(help.find("Exit codes:"), std::string::npos);
        for (const std::string& name : DeclaredNames(*command)) {
            EXPECT_NE(help.find(name), std::string::npos) << name;
        }
    }
}

TEST(ConsoleReadCommand, TakesItsWordAndTwoNumbersOnly) {
    const std::optional<ConsoleReadRequest> read =
        ParseConsoleRead({"--console-lines", "-1234", "4096"});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->console, -1234);
    EXPECT_EQ(read->maxUnits, 4096u);
    EXPECT_EQ(ParseConsoleRead({"--console-lines", "x", "9"})->console, 0);
    for (const std::vector<std::string>& other :
         {std::vector<std::string>{"--console-lines", "1"},
          std::vector<std::string>{"--console-lines", "1", "2", "3"},
          std::vector<std::string>{"list", "1", "2"}, std::vector<std::string>{}}) {
        EXPECT_FALSE(ParseConsoleRead(other));
    }
}
