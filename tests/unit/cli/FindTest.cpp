// tessivane-cli find on the fake desktop: windows by text, class and id below every top-level
// window or the selected one, in each format, and the exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/ExitCodes.h"
#include "finding/HandleText.h"
#include "finding/ShownText.h"
#include "support/JsonSchemaCheck.h"
#include "unit/cli/CliHarness.h"

namespace {

struct FindTest : ::testing::Test {
    CliHarness cli;
    WindowHandle main = cli.desktop.AddTopLevel(u"Main window");
    WindowHandle other = cli.desktop.AddTopLevel(u"Other window");
    WindowHandle ok = Add(main, u"Button", u"OK", 1);
    WindowHandle cancel = Add(main, u"Button", u"Cancel", 2);
    WindowHandle pane = Add(main, u"Pane", u"Ελληνικά", 0);
    WindowHandle edit = Add(pane, u"Edit", u"total: 42", 0);
    WindowHandle otherOk = Add(other, u"Button", u"ok", 1);

    WindowHandle Add(WindowHandle parent, Text className, Text text, std::int64_t id) {
        return cli.AddControl(parent, std::move(className), std::move(text), id);
    }

    // The handles that find prints as JSON.
    std::vector<WindowHandle> Found(std::vector<std::string> options) {
        cli.console.out.clear();
        cli.console.error.clear();
        options.insert(options.begin(), "find");
        options.insert(options.end(), {"-f", "json"});
        const int exitCode = cli.Run(options);
        EXPECT_EQ(exitCode, cli.console.out.find("\"handle\"") != std::string::npos
                                ? ExitCode::kDone
                                : ExitCode::kNoMatch);
        std::vector<WindowHandle> found;
        if (cli.console.out.empty()) {
            return found;  // no window has the selector
        }
        const nlohmann::json document = nlohmann::json::parse(cli.console.out);
        for (const auto& match : document["matches"]) {
            found.push_back(match["handle"]);
        }
        return found;
    }
};

}  // namespace

TEST_F(FindTest, CriteriaCombineAndEachMustHold) {
    const struct {
        std::vector<std::string> options;
        std::vector<WindowHandle> found;
    } cases[] = {
        {{"--text", "OK"}, {ok}},
        {{"--text", "OK", "--ignore-case"}, {ok, otherOk}},
        {{"--class", "button"}, {ok, cancel, otherOk}},
        {{"--class", "Button", "--id", "2"}, {cancel}},
        {{"--id", "1", "--title", "Other window"}, {otherOk}},
        {{"--text-contains", "ΛΛΗΝ", "--ignore-case"}, {pane}},
        {{"--text-contains", "\\d+$", "--regex"}, {edit}},
        {{"--text", "total", "--regex"}, {}},
        {{"--text-contains", "a", "--class", "Edit", "--window-class", "Nothing"}, {}},
        {{"--class", "Button", "--window-class", "αΛΛΟframe"}, {otherOk}},
    };
    cli.desktop.At(main).className = u"MainFrame";
    cli.desktop.At(other).className = u"ΑλλοFrame";
    for (const auto& [options, found] : cases) {
        EXPECT_EQ(Found(options), found) << options[0] << " " << options[1];
    }
}

TEST_F(FindTest, TextsMatchAsTheControlsShowThemAndTheJsonGivesTheShownText) {
    const WindowHandle add = Add(main, u"Button", u"Add appli&cation...", 3);
    const WindowHandle both = Add(main, u"Static", u"Fish && Chips", 0);
    const WindowHandle plain = Add(main, u"Static", u"&Plain", 0);
    cli.desktop.At(plain).style = kStaticNoPrefix;
    const WindowHandle typed = Add(main, u"Edit", u"&Typed", 0);
    const struct {
        std::vector<std::string> options;
        std::vector<WindowHandle> found;
    } cases[] = {
        {{"--text", "Add application..."}, {add}},
        {{"--text", "Add appli&cation..."}, {add}},
        {{"--text-contains", "APPLICATION", "--ignore-case"}, {add}},
        {{"--text", "Fish & Chips"}, {both}},
        {{"--text", "Plain"}, {}},
        {{"--text", "&Plain"}, {plain}},
        {{"--text", "Typed"}, {}},
        {{"--text", "&Typed"}, {typed}},
    };
    for (const auto& [options, found] : cases) {
        EXPECT_EQ(Found(options), found) << options[0] << " " << options[1];
    }
    const auto schema = ReadSchemaFile(TESSIVANE_CLI_SCHEMA);
    for (const char* format : {"json", "jsonl"}) {
        cli.console.out.clear();
        EXPECT_EQ(cli.Run({"find", "--text-contains", "&", "-f", format}), ExitCode::kDone);
        EXPECT_EQ(CheckJsonLines(schema, cli.console.out).violations, std::vector<std::string>{});
    }
    const nlohmann::json last =
        nlohmann::json::parse(cli.console.out.substr(0, cli.console.out.find('\n')));
    EXPECT_EQ(last["text"], "Add appli&cation...");
    EXPECT_EQ(last["shown"], "Add application...");
    EXPECT_EQ(cli.console.out.find("&Plain\",\"shown\""), std::string::npos);
    EXPECT_EQ(cli.console.out.find("Typed\",\"shown\""), std::string::npos);
}

