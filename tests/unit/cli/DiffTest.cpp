// tessivane-cli diff on dumps of the fake desktop: both documents read, the changes in each
// format with their exit codes, windows of a new run matched by path, and input it cannot read.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "core/ExitCodes.h"
#include "support/JsonSchemaCheck.h"
#include "unit/cli/CliHarness.h"

namespace {

// A settings dialog: a label, an edit, a list box and a button.
struct DialogDesktop {
    CliHarness cli;
    WindowHandle top = 0;
    WindowHandle label = 0;
    WindowHandle edit = 0;
    WindowHandle list = 0;
    WindowHandle button = 0;

    // padding: windows made first, so that the dialog's handles differ from another run's.
    explicit DialogDesktop(int padding = 0) {
        for (int window = 0; window < padding; ++window) {
            static_cast<void>(cli.desktop.AddTopLevel(u"Other"));
        }
        top = cli.desktop.AddTopLevel(u"Settings");
        cli.desktop.At(top).className = u"#32770";
        label = cli.AddControl(top, u"Static", u"Name", 1);
        edit = cli.AddControl(top, u"Edit", u"Ann", 2);
        list = cli.AddControl(top, u"ListBox", u"", 3);
        button = cli.AddControl(top, u"Button", u"OK", 4);
    }

    // The dialog's dump in the format, with its controls' items when asked.
    std::string Dump(const std::string& format, bool items = false) {
        cli.console.out.clear();
        std::vector<std::string> arguments{"dump", "--handle", std::to_string(top), "-f", format};
        if (items) {
            arguments.push_back("--items");
        }
        EXPECT_EQ(cli.Run(arguments), ExitCode::kDone) << cli.console.error;
        return cli.console.out;
    }
};

struct DiffTest : ::testing::Test {
    DialogDesktop dialog;
    CliHarness& cli = dialog.cli;

    // Compares the two documents as files a.json and b.json; answers the exit code.
    int Diff(const std::string& before, const std::string& after,
             std::vector<std::string> options = {}) {
        cli.readFiles.contents[u"a.json"] = before;
        cli.readFiles.contents[u"b.json"] = after;
        cli.console.out.clear();
        cli.console.error.clear();
        std::vector<std::string> arguments{"diff", "a.json", "b.json"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return cli.Run(arguments);
    }

    // The dialog changed every way a diff tells.
    void ChangeTheDialog() {
        cli.desktop.At(dialog.label).text = u"Full \"name\"\n";
        cli.desktop.At(dialog.edit).visible = false;
        cli.desktop.At(dialog.button).enabled = false;
        cli.desktop.Remove(dialog.list);
        static_cast<void>(cli.AddControl(dialog.top, u"Button", u"Cancel", 5));
    }
};

}  // namespace

TEST_F(DiffTest, DumpsOfTheSameTreeDoNotDifferInEitherFormat) {
    const std::string json = dialog.Dump("json");
    const std::string lines = dialog.Dump("jsonl");
    for (const auto& [before, after] : {std::pair{json, json}, {json, lines}, {lines, json}}) {
        EXPECT_EQ(Diff(before, after), ExitCode::kDone) << cli.console.error;
        EXPECT_EQ(cli.console.out, "");
        EXPECT_EQ(cli.console.error, "");
    }
    // A byte order mark, as editors write one.
    EXPECT_EQ(Diff("\xEF\xBB\xBF" + json, "\xEF\xBB\xBF" + lines), ExitCode::kDone);
}

TEST_F(DiffTest, EachChangeIsALineAndTheExitCodeSaysTheyDiffer) {
    const std::string before = dialog.Dump("json");
    ChangeTheDialog();
    ASSERT_EQ(Diff(before, dialog.Dump("jsonl")), ExitCode::kDiffers) << cli.console.error;
    EXPECT_EQ(cli.console.out,
              "changed text   Static#1   \"Name\" -> \"Full \\\"name\\\"\\n\"\n"
              "hidden         Edit#2\n"
              "removed        ListBox#3  ListBox \"\"\n"
              "disabled       Button#4\n"
              "added          Button#5   Button \"Cancel\"\n");
}

TEST_F(DiffTest, JsonLinesGiveEachChangeThenASummaryThatTheSchemaTakes) {
    const std::string before = dialog.Dump("jsonl");
    ChangeTheDialog();
    ASSERT_EQ(Diff(before, dialog.Dump("json"), {"-f", "jsonl", "-o", "changes.jsonl"}),
              ExitCode::kDiffers);
    EXPECT_EQ(cli.console.out, "");
    const auto [lines, violations] =
        CheckJsonLines(ReadSchemaFile(TESSIVANE_CLI_SCHEMA), cli.files.files[u"changes.jsonl"]);
    EXPECT_EQ(violations, std::vector<std::string>{});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0]["change"], "text");
    EXPECT_EQ(lines[0]["old"], "Name");
    EXPECT_EQ(lines[0]["new"], "Full \"name\"\n");
    EXPECT_EQ(lines[2]["change"], "removed");
    EXPECT_EQ(lines[2]["handle"], dialog.list);
    EXPECT_EQ(lines[2]["old"]["class"], "ListBox");
    EXPECT_EQ(lines[4]["new"]["path"], "Button#5");
    EXPECT_EQ(lines[5]["type"], "summary");
    for (const auto& [kind, count] : {std::pair{"changes", 5},
                                      {"added", 1},
                                      {"removed", 1},
                                      {"text", 1},
                                      {"items", 0},
                                      {"visible", 1},
                                      {"enabled", 1}}) {
        EXPECT_EQ(lines[5][kind], count) << kind;
    }
}

