// tessivane-cli's command line: sub-commands and options, help, version and usage errors.
#include <gtest/gtest.h>

#include <sstream>
#include <variant>

#include "Version.h"
#include "cli/CommandLine.h"
#include "core/ExitCodes.h"
#include "unit/cli/CliHarness.h"

namespace {

DumpRequest Dump(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_TRUE(parsed.request.has_value()) << parsed.error;
    EXPECT_TRUE(parsed.request && std::holds_alternative<DumpRequest>(*parsed.request));
    return parsed.request ? std::get<DumpRequest>(*parsed.request) : DumpRequest{};
}

// A usage error: no request, exit code 1 and what is wrong on standard error.
std::string UsageError(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_FALSE(parsed.request.has_value());
    EXPECT_EQ(parsed.exitCode, ExitCode::kUsage);
    EXPECT_TRUE(parsed.out.empty());
    return parsed.error;
}

}  // namespace

TEST(CommandLine, ListTakesAllAndItsFormats) {
    const ParsedCommandLine plain = ParseCommandLine({"list"});
    ASSERT_TRUE(plain.request);
    const auto& list = std::get<ListRequest>(*plain.request);
    EXPECT_FALSE(list.all);
    EXPECT_EQ(list.format, ListFormat::Table);

    const ParsedCommandLine all = ParseCommandLine({"list", "--all", "--format", "JSON"});
    ASSERT_TRUE(all.request);
    EXPECT_TRUE(std::get<ListRequest>(*all.request).all);
    EXPECT_EQ(std::get<ListRequest>(*all.request).format, ListFormat::Json);
    EXPECT_EQ(std::get<ListRequest>(*ParseCommandLine({"list", "--format=tsv"}).request).format,
              ListFormat::Tsv);
}

TEST(CommandLine, DumpTakesEachSelectorAndItsOptions) {
    const DumpRequest byHandle = Dump({"dump", "--handle", "0x10054"});
    EXPECT_EQ(byHandle.selector.by, Selector::By::Handle);
    EXPECT_EQ(byHandle.selector.handle, 0x10054);
    EXPECT_EQ(byHandle.format, DumpFormat::Json);
    EXPECT_TRUE(byHandle.output.empty());
    EXPECT_EQ(byHandle.timeout, kTextMessageTimeout);
    EXPECT_EQ(byHandle.maxDepth, kNoDepthLimit);
    EXPECT_FALSE(byHandle.items || byHandle.first || byHandle.all);

    // Titles in any script, as UTF-8 arguments.
    const DumpRequest byTitle = Dump({"dump", "--title", "\xCE\x95\xCE\xBB \xF0\x9D\x84\x9E"});
    EXPECT_EQ(byTitle.selector.by, Selector::By::Title);
    EXPECT_EQ(byTitle.selector.text, u"\u0395\u03bb \U0001D11E");
    const DumpRequest containing = Dump({"dump", "--title-contains", "Note"});
    EXPECT_EQ(containing.selector.by, Selector::By::TitleContains);
    EXPECT_EQ(containing.selector.text, u"Note");
    const DumpRequest byClass = Dump({"dump", "--class", "Notepad"});
    EXPECT_EQ(byClass.selector.by, Selector::By::Class);
    EXPECT_EQ(byClass.selector.text, u"Notepad");
    const DumpRequest byProcess = Dump({"dump", "--pid", "4242"});
    EXPECT_EQ(byProcess.selector.by, Selector::By::Process);
    EXPECT_EQ(byProcess.selector.processId, 4242u);

    const DumpRequest everything =
        Dump({"dump", "--class", "X", "--items", "--format", "tsv", "--output", "out\xC3\xA9.tsv",
              "--timeout", "1500", "--max-depth", "0", "--first", "--all"});
    EXPECT_TRUE(everything.items && everything.first && everything.all);
    EXPECT_EQ(everything.format, DumpFormat::Tsv);
    EXPECT_EQ(everything.output, u"out\u00e9.tsv");
    EXPECT_EQ(everything.timeout, std::chrono::milliseconds(1500));
    EXPECT_EQ(everything.maxDepth, 0);
    // An empty title is a title too.
    EXPECT_EQ(Dump({"dump", "--title", ""}).selector.by, Selector::By::Title);
}