TEST_F(FindTest, EachMatchComesWithItsTopLevelWindowHandleAndPathInEveryFormat) {
    EXPECT_EQ(cli.Run({"find", "--class", "Edit", "-f", "csv"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out,
              "topLevel,topLevelTitle,handle,handleHex,class,controlId,path,text\r\n" +
                  std::to_string(main) + ",Main window," + std::to_string(edit) + "," +
                  HexHandle(edit) + ",Edit,0,Pane/Edit,total: 42\r\n");
    cli.console.out.clear();
    EXPECT_EQ(cli.Run({"find", "--text", "OK"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out,
              "Top-level\tTitle      \tHandle\tHex       \tClass \tId\tPath    \tText\r\n" +
                  std::to_string(main) + "   \tMain window\t" + std::to_string(ok) + "\t" +
                  HexHandle(ok) + "\tButton\t1 \tButton#1\tOK\r\n");
}

// With --items, a list's rows and a self-drawn window's accessible names are searched too, each
// item found named by its index and depth, and the document still conforms to the schema.
TEST_F(FindTest, ItemsOfListsAndAccessibleTreesAreSearchedWithItemsAndNamedByIndex) {
    cli.items.Link(Add(pane, u"ListBox", u"", 3),
                   cli.items.fake.AddTexts(ItemsKind::ListBox, {u"alpha", u"total: 7"}));
    FakeRemoteItems::Control panel;
    panel.accessible.resize(3);
    panel.accessible[0].name = u"Panel";
    panel.accessible[0].children = {{2, true}, {3, true}};
    panel.accessible[1].name = u"Amount";
    panel.accessible[1].value = u"total: 9";
    panel.accessible[2].name = u"PIN";
    panel.accessible[2].value = u"total: 1";
    panel.accessible[2].state = 0x20000000;  // protected: its value is never read
    cli.items.Link(Add(main, u"Chrome_RenderWidgetHostHWND", u"", 0), cli.items.fake.Add(panel));
    EXPECT_EQ(Found({"--text-contains", "total"}), std::vector<WindowHandle>{edit});
    cli.console.out.clear();
    EXPECT_EQ(cli.Run({"find", "--text-contains", "total", "--items", "-f", "json"}),
              ExitCode::kDone);
    const nlohmann::json matches = nlohmann::json::parse(cli.console.out)["matches"];
    std::vector<std::tuple<std::string, int, int>> items;
    for (const auto& match : matches) {
        if (match.contains("item")) {
            items.emplace_back(match["item"]["text"], match["item"]["index"],
                               match["item"]["depth"]);
        }
    }
    EXPECT_EQ(items, (std::vector<std::tuple<std::string, int, int>>{{"total: 7", 1, 0},
                                                                     {"total: 9", 1, 1}}));
    const auto [lines, violations] =
        CheckJsonLines(ReadSchemaFile(TESSIVANE_CLI_SCHEMA), cli.console.out);
    EXPECT_EQ(violations, std::vector<std::string>{});
}

TEST_F(FindTest, JsonAndEachJsonLineConformToTheSchema) {
    const auto schema = ReadSchemaFile(TESSIVANE_CLI_SCHEMA);
    for (const char* format : {"json", "jsonl"}) {
        cli.console.out.clear();
        EXPECT_EQ(cli.Run({"find", "--class", "Button", "-f", format}), ExitCode::kDone);
        const auto [lines, violations] = CheckJsonLines(schema, cli.console.out);
        EXPECT_EQ(violations, std::vector<std::string>{});
        // One document, or a line per window found and the summary.
        EXPECT_EQ(lines.size(), std::string(format) == "json" ? 1u : 4u);
    }
}

TEST_F(FindTest, NothingFoundExitsWithTwoAndBadCriteriaAreUsageErrors) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string error;
    } cases[] = {
        {{"find", "--text", "Absent", "--ignore-case"},
         ExitCode::kNoMatch,
         "tessivane-cli: no window below 2 top-level windows matches --text \"Absent\" "
         "--ignore-case\n"},
        {{"find", "--all"},
         ExitCode::kUsage,
         "tessivane-cli: find needs at least one of --text, --text-contains, --class or --id\n"},
        {{"find", "--text", "a(", "--regex"},
         ExitCode::kUsage,
         "tessivane-cli: --text \"a(\" is not a regular expression: "},
        {{"find", "--id", "x"},
         ExitCode::kUsage,
         "tessivane-cli: --id must be a whole number, not \"x\"\n"},
        {{"find", "--class", "Edit", "--title", "A", "--pid", "1"},
         ExitCode::kUsage,
         "tessivane-cli: find takes one selector, not --title and --pid\n"},
    };
    for (const auto& [arguments, exitCode, error] : cases) {
        cli.console.error.clear();
        EXPECT_EQ(cli.Run(arguments), exitCode) << arguments[1];
        EXPECT_EQ(cli.console.error.substr(0, error.size()), error);
    }
}

TEST_F(FindTest, NoMatchAmongTextsNotAllReadIsNotSureAndSaysWhatWasNotRead) {
    // A hung thread's windows and a window the system refuses: their texts are unknown.
    for (int window = 0; window < 3; ++window) {
        cli.desktop.At(Add(other, u"Static", u"hidden", 0)).thread = 7;
    }
    cli.desktop.HangThread(7);
    cli.desktop.At(Add(main, u"Static", u"refused", 0)).thread = 8;
    cli.desktop.DenyThread(8);
    EXPECT_EQ(cli.Run({"find", "--text", "hidden"}), ExitCode::kIncomplete);
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: no window below 2 top-level windows matches --text \"hidden\" among "
              "the texts read: 3 windows did not answer in time, 1 belongs to a program running "
              "with higher rights\n");
    // A match is sure whatever else was not read.
    EXPECT_EQ(Found({"--text", "OK"}), std::vector<WindowHandle>{ok});
}

TEST_F(FindTest, DeadlineEndsTheSearchWithFourAndOutputGoesToTheFile) {
    // Each window's text takes 10 ms to come: the deadline passes inside the first top-level
    // window.
    cli.desktop.onTextRequest = [this](WindowHandle) { cli.now += std::chrono::milliseconds(10); };
    EXPECT_EQ(cli.Run({"find", "--class", "Button", "-f", "json", "--deadline", "15", "-o",
                       "found.json"}),
              ExitCode::kIncomplete);
    EXPECT_EQ(cli.console.out, "");
    EXPECT_EQ(cli.console.error, "tessivane-cli: --deadline ended the command early\n");
    const nlohmann::json document = nlohmann::json::parse(cli.files.files[u"found.json"]);
    EXPECT_EQ(document["deadline"], true);
    EXPECT_EQ(document["searched"], 1);
    EXPECT_LT(document["matches"].size(), 2u);
    EXPECT_EQ(SchemaViolations(ReadSchemaFile(TESSIVANE_CLI_SCHEMA), document),
              std::vector<std::string>{});
}

TEST_F(FindTest, ListsThatDrawTheirItemsThemselvesAreCountedAsNotSearched) {
    for (const Text className : {u"ComboBox", u"ListBox"}) {
        const WindowHandle drawn = Add(pane, className, u"", 0);
        FakeRemoteItems::Control control;
        control.kind = className == u"ComboBox" ? ItemsKind::ComboBox : ItemsKind::ListBox;
        control.rows = {{u"total: 42"}};
        control.keepsStrings = false;
        cli.items.Link(drawn, cli.items.fake.Add(control));
    }
    // One that keeps its texts.
    cli.items.Link(Add(pane, u"ListBox", u"", 0), cli.items.fake.AddTexts(ItemsKind::ListBox, {}));
    const std::vector<std::string> find{"find", "--text-contains", "total"};
    std::vector<std::string> json = find;
    json.insert(json.end(), {"-f", "json"});
    ASSERT_EQ(cli.Run(json), ExitCode::kDone);
    EXPECT_EQ(nlohmann::json::parse(cli.console.out)["textlessLists"], 2);
    cli.console.out.clear();
    ASSERT_EQ(cli.Run(find), ExitCode::kDone);
    EXPECT_TRUE(cli.console.out.ends_with(
        "\r\n2 owner-drawn lists keep no texts: their items were not searched.\r\n"))
        << cli.console.out;
}
