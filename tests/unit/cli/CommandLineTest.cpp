// tessivane-cli's command line: sub-commands and options, the selector's handles and process ids,
// help, version and usage errors.
#include <gtest/gtest.h>

#include <variant>

#include "Version.h"
#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/Selection.h"

namespace {

DumpRequest Dump(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_TRUE(parsed.request.has_value()) << parsed.error;
    EXPECT_TRUE(parsed.request && std::holds_alternative<DumpRequest>(*parsed.request));
    return parsed.request ? std::get<DumpRequest>(*parsed.request) : DumpRequest{};
}

// A usage error: no request, exit code 1 and CLI11's words on standard error.
std::string UsageError(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_FALSE(parsed.request.has_value());
    EXPECT_EQ(parsed.exitCode, ExitCode::kUsage);
    EXPECT_TRUE(parsed.out.empty());
    return parsed.error;
}

}  // namespace

TEST(HandleArgument, TakesSignedDecimalAndAll32BitsInHexadecimal) {
    EXPECT_EQ(ParseHandleArgument("65620"), 65620);
    EXPECT_EQ(ParseHandleArgument("0x10054"), 0x10054);
    EXPECT_EQ(ParseHandleArgument("0X1a2B"), 0x1A2B);
    // As the window list prints a handle with its top bit set, and as the system writes it.
    EXPECT_EQ(ParseHandleArgument("-2147483000"), -2147483000);
    EXPECT_EQ(ParseHandleArgument("0x80000288"), -2147483000);
    EXPECT_EQ(ParseHandleArgument("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseHandleArgument("2147483647"), 2147483647);
    for (const char* wrong : {"", "0x", "12a", "0x1G", "2147483648", "-2147483649", "0x100000000",
                              "0x-5", "+-1", " 12", "12 ", "1e3"}) {
        EXPECT_FALSE(ParseHandleArgument(wrong).has_value()) << wrong;
    }
}

TEST(ProcessIdArgument, TakesUnsigned32BitsInDecimalOrHexadecimal) {
    EXPECT_EQ(ParseProcessIdArgument("4242"), 4242u);
    EXPECT_EQ(ParseProcessIdArgument("0x20"), 32u);
    EXPECT_EQ(ParseProcessIdArgument("4294967295"), 4294967295u);
    for (const char* wrong : {"", "-1", "4294967296", "pid", "0x"}) {
        EXPECT_FALSE(ParseProcessIdArgument(wrong).has_value()) << wrong;
    }
}

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

TEST(CommandLine, UsageErrorsExitWithOneAndCli11sMessage) {
    EXPECT_NE(UsageError({}).find("subcommand"), std::string::npos);
    EXPECT_NE(UsageError({"show"}).find("subcommand"), std::string::npos);
    EXPECT_NE(UsageError({"dump"}).find("--title-contains"), std::string::npos);
    EXPECT_NE(UsageError({"dump", "--title", "a", "--class", "b"}).find("2 were given"),
              std::string::npos);
    EXPECT_NE(UsageError({"dump", "--handle", "12x"}).find("12x"), std::string::npos);
    EXPECT_NE(UsageError({"dump", "--pid", "-4"}).find("process id"), std::string::npos);
    EXPECT_NE(UsageError({"dump", "--class", "a", "--format", "xml"}).find("xml"),
              std::string::npos);
    EXPECT_NE(UsageError({"dump", "--class", "a", "--timeout", "0"}).find("--timeout"),
              std::string::npos);
    EXPECT_NE(UsageError({"dump", "--class", "a", "--max-depth", "-1"}).find("--max-depth"),
              std::string::npos);
    EXPECT_NE(UsageError({"dump", "--class", "a", "--items", "--format", "text"}).find("--items"),
              std::string::npos);
    EXPECT_NE(UsageError({"list", "--format", "text"}).find("text"), std::string::npos);
    EXPECT_NE(UsageError({"list", "--handle", "1"}).find("--handle"), std::string::npos);
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
                             "--timeout", "--output", "--first"}) {
        EXPECT_NE(dumpHelp.out.find(part), std::string::npos) << part;
    }
    EXPECT_NE(ParseCommandLine({"list", "-h"}).out.find("--all"), std::string::npos);

    const ParsedCommandLine version = ParseCommandLine({"--version"});
    EXPECT_EQ(version.exitCode, ExitCode::kDone);
    EXPECT_EQ(version.out, std::string("tessivane-cli ") + TESSIVANE_VERSION_TEXT + "\n");
}