TEST(CommandLine, UsageErrorsAreOneLineThatNamesWhatIsWrongAndWhatIsAllowed) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{},
         "a command is needed: list, dump, find, watch, diff or serve (see tessivane-cli --help)"},
        {{"show"},
         "unknown command \"show\": the commands are list, dump, find, watch, diff and serve (see "
         "tessivane-cli "
         "--help)"},
        {{"frobnicate", "--all"},
         "unknown command \"frobnicate\": the commands are list, dump, find, watch, diff and serve "
         "(see "
         "tessivane-cli "
         "--help)"},
        {{"help", "frobnicate"},
         "unknown command \"frobnicate\": the commands are list, dump, find, watch, diff and serve "
         "(see "
         "tessivane-cli "
         "--help)"},
        {{"--bogus"}, "unknown option \"--bogus\" (see tessivane-cli --help)"},
        {{"-V"}, "unknown option \"-V\" (see tessivane-cli --help)"},
        {{"--bogus", "list"}, "unknown option \"--bogus\" (see tessivane-cli --help)"},
        {{"list", "--handle", "1"},
         "list has no option \"--handle\" (see tessivane-cli list --help)"},
        {{"dump", "--bogus"}, "dump has no option \"--bogus\" (see tessivane-cli dump --help)"},
        {{"dump", "--class", "a", "extra"},
         "dump takes no word \"extra\" (see tessivane-cli dump --help)"},
        {{"dump"},
         "dump needs a selector: one of --handle, --title, --title-contains, --class, --pid, "
         "--foreground or "
         "--at"},
        {{"dump", "--title", "a", "--class", "b"},
         "dump takes one selector, not --title and --class"},
        {{"dump", "--title"}, "--title needs a value"},
        {{"dump", "--class", "a", "-o"}, "--output needs a value"},
        {{"dump", "--class", "a", "--all=maybe"}, "--all takes no value"},
        {{"dump", "--handle", "12x"},
         "--handle must be a window handle in decimal or 0x hexadecimal, not \"12x\""},
        {{"dump", "--pid", "-4"},
         "--pid must be a process id in decimal or 0x hexadecimal, not \"-4\""},
        {{"dump", "--class", "a", "--format", "xml"},
         "--format must be one of json, jsonl, csv, tsv, text, not \"xml\""},
        {{"dump", "--class", "a", "-f", "table"},
         "--format must be one of json, jsonl, csv, tsv, text, not \"table\""},
        {{"list", "--format", "text"},
         "--format must be one of table, json, jsonl, csv, tsv, not \"text\""},
        {{"dump", "--class", "a", "--timeout", "0"},
         "--timeout must be a whole number from 1 to 3600000, not \"0\""},
        {{"dump", "--class", "a", "--timeout", "3600001"},
         "--timeout must be a whole number from 1 to 3600000, not \"3600001\""},
        {{"dump", "--class", "a", "--max-depth", "-1"},
         "--max-depth must be a whole number from 0 to 1000000, not \"-1\""},
        {{"dump", "--class", "a", "--max-depth", "1e3"},
         "--max-depth must be a whole number from 0 to 1000000, not \"1e3\""},
        {{"list", "--deadline", "0"},
         "--deadline must be a whole number from 1 to 86400000, not \"0\""},
        {{"dump", "--class", "a", "--deadline", "1.5"},
         "--deadline must be a whole number from 1 to 86400000, not \"1.5\""},
        {{"dump", "--class", "a", "--items", "--format", "text"},
         "--items needs --format json, jsonl, csv or tsv: the text format is the results list's "
         "aligned "
         "text"},
    };
    for (const auto& [arguments, message] : cases) {
        EXPECT_EQ(UsageError(arguments), "tessivane-cli: " + message + "\n");
    }
}

TEST(CommandLine, HelpWordsShortOptionsAndRepeatedOptions) {
    const auto out = [](const std::vector<std::string>& arguments) {
        const ParsedCommandLine parsed = ParseCommandLine(arguments);
        EXPECT_EQ(parsed.exitCode, ExitCode::kDone);
        EXPECT_TRUE(parsed.error.empty()) << parsed.error;
        return parsed.out;
    };
    // "help" and "/?" ask for the same help as --help.
    const std::string help = out({"--help"});
    EXPECT_EQ(out({"help"}), help);
    EXPECT_EQ(out({"/?"}), help);
    EXPECT_EQ(out({"help", "dump"}), out({"dump", "--help"}));
    EXPECT_EQ(out({"list", "/?"}), out({"list", "--help"}));

    const DumpRequest shortened = Dump({"dump", "--class", "X", "-f", "CSV", "-o", "a.csv"});
    EXPECT_EQ(shortened.format, DumpFormat::Csv);
    EXPECT_EQ(shortened.output, u"a.csv");
    EXPECT_EQ(std::get<ListRequest>(*ParseCommandLine({"list", "-f", "json"}).request).format,
              ListFormat::Json);
    // The last of an option given twice counts, so a script can override what it passed.
    const DumpRequest overridden =
        Dump({"dump", "--title", "a", "--format", "csv", "--title", "b", "--format", "tsv"});
    EXPECT_EQ(overridden.selector.text, u"b");
    EXPECT_EQ(overridden.format, DumpFormat::Tsv);
    EXPECT_EQ(Dump({"dump", "--class", "a", "--max-depth", "1000000"}).maxDepth, 1000000);
}

