// tessivane-cli list: the window list's windows, or with --all every top-level window and why the
// window list leaves it out, in each format.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/ExitCodes.h"
#include "finding/HandleText.h"
#include "support/JsonSchemaCheck.h"
#include "unit/cli/CliHarness.h"

namespace {

struct ListTest : ::testing::Test {
    CliHarness cli;
    WindowHandle editor = 0;
    WindowHandle find = 0;
    WindowHandle hidden = 0;
    WindowHandle untitled = 0;
    WindowHandle viewer = 0;

    void SetUp() override {
        editor = AddTopLevel(u"Editor \u6f22", u"EditorFrame", 10);
        find = AddTopLevel(u"Find", u"#32770", 10);
        cli.desktop.At(find).owner = editor;
        hidden = AddTopLevel(u"Hidden tool", u"ToolFrame", 11);
        cli.desktop.At(hidden).visible = false;
        untitled = AddTopLevel(u"", u"Untitled", 11);
        viewer = AddTopLevel(u"Viewer, \"new\"", u"ViewerFrame", 12);
        cli.desktop.imageNames = {{10, u"editor.exe"}, {11, u"tool.exe"}};
    }

    WindowHandle AddTopLevel(Text title, Text className, std::uint32_t process) {
        const WindowHandle window = cli.desktop.AddTopLevel(std::move(title));
        cli.desktop.At(window).className = std::move(className);
        cli.desktop.At(window).process = process;
        return window;
    }

    std::string Decimal(WindowHandle window) { return TextToUtf8(DecimalText(window)); }
};

}  // namespace

