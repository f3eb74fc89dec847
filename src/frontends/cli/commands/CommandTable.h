// tessivane-cli's commands in one table: each one's name, its summary, and what declares its
// options (beside its help and examples, in the command's own file) and builds its request.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <variant>

#include <CLI/CLI.hpp>

#include "cli/CliRequest.h"
#include "cli/commands/CommonOptions.h"

// The request a command line comes to, or the usage problem that stops it.
using RequestOrProblem = std::variant<CliRequest, std::string>;

// One command's options as CLI11 fills them: raw values first, checked into a request after.
class CommandOptions {
public:
    CommandOptions() = default;
    CommandOptions(const CommandOptions&) = delete;
    CommandOptions& operator=(const CommandOptions&) = delete;
    virtual ~CommandOptions() = default;

    // After CLI11 refused the command line: what is wrong in the command's own words that
    // CLI11's message leaves unsaid; nothing when nothing is.
    [[nodiscard]] virtual std::string Problem(const CLI::App& command) const;
    // After CLI11 took the command line: the command's request, or the problem that stops it.
    [[nodiscard]] virtual RequestOrProblem Request(const CLI::App& command) const = 0;
};

// Declares a command's options, its footer and examples on its sub-command; answers what holds
// their values.
using DeclareCommand = std::unique_ptr<CommandOptions> (*)(CLI::App& command, Complaint& complaint);

struct CommandEntry {
    const char* name;
    // What help says the command gives.
    const char* summary;
    DeclareCommand declare;
};

// The commands, in the order help lists them.
[[nodiscard]] std::span<const CommandEntry> CommandTable();

// Each command's declaration, in its own file under commands/.
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareList(CLI::App& command, Complaint& complaint);
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareDump(CLI::App& command, Complaint& complaint);
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareFind(CLI::App& command, Complaint& complaint);
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareWatch(CLI::App& command, Complaint& complaint);
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareDiff(CLI::App& command, Complaint& complaint);
[[nodiscard]] std::unique_ptr<CommandOptions> DeclareServe(CLI::App& command, Complaint& complaint);
