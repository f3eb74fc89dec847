// tessivane-cli's requests run, and their failures on standard error.
#include "cli/Cli.h"

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

}  // namespace

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
        console.Out(parsed.out);
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
