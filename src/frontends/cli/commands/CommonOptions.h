// The option kinds that several commands take, each declared once: the window selectors,
// -f/--format, -o/--output, --path, --timeout and --deadline, and the checks of their values.
#pragma once

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/CliRequest.h"

// The longest wait for one message that --timeout takes: an hour.
inline constexpr int kMaxTimeoutMs = 60 * 60 * 1000;
// The longest --deadline: a day.
inline constexpr int kMaxDeadlineMs = 24 * 60 * 60 * 1000;
// The deepest --max-depth: no walk goes deeper, since it ends at this many rows.
inline constexpr int kMaxDepth = static_cast<int>(kMaxRowsPerWalk);

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
[[nodiscard]] CLI::Validator WholeNumber(const std::string& option, int low, int high,
                                         Complaint& complaint);

// Words joined as a sentence lists them: "a, b or c".
[[nodiscard]] std::string Listed(const std::vector<std::string>& words,
                                 const std::string& lastJoin);

// The text with A to Z made a to z.
[[nodiscard]] std::string Lowercase(std::string text);

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

// The formats of a list of windows (list's, and find's, each window found a row).
[[nodiscard]] FormatOption<ListFormat> WindowListFormats();

// The selector's options, of which the command line must give exactly one.
class SelectorOptions {
public:
    // classOption: the name of the option that selects by class. Without required, the command
    // takes at most one.
    void AddTo(CLI::App& command, Complaint& complaint, const std::string& what,
               const std::string& classOption, bool required);

    // What is wrong with the selectors given, or nothing when exactly one is.
    [[nodiscard]] std::string Problem(const std::string& command) const;

    [[nodiscard]] bool Given() const;

    [[nodiscard]] Selector Selected() const;

private:
    std::string m_handle;
    std::string m_processId;
    std::string m_point;
    Text m_text;
    Selector::By m_by = Selector::By::Handle;
    CLI::Option_group* m_group = nullptr;
    bool m_required = true;
};

// The options that name the tree a command reads (dump's, watch's): exactly one selector for its
// root, --all, --first, --path and --items.
struct TreeOptions {
    SelectorOptions selector;
    bool all = false;
    bool first = false;
    std::string path;
    bool items = false;

    // verb: what the command does to the window, as help says it ("dump", "watch"); itemsHelp:
    // what --items does.
    void AddTo(CLI::App& command, Complaint& complaint, const std::string& verb,
               const std::string& itemsHelp);
};

// Adds --deadline to the command: its milliseconds go to deadlineMs, which stays 0 without it.
void AddDeadline(CLI::App& command, int& deadlineMs, Complaint& complaint);

// Adds --path to the command (what: "Dump", "Watch"): the path goes to path.
void AddPath(CLI::App& command, std::string& path, const std::string& what, Complaint& complaint);

// Adds --timeout to the command: the milliseconds go to timeoutMs.
void AddTimeout(CLI::App& command, int& timeoutMs, Complaint& complaint);

// Adds -o/--output to the command: the file's path goes to output, which stays empty without it.
void AddOutput(CLI::App& command, std::string& output);

// The bound --deadline gave: nothing when deadlineMs stayed 0.
[[nodiscard]] std::optional<std::chrono::milliseconds> DeadlineOf(int deadlineMs);

// What --path gave: nothing when the command line has no --path.
[[nodiscard]] std::optional<Text> PathOf(const CLI::App& command, const std::string& path);
