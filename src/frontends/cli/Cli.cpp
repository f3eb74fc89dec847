// tessivane-cli's requests run, and their failures on standard error.
#include "cli/Cli.h"

#include <algorithm>
#include <variant>

#include "cli/Commands.h"
#include "core/ExitCodes.h"
#include "core/Failure.h"
#include "core/Steps.h"

namespace {

// A failed numbered step as one line: what the error report box says, without its request.
class StandardErrorReporter final : public Reporter {
public:
    explicit StandardErrorReporter(Console& console) noexcept : m_console(console) {}

    void ReportFailure(TextView location, int line, const Text& description) override {
        m_console.Error(std::string(kMessagePrefix) + TextToUtf8(description) + " (in " +
                        TextToUtf8(location) + " at line " + std::to_string(line) + ")\n");
    }

private:
    Console& m_console;
};

// The characters in UTF-8 text: its bytes but those that go on a character.
std::size_t Characters(std::string_view utf8) {
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & kContinuationMask) != kContinuation;
    }));
}

// The bytes of the longest start of text that holds at most count characters.
std::size_t BytesOf(std::string_view text, std::size_t count) {
    std::size_t bytes = 0;
    while (bytes < text.size() && Characters(text.substr(0, bytes + 1)) <= count) {
        ++bytes;
    }
    return bytes;
}

// Where a line's continuation starts: its description's column in a table of options ("  --at
// X,Y   The deepest..."), when that leaves room, else its own indent.
std::size_t HangingIndent(std::string_view line, std::size_t width) {
    const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
    const std::size_t gap = line.find("  ", indent);
    const std::size_t column =
        gap == std::string_view::npos ? gap : line.find_first_not_of(' ', gap);
    if (column != std::string_view::npos && Characters(line.substr(0, column)) * 2 <= width) {
        return Characters(line.substr(0, column));
    }
    return indent * 2 <= width ? indent : 0;
}

// One line broken into lines of at most width characters, at spaces where there are any.
void AppendWrapped(std::string_view line, std::size_t width, std::string& text) {
    const std::size_t hanging = HangingIndent(line, width);
    for (std::size_t lead = 0; Characters(line) + lead > width;) {
        const std::size_t fits = BytesOf(line, width - lead);
        std::size_t cut = line.rfind(' ', fits);
        if (cut == std::string_view::npos || cut <= line.find_first_not_of(' ')) {
            cut = fits;  // a word longer than the line is cut where the line ends
        }
        text.append(line.substr(0, cut)).append("\n").append(hanging, ' ');
        line.remove_prefix(std::min(line.find_first_not_of(' ', cut), line.size()));
        lead = hanging;
    }
    text.append(line);
}

}  // namespace

std::string WrappedLines(std::string_view text, std::size_t width) {
    std::string wrapped;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        AppendWrapped(text.substr(start, end - start), width, wrapped);
        if (end < text.size()) {
            wrapped += '\n';
        }
        start = end + 1;
    }
    return wrapped;
}

int Finished(Output& output, const DumpTally& tally, Console& console) {
    output.Finish();
    if (output.ReaderGone()) {
        return ExitCode::kDone;
    }
    const int exitCode = DumpExitCode(tally);
    if (exitCode == ExitCode::kIncomplete) {
        console.Error(std::string(kMessagePrefix) + MissingInWords(tally) + "\n");
    }
    return exitCode;
}

int PrintParsed(const ParsedCommandLine& parsed, Console& console) {
    try {
        console.Out(WrappedLines(parsed.out, console.TextWidth()));
    } catch (const Failure&) {
        // Help that cannot be shown changes nothing about the exit code.
    }
    console.Error(parsed.error);
    return parsed.exitCode;
}

std::chrono::milliseconds MessageTimeout(const CliRequest& request) noexcept {
    if (const auto* dump = std::get_if<DumpRequest>(&request)) {
        return dump->timeout;
    }
    const auto* watch = std::get_if<WatchRequest>(&request);
    return watch != nullptr ? watch->timeout : kTextMessageTimeout;
}

int RunRequest(const CliRequest& request, CliServices& services) {
    StandardErrorReporter reporter(services.console);
    try {
        if (const auto* list = std::get_if<ListRequest>(&request)) {
            return RunList(*list, services, reporter);
        }
        if (const auto* find = std::get_if<FindRequest>(&request)) {
            return RunFind(*find, services, reporter);
        }
        if (const auto* watch = std::get_if<WatchRequest>(&request)) {
            return RunWatch(*watch, services, reporter);
        }
        if (const auto* diff = std::get_if<DiffRequest>(&request)) {
            return RunDiff(*diff, services);
        }
        if (const auto* dump = std::get_if<DumpRequest>(&request)) {
            return RunDump(*dump, services, reporter);
        }
        // serve holds the standard input, which its own entry point hands it.
        throw Failure(u"serve cannot run as one request of another command.");
    } catch (...) {
        // The output could not be opened or written, or diff's input read: nothing else fails
        // outside a step.
        services.console.Error(std::string(kMessagePrefix) +
                               TextToUtf8(DescribeFailure(std::current_exception())) + "\n");
        return ExitCode::kUsage;
    }
}