TEST(CommandLine, JsonLinesAndDeadlineForBothCommands) {
    const DumpRequest dump = Dump({"dump", "--class", "X", "-f", "jsonl", "--deadline", "250"});
    EXPECT_EQ(dump.format, DumpFormat::JsonLines);
    EXPECT_EQ(dump.deadline, std::chrono::milliseconds(250));
    EXPECT_EQ(Dump({"dump", "--class", "X"}).deadline, std::nullopt);
    const ParsedCommandLine list = ParseCommandLine({"list", "-f", "JSONL", "--deadline", "9"});
    ASSERT_TRUE(list.request);
    EXPECT_EQ(std::get<ListRequest>(*list.request).format, ListFormat::JsonLines);
    EXPECT_EQ(std::get<ListRequest>(*list.request).deadline, std::chrono::milliseconds(9));
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputWithExitCodeZero) {
    const ParsedCommandLine help = ParseCommandLine({"--help"});
    EXPECT_FALSE(help.request);
    EXPECT_EQ(help.exitCode, ExitCode::kDone);
    EXPECT_TRUE(help.error.empty());
    for (const char* part : {"list", "dump", "--version", "Exit codes: 0 done"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }
    const ParsedCommandLine dumpHelp = ParseCommandLine({"dump", "--help"});
    for (const char* part : {"--handle", "--title-contains", "--pid", "--items", "--max-depth",
                             "--timeout", "--output", "--first", "--deadline", "jsonl"}) {
        EXPECT_NE(dumpHelp.out.find(part), std::string::npos) << part;
    }
    // Each command's help names its own options and exit codes, and gives examples of it.
    const std::string listHelp = ParseCommandLine({"list", "-h"}).out;
    for (const char* part :
         {"--all", "-f,--format", "Examples:", "tessivane-cli list --all", "--deadline", "jsonl"}) {
        EXPECT_NE(listHelp.find(part), std::string::npos) << part;
    }
    for (const char* part : {"--first", "--items", "--output", "; 3 ", "dump"}) {
        EXPECT_EQ(listHelp.find(part), std::string::npos) << part;
    }
    for (const char* part : {"-o,--output", "-f,--format", "Examples:", "tessivane-cli dump "}) {
        EXPECT_NE(dumpHelp.out.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(dumpHelp.out.find("tessivane-cli list"), std::string::npos);

    const ParsedCommandLine version = ParseCommandLine({"--version"});
    EXPECT_EQ(version.exitCode, ExitCode::kDone);
    EXPECT_EQ(version.out, std::string("tessivane-cli ") + TESSIVANE_VERSION_TEXT + "\n");
}

TEST(CommandLine, LongLinesWrapAtSpacesUnderTheirDescriptionsColumnOrTheirIndent) {
    const struct {
        std::string text;
        std::size_t width;
        std::string wrapped;
    } cases[] = {
        {"short line\nnext", 20, "short line\nnext"},
        {"one two three four", 9, "one two\nthree\nfour"},
        {"  --at X,Y    The deepest window there", 30,
         "  --at X,Y    The deepest\n              window there"},
        {"    indented words go on", 14, "    indented\n    words go\n    on"},
        {"abcdefghijkl", 5, "abcde\nfghij\nkl"},
        {"\xCE\xB1\xCE\xB2\xCE\xB3 \xCE\xB4\xCE\xB5", 4,
         "\xCE\xB1\xCE\xB2\xCE\xB3\n\xCE\xB4\xCE\xB5"},
        {"exactly ten", 11, "exactly ten"},
        {"", 10, ""},
        {"ends\n", 10, "ends\n"},
    };
    for (const auto& [text, width, wrapped] : cases) {
        EXPECT_EQ(WrappedLines(text, width), wrapped) << text;
    }
}

TEST(CommandLine, EachCommandsHelpFitsTheWidthOfTheOutput) {
    for (const char* command : {"list", "dump", "find", "watch", "diff", "serve", "--help"}) {
        std::vector<std::string> words{command};
        if (words[0] != "--help") {
            words.emplace_back("--help");
        }
        for (const std::size_t width : {kDefaultTextWidth, std::size_t{60}}) {
            RecordingConsole console;
            console.width = width;
            EXPECT_EQ(PrintParsed(ParseCommandLine(words), console), ExitCode::kDone);
            std::istringstream lines(console.out);
            for (std::string line; std::getline(lines, line);) {
                EXPECT_LE(line.size(), width) << command << ": " << line;
            }
        }
    }
}