TEST_F(ListTest, CsvListsTheWindowListsWindowsInZOrderWithTheirPrograms) {
    ASSERT_EQ(cli.Run({"list", "--format", "csv"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out, "handle,handleHex,class,title,processId,image,visible,owner\r\n" +
                                   Decimal(editor) + "," + HexHandle(editor) +
                                   ",EditorFrame,Editor \xE6\xBC\xA2,10,editor.exe,true,\r\n" +
                                   Decimal(viewer) + "," + HexHandle(viewer) +
                                   ",ViewerFrame,\"Viewer, \"\"new\"\"\",12,,true,\r\n");
    EXPECT_TRUE(cli.console.error.empty());
}

TEST_F(ListTest, AllAddsOwnedHiddenAndUntitledWindowsWithWhyTheyAreLeftOut) {
    ASSERT_EQ(cli.Run({"list", "--all", "--format", "tsv"}), ExitCode::kDone);
    const std::string out = cli.console.out;
    EXPECT_EQ(out.substr(0, out.find("\r\n")),
              "handle\thandleHex\tclass\ttitle\tprocessId\timage\tvisible\towner\t"
              "notListedBecause");
    const auto line = [&](WindowHandle window) {
        const std::size_t start = out.find("\r\n" + Decimal(window) + "\t");
        return start == std::string::npos
                   ? std::string()
                   : out.substr(start + 2, out.find("\r\n", start + 2) - start - 2);
    };
    EXPECT_EQ(line(find), Decimal(find) + "\t" + HexHandle(find) +
                              "\t#32770\tFind\t10\teditor.exe\t"
                              "true\t" +
                              Decimal(editor) + "\towned");
    EXPECT_EQ(line(hidden), Decimal(hidden) + "\t" + HexHandle(hidden) +
                                "\tToolFrame\tHidden tool\t11\ttool.exe\tfalse\t\thidden");
    EXPECT_EQ(line(untitled), Decimal(untitled) + "\t" + HexHandle(untitled) +
                                  "\tUntitled\t\t11\ttool.exe\ttrue\t\tuntitled");
    EXPECT_TRUE(line(editor).ends_with("\ttrue\t\t"));
    // Z order, as the desktop gives it.
    EXPECT_LT(out.find(line(editor)), out.find(line(find)));
    EXPECT_LT(out.find(line(untitled)), out.find(line(viewer)));
}

TEST_F(ListTest, JsonConformsToTheSchemaAndCarriesTheSameWindows) {
    const nlohmann::json schema = ReadSchemaFile(TESSIVANE_CLI_SCHEMA);
    ASSERT_EQ(cli.Run({"list", "--format", "json"}), ExitCode::kDone);
    const nlohmann::json listed = nlohmann::json::parse(cli.console.out);
    EXPECT_EQ(SchemaViolations(schema, listed), std::vector<std::string>{});
    ASSERT_EQ(listed["windows"].size(), 2u);
    EXPECT_EQ(listed["windows"][0]["handle"], editor);
    EXPECT_EQ(listed["windows"][0]["title"], "Editor \xE6\xBC\xA2");
    EXPECT_EQ(listed["windows"][0]["owner"], nullptr);
    EXPECT_FALSE(listed["windows"][0].contains("notListedBecause"));

    cli.console.out.clear();
    ASSERT_EQ(cli.Run({"list", "--all", "--format", "json"}), ExitCode::kDone);
    const nlohmann::json all = nlohmann::json::parse(cli.console.out);
    EXPECT_EQ(SchemaViolations(schema, all), std::vector<std::string>{});
    ASSERT_EQ(all["windows"].size(), 5u);
    EXPECT_EQ(all["windows"][1]["owner"], editor);
    EXPECT_EQ(all["windows"][1]["notListedBecause"], nlohmann::json({"owned"}));
    EXPECT_EQ(all["windows"][2]["visible"], false);
    EXPECT_EQ(all["windows"][0]["notListedBecause"], nlohmann::json::array());
}

TEST_F(ListTest, TableAlignsItsColumnsUnderCaptionsAsTheClipboardCopyDoes) {
    ASSERT_EQ(cli.Run({"list"}), ExitCode::kDone);
    // Every handle of the fake desktop has six digits, as many as the caption's letters.
    ASSERT_EQ(Decimal(editor).size(), 6u);
    EXPECT_EQ(cli.console.out,
              "Handle\tHex       \tClass      \tTitle        \tPID\tImage     \tVisible\tOwner"
              "\r\n" +
                  Decimal(editor) + "\t" + HexHandle(editor) +
                  "\tEditorFrame\tEditor \xE6\xBC\xA2     \t10 \teditor.exe\tyes    \t\r\n" +
                  Decimal(viewer) + "\t" + HexHandle(viewer) +
                  "\tViewerFrame\tViewer, \"new\"\t12 \t          \tyes    \t\r\n");
}

TEST_F(ListTest, JsonLinesAreTheJsonListsWindowsOneALineThenItsSummary) {
    const nlohmann::json schema = ReadSchemaFile(TESSIVANE_CLI_SCHEMA);
    ASSERT_EQ(cli.Run({"list", "--all", "-f", "json"}), ExitCode::kDone);
    const nlohmann::json listed = nlohmann::json::parse(cli.console.out);
    EXPECT_EQ(listed["summary"],
              nlohmann::json::parse(R"({"windows":5,"deadline":false,"complete":true})"));
    cli.console.out.clear();
    ASSERT_EQ(cli.Run({"list", "--all", "-f", "jsonl"}), ExitCode::kDone);
    auto [lines, violations] = CheckJsonLines(schema, cli.console.out);
    EXPECT_EQ(violations, std::vector<std::string>{});
    ASSERT_EQ(lines.size(), 6u);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        EXPECT_EQ(lines[index]["type"], index < 5 ? "window" : "summary");
        lines[index].erase("type");
    }
    for (std::size_t index = 0; index < 5; ++index) {
        EXPECT_EQ(lines[index], listed["windows"][index]);
    }
    EXPECT_EQ(lines[5]["schema"], 1);
    EXPECT_EQ(lines[5]["windows"], 5);
}

TEST_F(ListTest, DeadlineEndsTheListWithFourAndAClosedPipeEndsItQuietly) {
    // Time passes as the list is made: the deadline comes before its five windows are listed.
    cli.tick = std::chrono::milliseconds(10);
    ASSERT_EQ(cli.Run({"list", "--all", "-f", "json", "--deadline", "25"}), ExitCode::kIncomplete);
    const nlohmann::json listed = nlohmann::json::parse(cli.console.out);
    EXPECT_LT(listed["windows"].size(), 5u);
    EXPECT_EQ(listed["summary"]["deadline"], true);
    EXPECT_EQ(listed["summary"]["complete"], false);
    EXPECT_EQ(cli.console.error, "tessivane-cli: --deadline ended the command early\n");

    cli.console.error.clear();
    cli.console.closedOut = true;
    EXPECT_EQ(cli.Run({"list", "-f", "jsonl"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.error, "");
}
