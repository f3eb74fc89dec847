// The option kinds that several commands take, and the checks of their values.
#include "cli/commands/CommonOptions.h"

#include <charconv>

#include "finding/ControlPath.h"
#include "finding/Selection.h"

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

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char letter) {
        return static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    });
    return text;
}

FormatOption<ListFormat> WindowListFormats() {
    return FormatOption<ListFormat>({{"table", ListFormat::Table},
                                     {"json", ListFormat::Json},
                                     {"jsonl", ListFormat::JsonLines},
                                     {"csv", ListFormat::Csv},
                                     {"tsv", ListFormat::Tsv}});
}

void SelectorOptions::AddTo(CLI::App& command, Complaint& complaint, const std::string& what,
                            const std::string& classOption, bool required) {
    m_required = required;
    m_group = command.add_option_group("selector", what);
    const auto chosen = [this](Selector::By way) {
        return [this, way](const std::string& value) {
            m_by = way;
            m_text = Utf8ToText(value);
        };
    };
    // An option whose value must read as parse reads it.
    const auto checked = [&](const std::string& name, std::string& value, const std::string& help,
                             auto parse, const std::string& expected, const std::string& shape,
                             Selector::By way) {
        m_group->add_option(name, value, help)
            ->check(Checked(parse, name, expected, complaint))
            ->option_text(shape)
            ->each(chosen(way));
    };
    checked("--handle", m_handle,
            "The window with this handle, in decimal or 0x hexadecimal (any window, top-level or "
            "child)",
            ParseHandleArgument, "a window handle in decimal or 0x hexadecimal", "HANDLE",
            Selector::By::Handle);
    m_group->add_option_function<std::string>("--title", chosen(Selector::By::Title),
                                              "The top-level window with exactly this title");
    m_group->add_option_function<std::string>("--title-contains",
                                              chosen(Selector::By::TitleContains),
                                              "The top-level window whose title holds this text");
    m_group->add_option_function<std::string>(
        classOption, chosen(Selector::By::Class),
        "The top-level window of this class (case does not matter)");
    checked("--pid", m_processId, "The top-level window of the process with this id",
            ParseProcessIdArgument, "a process id in decimal or 0x hexadecimal", "PID",
            Selector::By::Process);
    m_group->add_flag_callback(
        "--foreground", [this] { m_by = Selector::By::Foreground; },
        "The window the user works in now, the foreground window");
    checked("--at", m_point,
            "The deepest window at this point on screen, in pixels from the main screen's top "
            "left corner, as picking in the window chooses it",
            ParsePointArgument, "a point on screen as X,Y in whole pixels, such as 640,360", "X,Y",
            Selector::By::Point);
    if (m_required) {
        m_group->require_option(1);
    } else {
        m_group->require_option(0, 1);
    }
}

std::string SelectorOptions::Problem(const std::string& command) const {
    std::vector<std::string> all;
    std::vector<std::string> given;
    for (const CLI::Option* option : m_group->get_options()) {
        if (option == m_group->get_help_ptr()) {
            continue;  // the group's own --help, which CLI11 gives every group
        }
        all.push_back(option->get_name());
        if (option->count() > 0) {
            given.push_back(option->get_name());
        }
    }
    if (given.empty()) {
        return m_required ? command + " needs a selector: one of " + Listed(all, " or ")
                          : std::string();
    }
    return given.size() == 1 ? std::string()
                             : command + " takes one selector, not " + Listed(given, " and ");
}

bool SelectorOptions::Given() const {
    const auto options = m_group->get_options();
    return std::any_of(options.begin(), options.end(), [this](const CLI::Option* option) {
        return option != m_group->get_help_ptr() && option->count() > 0;
    });
}

Selector SelectorOptions::Selected() const {
    Selector selector{m_by, 0, {}, 0, {}};
    if (m_by == Selector::By::Handle) {
        selector.handle = *ParseHandleArgument(m_handle);
    } else if (m_by == Selector::By::Process) {
        selector.processId = *ParseProcessIdArgument(m_processId);
    } else if (m_by == Selector::By::Point) {
        selector.point = *ParsePointArgument(m_point);
    } else {
        selector.text = m_text;
    }
    return selector;
}

void TreeOptions::AddTo(CLI::App& command, Complaint& complaint, const std::string& verb,
                        const std::string& itemsHelp) {
    selector.AddTo(command, complaint,
                   "Which window to " + verb + ": exactly one of these (text is matched exactly)",
                   "--class", true);
    command.add_flag("--all", all,
                     "Let the selector find owned, untitled and hidden top-level windows too");
    command.add_flag("--first", first,
                     "When several windows (or controls on --path) match, " + verb + " the first");
    const std::string capitalised = static_cast<char>(verb.front() - 'a' + 'A') + verb.substr(1);
    AddPath(command, path, capitalised, complaint);
    command.add_flag("--items", items, itemsHelp);
}

void AddDeadline(CLI::App& command, int& deadlineMs, Complaint& complaint) {
    command
        .add_option("--deadline", deadlineMs,
                    "End the command after this many milliseconds, keeping what was written: no "
                    "more windows are read (a message already sent still waits for its answer), "
                    "the JSON summary says \"deadline\":true and the exit code is 4")
        ->check(WholeNumber("--deadline", 1, kMaxDeadlineMs, complaint))
        ->option_text("MS");
}

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

void AddTimeout(CLI::App& command, int& timeoutMs, Complaint& complaint) {
    command
        .add_option("--timeout", timeoutMs,
                    "How long each window's text message waits for its answer, in "
                    "milliseconds (default 500; each item message waits 500)")
        ->check(WholeNumber("--timeout", 1, kMaxTimeoutMs, complaint))
        ->option_text("MS");
}

void AddOutput(CLI::App& command, std::string& output) {
    command
        .add_option("-o,--output", output,
                    "Write to this file (replaced only once it is whole) instead of the standard "
                    "output")
        ->option_text("FILE");
}

std::optional<std::chrono::milliseconds> DeadlineOf(int deadlineMs) {
    if (deadlineMs == 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(deadlineMs);
}

std::optional<Text> PathOf(const CLI::App& command, const std::string& path) {
    if (command.count("--path") == 0) {
        return std::nullopt;
    }
    return Utf8ToText(path);
}