TEST_F(DiffTest, ChangedItemsAreOneLineOfTheirRowsAndAFileOver64MegabytesIsRefused) {
    const WindowHandle items = cli.items.fake.AddTexts(ItemsKind::ListBox, {u"a", u"b"});
    cli.items.Link(dialog.list, items);
    const std::string before = dialog.Dump("json", true);
    cli.items.fake.At(items).rows = {{u"a"}, {u"c"}, {u"d"}};
    ASSERT_EQ(Diff(before, dialog.Dump("json", true)), ExitCode::kDiffers) << cli.console.error;
    EXPECT_EQ(cli.console.out, "changed items  ListBox#3  2 rows -> 3 rows, 1 row differs\n");

    std::string largest = before;
    largest.resize(std::size_t{64} << 20, ' ');
    EXPECT_EQ(Diff(before, largest), ExitCode::kDone) << cli.console.error;
    EXPECT_EQ(Diff(before, largest + ' '), ExitCode::kUsage);
    EXPECT_NE(cli.console.error.find("b.json is too large"), std::string::npos);
}

TEST_F(DiffTest, ANewRunIsMatchedByPathThoughEveryHandleDiffers) {
    DialogDesktop rerun(3);
    ASSERT_NE(rerun.edit, dialog.edit);
    rerun.cli.desktop.At(rerun.edit).text = u"Bob";
    ASSERT_EQ(Diff(dialog.Dump("json"), rerun.Dump("json")), ExitCode::kDiffers);
    EXPECT_EQ(cli.console.out, "changed text   Edit#2  \"Ann\" -> \"Bob\"\n");
}

TEST_F(DiffTest, InputItCannotReadNamesTheFileAndTheLineAndWritesNothing) {
    const std::string json = dialog.Dump("json");
    const std::string lines = dialog.Dump("jsonl");
    // The third line of the JSON lines, and the JSON tree's second window on its fourth line.
    std::string noText = lines;
    const std::size_t third = noText.find('\n', noText.find('\n') + 1) + 1;
    noText.erase(noText.find("\"text\"", third), std::string("\"text\":\"Ann\",").size());
    std::string notShown = json;
    const std::size_t fourth = notShown.find("Static");
    notShown.replace(notShown.find("\"visible\":true", fourth), 14, "\"visible\":\"yes\"");
    const std::pair<std::string, std::string> cases[] = {
        {noText, "b.json line 3: the window's \"text\" is missing"},
        {lines.substr(0, third + 10) + "\n", "b.json line 3: not JSON: syntax error"},
        {notShown, "b.json line 4: the window's \"visible\" is not true or false"},
        {json.substr(0, json.find("\"Edit\"")), "b.json line 5: not JSON: syntax error"},
        {lines + lines, "b.json line 7: a line after the summary"},
        {"\n  \n", "b.json line 1: empty"},
        {"{\"type\":\"found\"}\n", "b.json line 1: a dump's lines are windows"},
        {"{\"schema\":1,\"windows\":[]}", "b.json line 1: no \"window\""},
        {"\n" + std::string(100000, '{'),
         "b.json line 2: arrays and objects nested deeper than 512"},
        {lines.substr(0, third) + "{\"a\":" + std::string(600, '['),
         "b.json line 3: arrays and objects nested deeper than 512 levels"},
    };
    ASSERT_EQ(std::count(json.begin(), json.end(), '\n'), 8);
    for (const auto& [after, message] : cases) {
        EXPECT_EQ(Diff(json, after), ExitCode::kUsage);
        EXPECT_EQ(cli.console.out, "");
        EXPECT_TRUE(cli.console.error.starts_with("tessivane-cli: " + message))
            << cli.console.error;
    }
    cli.readFiles.contents.erase(u"a.json");
    cli.console.error.clear();
    EXPECT_EQ(cli.Run({"diff", "a.json", "b.json"}), ExitCode::kUsage);
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: The file a.json cannot be read: The system cannot find the file "
              "specified.\n");
}

TEST_F(DiffTest, AnOutputThatIsOneOfTheDumpsIsRefusedWhateverItsSpelling) {
    const std::string json = dialog.Dump("json");
    cli.readFiles.aliases.insert({u".\\A.JSON", u"a.json"});
    for (const char* output : {"b.json", ".\\A.JSON"}) {
        EXPECT_EQ(Diff(json, json, {"-o", output}), ExitCode::kUsage) << output;
        EXPECT_TRUE(cli.console.error.starts_with("tessivane-cli: The output ")) << output;
        EXPECT_NE(cli.console.error.find("does not write over the files it compares"),
                  std::string::npos);
        EXPECT_TRUE(cli.files.files.empty());
    }
    EXPECT_EQ(Diff(json, json, {"-o", "c.json"}), ExitCode::kDone);
    EXPECT_TRUE(cli.files.files.contains(u"c.json"));
}

TEST_F(DiffTest, TheCommandLineNeedsTwoFilesAndHelpTellsTheExitCodes) {
    EXPECT_EQ(cli.Run({"diff", "a.json"}), ExitCode::kUsage);
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: diff needs two files: the earlier dump and the later one\n");
    cli.console.error.clear();
    EXPECT_EQ(cli.Run({"diff", "a.json", "b.json", "c.json"}), ExitCode::kUsage);
    EXPECT_NE(cli.console.error.find("diff takes no word \"c.json\""), std::string::npos)
        << cli.console.error;
    EXPECT_EQ(cli.Run({"diff", "--help"}), ExitCode::kDone);
    // Wherever the help's lines wrap.
    EXPECT_TRUE(std::regex_search(cli.console.out, std::regex(R"(5\s+the\s+dumps\s+differ)")))
        << cli.console.out;
    EXPECT_NE(cli.console.out.find("tessivane-cli diff before.json after.json"), std::string::npos);
}
