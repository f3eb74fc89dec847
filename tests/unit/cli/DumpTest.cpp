// tessivane-cli dump on the fake desktop: the tree in each format, written as it is walked, the
// selection of its window, the items of its controls and the exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "core/ExitCodes.h"
#include "core/ReportLocations.h"
#include "export/AlignedText.h"
#include "extraction/ChildWalk.h"
#include "finding/HandleText.h"
#include "support/JsonSchemaCheck.h"
#include "unit/cli/CliHarness.h"

namespace {

using ParsedJson = nlohmann::json;

struct DumpTest : ::testing::Test {
    CliHarness cli;
    WindowHandle top = 0;
    WindowHandle label = 0;
    WindowHandle panel = 0;
    WindowHandle edit = 0;
    WindowHandle hiddenPanel = 0;
    WindowHandle inHidden = 0;
    WindowHandle list = 0;

    void SetUp() override {
        top = cli.desktop.AddTopLevel(u"Main window");
        FakeDesktop::Window& main = cli.desktop.At(top);
        main.className = u"MainFrame";
        main.text = u"Main window";
        main.process = 10;
        main.rect = {100, 50, 740, 530};
        label = Add(top, u"Static", u"Label one", 101, {110, 80, 310, 100});
        panel = Add(top, u"Panel", u"Panel", 102, {110, 110, 410, 250});
        edit = Add(panel, u"Edit", u"a,b\r\n\"quoted\"\ttab \\ \u6f22\U0001D11E", 103,
                   {120, 120, 320, 144});
        cli.desktop.At(edit).enabled = false;
        hiddenPanel = Add(panel, u"Panel", u"Hidden panel", 104, {120, 150, 400, 240});
        cli.desktop.At(hiddenPanel).visible = false;
        // Its own style says visible, but its parent is hidden.
        inHidden = Add(hiddenPanel, u"Button", u"Inside", 105, {130, 160, 230, 190});
        list = Add(top, u"ListBox", u"", 106, {420, 80, 720, 300});
    }

    WindowHandle Add(WindowHandle parent, Text className, Text text, std::int64_t id,
                     ScreenRect rect) {
        const WindowHandle window =
            cli.AddControl(parent, std::move(className), std::move(text), id);
        cli.desktop.At(window).rect = rect;
        return window;
    }

    std::string Handle() const { return "0x" + HexHandle(top).substr(2); }

    // Dumps the main window with these options; answers the exit code.
    int Dump(std::vector<std::string> options = {}) {
        std::vector<std::string> arguments{"dump", "--handle", Handle()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return cli.Run(arguments);
    }

    ParsedJson DumpedJson(std::vector<std::string> options = {}, int exitCode = ExitCode::kDone) {
        EXPECT_EQ(Dump(std::move(options)), exitCode) << cli.console.error;
        const ParsedJson document = ParsedJson::parse(cli.console.out);
        EXPECT_EQ(SchemaViolations(ReadSchemaFile(TESSIVANE_CLI_SCHEMA), document),
                  std::vector<std::string>{});
        return document;
    }

    // The window as the desktop has it, with its children, as the dump must give it.
    void ExpectWindow(const ParsedJson& got, WindowHandle window, WindowHandle parent, int depth,
                      bool parentShown) {
        const FakeDesktop::Window& want = cli.desktop.At(window);
        const bool shown = parentShown && want.visible;
        SCOPED_TRACE(TextToUtf8(want.className) + " " + std::to_string(window));
        EXPECT_EQ(got["handle"], window);
        EXPECT_EQ(got["handleHex"], HexHandle(window));
        EXPECT_EQ(got["class"], TextToUtf8(want.className));
        EXPECT_EQ(got["text"], TextToUtf8(want.text));
        EXPECT_EQ(got["controlId"], want.controlId);
        EXPECT_EQ(got["parent"], depth == 0 ? ParsedJson(nullptr) : ParsedJson(parent));
        EXPECT_EQ(got["depth"], depth);
        EXPECT_EQ(got["visible"], shown);
        EXPECT_EQ(got["enabled"], want.enabled);
        EXPECT_EQ(got["rect"], ParsedJson({{"left", want.rect.left},
                                           {"top", want.rect.top},
                                           {"right", want.rect.right},
                                           {"bottom", want.rect.bottom}}));
        EXPECT_EQ(got["status"], "read");
        ASSERT_EQ(got["children"].size(), want.children.size());
        for (std::size_t child = 0; child < want.children.size(); ++child) {
            ExpectWindow(got["children"][child], want.children[child], window, depth + 1, shown);
        }
    }
};

}  // namespace

TEST_F(DumpTest, JsonNestsTheTreeAsOnScreenWindowForWindowAndConformsToTheSchema) {
    const ParsedJson document = DumpedJson();
    EXPECT_EQ(document["schema"], 1);
    EXPECT_EQ(document["program"], "tessivane-cli");
    ExpectWindow(document["window"], top, 0, 0, true);
    EXPECT_EQ(document["summary"]["windows"], 7);
    EXPECT_EQ(document["summary"]["complete"], true);
    EXPECT_TRUE(cli.console.error.empty());
}

TEST_F(DumpTest, JsonIsWrittenAsTheWalkGoesNotAfterIt) {
    for (int child = 0; child < 3000; ++child) {
        Add(list, u"Item", u"An item with a text of some length " + DecimalText(child), child, {});
    }
    // What the output had when the last window was read.
    const WindowHandle last = cli.desktop.At(list).children.back();
    std::size_t outBeforeLast = 0;
    cli.desktop.onTextRequest = [&](WindowHandle window) {
        if (window == last) {
            outBeforeLast = cli.console.out.size();
        }
    };
    const ParsedJson document = DumpedJson();
    EXPECT_GT(outBeforeLast, 0u);
    EXPECT_LT(outBeforeLast, cli.console.out.size());
    EXPECT_EQ(document["window"]["children"][2]["children"].size(), 3000u);
}

TEST_F(DumpTest, CsvAndTsvGiveOneRowPerWindowInPreOrder) {
    cli.desktop.Remove(panel);
    cli.desktop.Remove(list);
    const std::string head = std::to_string(top) + "," + HexHandle(top) +
                             ",MainFrame,Main window,0,,0,,true,true,100,50,740,530,read\r\n";
    const std::string csvHeader =
        "handle,handleHex,class,text,controlId,parent,depth,path,visible,enabled,left,top,right,"
        "bottom,status\r\n";
    const WindowHandle tricky = Add(top, u"Edit", u"a,b\r\n\"q\"\ttab\\", 7, {1, 2, 3, 4});
    ASSERT_EQ(Dump({"--format", "csv"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out, csvHeader + head + std::to_string(label) + "," + HexHandle(label) +
                                   ",Static,Label one,101," + std::to_string(top) +
                                   ",1,Static#101,true,true,110,80,310,100,read\r\n" +
                                   std::to_string(tricky) + "," + HexHandle(tricky) +
                                   ",Edit,\"a,b\r\n\"\"q\"\"\ttab\\\",7," + std::to_string(top) +
                                   ",1,Edit#7,true,true,1,2,3,4,read\r\n");

    cli.console.out.clear();
    ASSERT_EQ(Dump({"--format", "tsv"}), ExitCode::kDone);
    std::string tsv = cli.console.out;
    EXPECT_EQ(
        tsv.substr(0, tsv.find("\r\n")),
        "handle\thandleHex\tclass\ttext\tcontrolId\tparent\tdepth\tpath\tvisible\tenabled\tleft\t"
        "top\tright\tbottom\tstatus");
    EXPECT_TRUE(tsv.ends_with("\r\n" + std::to_string(tricky) + "\t" + HexHandle(tricky) +
                              "\tEdit\ta,b\\r\\n\"q\"\\ttab\\\\\t7\t" + std::to_string(top) +
                              "\t1\tEdit#7\ttrue\ttrue\t1\t2\t3\t4\tread\r\n"));
}

TEST_F(DumpTest, TextIsTheClipboardCopysAlignedTextOfAllRows) {
    ASSERT_EQ(Dump({"--format", "text"}), ExitCode::kDone);
    // The results list filled by the same walk, every row ticked, copied as the GUI copies it.
    FakeRowTableDisplay display;
    RowTable results(display);
    AppendColumns(results, {u"Class Name", u"Handle", u"Text"});
    struct : Reporter {
        void ReportFailure(TextView, int, const Text&) override {}
    } silent;
    WalkWindowTree(top, results, cli.desktop, silent);
    for (std::size_t row = 1; row <= results.RowCount(); ++row) {
        results.SetChecked(row, true);
    }
    FakePump pump;
    EXPECT_EQ(cli.console.out, TextToUtf8(RenderAlignedText(results, pump)));
    EXPECT_EQ(results.RowCount(), 7u);
}

TEST_F(DumpTest, MaxDepthStopsTheWalkBelowIt) {
    const ParsedJson shallow = DumpedJson({"--max-depth", "1"});
    ASSERT_EQ(shallow["window"]["children"].size(), 3u);
    EXPECT_EQ(shallow["window"]["children"][1]["handle"], panel);
    EXPECT_EQ(shallow["window"]["children"][1]["children"].size(), 0u);
    EXPECT_EQ(shallow["summary"]["windows"], 4);
    cli.console.out.clear();
    EXPECT_EQ(DumpedJson({"--max-depth", "0"})["window"]["children"].size(), 0u);
}

TEST_F(DumpTest, SelectorsFindTheirWindowAmongTheWindowListsOrAll) {
    const WindowHandle other = cli.desktop.AddTopLevel(u"Main window 2");
    cli.desktop.At(other).className = u"OtherFrame";
    cli.desktop.At(other).process = 11;
    const WindowHandle dialog = cli.desktop.AddTopLevel(u"Options");
    cli.desktop.At(dialog).owner = top;
    cli.desktop.At(dialog).className = u"#32770";

    const auto dumped = [&](std::vector<std::string> arguments) -> ParsedJson {
        cli.console.out.clear();
        arguments.insert(arguments.begin(), "dump");
        arguments.insert(arguments.end(), {"--max-depth", "0"});
        EXPECT_EQ(cli.Run(arguments), ExitCode::kDone) << cli.console.error;
        return ParsedJson::parse(cli.console.out)["window"]["handle"];
    };
    EXPECT_EQ(dumped({"--title", "Main window"}), top);
    EXPECT_EQ(dumped({"--title-contains", "window 2"}), other);
    EXPECT_EQ(dumped({"--class", "otherframe"}), other);
    EXPECT_EQ(dumped({"--pid", "11"}), other);
    EXPECT_EQ(dumped({"--handle", std::to_string(edit)}), edit);
    // The owned dialog is not in the window list; --all looks at every top-level window.
    EXPECT_EQ(dumped({"--title", "Options", "--all"}), dialog);
    EXPECT_EQ(cli.Run({"dump", "--title", "Options"}), ExitCode::kNoMatch);
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: no window has the title \"Options\" among the window list's windows "
              "(--all looks at every top-level window)\n");
}

TEST_F(DumpTest, NoMatchExitsWithTwoAndSeveralWithThreeUnlessFirstIsGiven) {
    EXPECT_EQ(cli.Run({"dump", "--handle", "0x7FFFFFF0"}), ExitCode::kNoMatch);
    EXPECT_EQ(cli.console.error, "tessivane-cli: no window has the handle 2147483632\n");
    EXPECT_TRUE(cli.console.out.empty());

    const WindowHandle second = cli.desktop.AddTopLevel(u"Main window");
    cli.desktop.At(second).className = u"SecondFrame";
    cli.console.error.clear();
    EXPECT_EQ(cli.Run({"dump", "--title", "Main window"}), ExitCode::kManyMatches);
    EXPECT_TRUE(cli.console.out.empty());
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: 2 windows have the title \"Main window\" (--first dumps the "
              "first):\n  " +
                  std::to_string(top) + " " + HexHandle(top) + " MainFrame \"Main window\"\n  " +
                  std::to_string(second) + " " + HexHandle(second) +
                  " SecondFrame \"Main window\"\n");

    cli.console.error.clear();
    EXPECT_EQ(cli.Run({"dump", "--title", "Main window", "--first", "--max-depth", "0"}),
              ExitCode::kDone);
    EXPECT_EQ(ParsedJson::parse(cli.console.out)["window"]["handle"], top);
}

TEST_F(DumpTest, EveryWindowCarriesItsPathFromTheSelectedWindow) {
    const WindowHandle firstEdit = Add(top, u"Edit", u"One", 0, {});
    const WindowHandle secondEdit = Add(top, u"Edit", u"Two", 0, {});
    std::map<WindowHandle, std::string> paths;
    const std::function<void(const ParsedJson&)> collect = [&](const ParsedJson& window) {
        paths[window["handle"]] = window["path"];
        for (const ParsedJson& child : window["children"]) {
            collect(child);
        }
    };
    collect(DumpedJson()["window"]);
    EXPECT_EQ(paths,
              (std::map<WindowHandle, std::string>{{top, ""},
                                                   {label, "Static#101"},
                                                   {panel, "Panel#102"},
                                                   {edit, "Panel#102/Edit#103"},
                                                   {hiddenPanel, "Panel#102/Panel#104"},
                                                   {inHidden, "Panel#102/Panel#104/Button#105"},
                                                   {list, "ListBox#106"},
                                                   {firstEdit, "Edit[1]"},
                                                   {secondEdit, "Edit[2]"}}));

    // --path dumps the control alone with its subtree, the paths still from the selected window.
    cli.console.out.clear();
    const ParsedJson found = DumpedJson({"--path", "panel#102/Panel#104"});
    EXPECT_EQ(found["window"]["handle"], hiddenPanel);
    EXPECT_EQ(found["window"]["path"], "Panel#102/Panel#104");
    EXPECT_EQ(found["window"]["children"][0]["path"], "Panel#102/Panel#104/Button#105");
    EXPECT_EQ(found["summary"]["windows"], 2);
}

TEST_F(DumpTest, ADeepTreeKeepsItsLinesShortPastTheLongestPathAndDiffPairsThemStill) {
    // Each step about 200 units: the path passes the longest at about the tenth level.
    const Text longClass = u"Deep" + Text(196, u'x');
    WindowHandle parent = edit;
    for (int depth = 0; depth < 30; ++depth) {
        parent = Add(parent, longClass, u"level", depth + 1, {});
    }
    cli.console.out.clear();
    ASSERT_EQ(Dump({"-f", "jsonl"}), ExitCode::kDone) << cli.console.error;
    const std::string lines = cli.console.out;
    const ParsedJson schema = ReadSchemaFile(TESSIVANE_CLI_SCHEMA);
    std::size_t cut = 0;
    std::istringstream out(lines);
    for (std::string line; std::getline(out, line);) {
        const ParsedJson window = ParsedJson::parse(line);
        EXPECT_EQ(SchemaViolations(schema, window), std::vector<std::string>{});
        EXPECT_LT(line.size(), kLongestPath + 1000);
        cut += window.value("pathCut", false) ? 1 : 0;
        EXPECT_EQ(window.value("pathCut", false),
                  window.value("path", "x").empty() && window.value("depth", 0) > 0);
    }
    EXPECT_GT(cut, 15u);
    // A later dump of the same tree differs in nothing: the cut windows pair by handle.
    cli.readFiles.contents[u"a.jsonl"] = lines;
    cli.readFiles.contents[u"b.jsonl"] = lines;
    cli.console.out.clear();
    EXPECT_EQ(cli.Run({"diff", "a.jsonl", "b.jsonl"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out, "");
}

TEST_F(DumpTest, APathMatchingNothingNamesItsStepAndSeveralMatchesNeedFirst) {
    Add(top, u"Edit", u"One", 0, {});
    const WindowHandle secondEdit = Add(top, u"Edit", u"Two", 0, {});
    const WindowHandle firstEdit = cli.desktop.At(top).children[3];
    const std::string below = "below " + HexHandle(top) + " MainFrame \"Main window\"";
    const struct {
        std::vector<std::string> options;
        int exitCode;
        WindowHandle dumped;
        std::string error;
    } cases[] = {
        {{"--path", "Edit[2]"}, ExitCode::kDone, secondEdit, ""},
        {{"--path", "Edit", "--first"}, ExitCode::kDone, firstEdit, ""},
        {{"--path", "Panel#102/Edit#9/Static"},
         ExitCode::kNoMatch,
         0,
         "tessivane-cli: no window " + below +
             " matches step 2 \"Edit#9\" of the path \"Panel#102/Edit#9/Static\"\n"
             "  the windows of the class Edit there, whatever their ids:\n  " +
             std::to_string(edit) + " " + HexHandle(edit) + " Panel#102/Edit#103\n"},
        {{"--path", "Panel/Edit"}, ExitCode::kDone, edit, ""},
        {{"--path", "Edit"},
         ExitCode::kManyMatches,
         0,
         "tessivane-cli: 2 windows " + below +
             " have the path \"Edit\" (--first dumps the first):\n  " + std::to_string(firstEdit) +
             " " + HexHandle(firstEdit) + " Edit[1]\n  " + std::to_string(secondEdit) + " " +
             HexHandle(secondEdit) + " Edit[2]\n"},
        {{"--path", "Panel#102/"},
         ExitCode::kUsage,
         0,
         "tessivane-cli: --path \"Panel#102/\" is not a path: step 2 (\"\") has no class "
         "name\n"},
    };
    for (const auto& [options, exitCode, dumped, error] : cases) {
        cli.console.out.clear();
        cli.console.error.clear();
        EXPECT_EQ(Dump(options), exitCode) << options[1];
        EXPECT_EQ(cli.console.error, error);
        if (dumped != 0) {
            EXPECT_EQ(ParsedJson::parse(cli.console.out)["window"]["handle"], dumped);
        } else {
            EXPECT_EQ(cli.console.out, "");
        }
    }
}

TEST_F(DumpTest, AHungWindowGivesFourWithItsStatusTimedOut) {
    cli.desktop.At(edit).thread = 7;
    cli.desktop.HangThread(7);
    const ParsedJson document = DumpedJson({}, ExitCode::kIncomplete);
    const ParsedJson& hung = document["window"]["children"][1]["children"][0];
    EXPECT_EQ(hung["handle"], edit);
    EXPECT_EQ(hung["status"], "timedOut");
    EXPECT_EQ(hung["text"], "");
    EXPECT_EQ(document["summary"]["timedOut"], 1);
    EXPECT_EQ(document["summary"]["complete"], false);
}

TEST_F(DumpTest, AProgramWithHigherRightsIsDeniedInEachFormatAndGivesFour) {
    cli.desktop.At(edit).thread = 9;
    cli.desktop.DenyThread(9);
    const WindowHandle fake = cli.items.fake.AddTexts(ItemsKind::ListBox, {u"a"});
    cli.items.fake.At(fake).answers = 0;
    cli.items.fake.At(fake).failure = RemoteEnd::Denied;
    cli.items.Link(list, fake);
    const ParsedJson document = DumpedJson({"--items"}, ExitCode::kIncomplete);
    const ParsedJson& denied = document["window"]["children"][1]["children"][0];
    EXPECT_EQ(denied["handle"], edit);
    EXPECT_EQ(denied["status"], "denied");
    EXPECT_EQ(document["window"]["children"][2]["items"]["status"], "denied");
    EXPECT_EQ(document["summary"]["denied"], 1);
    EXPECT_EQ(document["summary"]["timedOut"], 0);
    EXPECT_EQ(document["summary"]["itemsIncomplete"], 1);
    EXPECT_NE(cli.console.error.find(
                  "1 window belongs to a program running with higher rights, 1 control did not "
                  "give all its items"),
              std::string::npos)
        << cli.console.error;

    cli.console.out.clear();
    ASSERT_EQ(Dump({"--items", "--format", "csv"}), ExitCode::kIncomplete);
    EXPECT_NE(cli.console.out.find(",denied,,,\r\n"), std::string::npos);
    EXPECT_NE(cli.console.out.find(",read,listBox,denied,"), std::string::npos);
    EXPECT_EQ(Dump({"--format", "text"}), ExitCode::kIncomplete);
}

TEST_F(DumpTest, WindowsThatVanishAreGoneAndGiveFour) {
    // The target closes the hidden panel while the edit's text is read, and the list box while
    // its own text is read: neither has an entry, and both are counted.
    cli.desktop.onTextRequest = [&](WindowHandle window) {
        if (window == edit) {
            cli.desktop.Remove(hiddenPanel);
        }
        if (window == list) {
            cli.desktop.Remove(list);
        }
    };
    const ParsedJson document = DumpedJson({}, ExitCode::kIncomplete);
    const ParsedJson& children = document["window"]["children"];
    EXPECT_EQ(children[1]["children"].size(), 1u);
    EXPECT_EQ(children.size(), 2u);
    // The hidden panel (its button was never met) and the list box.
    EXPECT_EQ(document["summary"]["gone"], 2);
    EXPECT_EQ(document["summary"]["windows"], 4);
}

TEST_F(DumpTest, WindowsOfAThreadThatStalledOnceComeInOrderWithTheirTexts) {
    ASSERT_EQ(Dump({"--format", "csv"}), ExitCode::kDone);
    const std::string unstalled = cli.console.out;
    cli.console.out.clear();
    // The edit's thread leaves its first message unanswered; the hidden panel shares it.
    cli.desktop.At(edit).thread = 7;
    cli.desktop.At(hiddenPanel).thread = 7;
    cli.desktop.StallThread(7, 1);
    ASSERT_EQ(Dump({"--format", "csv"}), ExitCode::kDone);
    EXPECT_EQ(cli.console.out, unstalled);
    cli.console.out.clear();
    cli.desktop.StallThread(7, 1);
    const ParsedJson document = DumpedJson();
    ExpectWindow(document["window"], top, 0, 0, true);
    EXPECT_EQ(document["summary"]["timedOut"], 0);
}

TEST_F(DumpTest, ATextThatChangesOnEveryReadIsChangingAndGivesFour) {
    bool longer = false;
    cli.desktop.onTextRequest = [&](WindowHandle window) {
        if (window == label) {
            cli.desktop.At(label).text = Text((longer = !longer) ? 1000 : 3000, u'x');
        }
    };
    const ParsedJson document = DumpedJson({}, ExitCode::kIncomplete);
    const ParsedJson& changing = document["window"]["children"][0];
    EXPECT_EQ(changing["status"], "changing");
    EXPECT_EQ(changing["text"], std::string(1001, 'x'));
    EXPECT_EQ(document["summary"]["changing"], 1);
    EXPECT_EQ(document["summary"]["complete"], false);
}

TEST_F(DumpTest, AFailedStepIsOneLineOnStandardErrorAndTheDumpGoesOnToFour) {
    cli.desktop.At(label).failTextRead = true;
    const ParsedJson document = DumpedJson({}, ExitCode::kIncomplete);
    EXPECT_EQ(cli.console.error,
              "tessivane-cli: An unexpected failure occurred: text read failed. (in " +
                  TextToUtf8(ReportLocation::WalkWindowTree) +
                  " at line 112)\ntessivane-cli: 1 step failed\n");
    EXPECT_EQ(document["summary"]["windows"], 7);
    EXPECT_EQ(document["summary"]["failedSteps"], 1);
}

TEST_F(DumpTest, ItemsComeWithTheirControlsInEachFormat) {
    cli.items.Link(list, cli.items.fake.AddTexts(ItemsKind::ListBox, {u"one", u"two, \u6f22"}));
    const WindowHandle tree = Add(top, u"SysTreeView32", u"", 107, {});
    FakeRemoteItems::Control treeControl;
    treeControl.kind = ItemsKind::TreeView;
    treeControl.roots = {{u"root", {{u"leaf", {}}}}};
    cli.items.Link(tree, cli.items.fake.Add(treeControl));

    const ParsedJson document = DumpedJson({"--items"});
    const ParsedJson& children = document["window"]["children"];
    EXPECT_FALSE(children[0].contains("items"));
    EXPECT_EQ(children[2]["items"],
              ParsedJson::parse(R"({"kind":"listBox","status":"read","claimed":0,"cutTexts":0,
                              "columns":[""],"rows":[["one"],["two, \u6f22"]]})"));
    EXPECT_EQ(children[3]["items"]["rows"], ParsedJson::parse(R"([["root"],["leaf"]])"));
    EXPECT_EQ(children[3]["items"]["depths"], ParsedJson::parse("[0,1]"));

    cli.console.out.clear();
    ASSERT_EQ(Dump({"--items", "--format", "csv"}), ExitCode::kDone);
    EXPECT_NE(
        cli.console.out.find(",read,listBox,read,\"\r\none\r\n\"\"two, \xE6\xBC\xA2\"\"\r\n\"\r\n"),
        std::string::npos);
    EXPECT_NE(cli.console.out.find(",bottom,status,itemsKind,itemsStatus,items\r\n"),
              std::string::npos);
}

TEST_F(DumpTest, ATopLevelWindowsMenusAreItsItemsAndASystemThatHidesThemIsNoFailure) {
    FakeRemoteItems::Control menus;
    menus.kind = ItemsKind::Menu;
    MenuItemFacts file;
    file.text = u"&File";
    MenuItemFacts exit;
    exit.text = u"E&xit\tAlt+F4";
    exit.greyed = true;
    menus.menuBar = {{file, {{exit, {}}}}};
    const WindowHandle fake = cli.items.fake.Add(menus);
    cli.items.Link(top, fake);
    cli.items.Link(list, cli.items.fake.AddTexts(ItemsKind::ListBox, {}));
    const ParsedJson document = DumpedJson({"--items"});
    EXPECT_EQ(document["window"]["items"],
              ParsedJson::parse(R"({"kind":"menu","status":"read","claimed":0,"cutTexts":0,
                              "columns":["Text","State"],"depths":[0,1],
                              "rows":[["&File","submenu"],["E&xit\tAlt+F4","greyed"]]})"));

    cli.items.fake.At(fake).answers = 0;
    cli.items.fake.At(fake).failure = RemoteEnd::Refused;
    cli.console.out.clear();
    const ParsedJson hidden = DumpedJson({"--items"});
    EXPECT_EQ(hidden["window"]["items"]["status"], "notReadable");
    EXPECT_EQ(hidden["window"]["items"]["rows"], ParsedJson::array());
    EXPECT_EQ(hidden["summary"]["itemsIncomplete"], 0);
}

TEST_F(DumpTest, ListsWithoutTextsAreCountedAndLeaveTheDumpComplete) {
    for (const auto& [rows, status] :
         {std::pair<std::vector<Text>, const char*>{{u"", u""}, "noText"}, {{u"", u"a"}, "read"}}) {
        cli.items.Link(list, cli.items.fake.AddTexts(ItemsKind::ListBox, rows));
        cli.console.out.clear();
        const ParsedJson document = DumpedJson({"--items"});
        EXPECT_EQ(document["window"]["children"][2]["items"]["status"], status);
        EXPECT_EQ(document["summary"]["textlessLists"], status == std::string("read") ? 0 : 1);
    }
}

TEST_F(DumpTest, ItemsThatStopComingGiveFour) {
    const WindowHandle fake = cli.items.fake.AddTexts(ItemsKind::ListBox, {u"a", u"b", u"c"});
    cli.items.fake.At(fake).answers = 2;
    cli.items.Link(list, fake);
    const ParsedJson document = DumpedJson({"--items"}, ExitCode::kIncomplete);
    EXPECT_EQ(document["window"]["children"][2]["items"]["status"], "timedOut");
    EXPECT_EQ(document["summary"]["itemsIncomplete"], 1);
}

TEST_F(DumpTest, OutputFileIsPutInPlaceWholeWithTheSameBytes) {
    ASSERT_EQ(Dump({"--format", "tsv"}), ExitCode::kDone);
    const std::string printed = cli.console.out;
    cli.console.out.clear();
    ASSERT_EQ(Dump({"--format", "tsv", "--output", "tree.tsv"}), ExitCode::kDone);
    EXPECT_TRUE(cli.console.out.empty());
    EXPECT_EQ(cli.files.files[u"tree.tsv"], printed);

    // A file that cannot be written: nothing is put in place, and the exit code is 1.
    cli.files.failWrites = true;
    EXPECT_EQ(Dump({"--output", "broken.json"}), ExitCode::kUsage);
    EXPECT_FALSE(cli.files.files.contains(u"broken.json"));
    EXPECT_EQ(cli.console.error, "tessivane-cli: The disk is full.\n");
    cli.files.readOnly.insert(u"locked.json");
    EXPECT_EQ(Dump({"--output", "locked.json"}), ExitCode::kUsage);
}

TEST_F(DumpTest, AClosedPipeEndsTheDumpQuietlyAndAFailedOutputWithOne) {
    for (int child = 0; child < 3000; ++child) {
        Add(list, u"Item", u"An item with a text of some length " + DecimalText(child), child, {});
    }
    std::size_t reads = 0;
    cli.desktop.onTextRequest = [&](WindowHandle) { ++reads; };
    const struct {
        bool closed;
        int exitCode;
        std::string error;
    } cases[] = {
        // The reader took what it wanted (head -1): no failure, nothing to say.
        {true, ExitCode::kDone, ""},
        {false, ExitCode::kUsage, "tessivane-cli: There is not enough space on the disk.\n"},
    };
    for (const auto& [closed, exitCode, error] : cases) {
        for (const char* format : {"json", "jsonl", "csv"}) {
            SCOPED_TRACE(std::string(format) + (closed ? " closed" : " failed"));
            cli.console.closedOut = closed;
            cli.console.failOut = !closed;
            cli.console.error.clear();
            reads = 0;
            EXPECT_EQ(Dump({"--format", format}), exitCode);
            EXPECT_EQ(cli.console.error, error);
            // The walk stopped once the output ended.
            EXPECT_LT(reads, 3000u);
        }
    }
}

namespace {

// The JSON tree's windows in pre-order, each without its children.
void Flatten(const ParsedJson& window, std::vector<ParsedJson>& windows) {
    ParsedJson alone = window;
    alone.erase("children");
    windows.push_back(alone);
    for (const ParsedJson& child : window["children"]) {
        Flatten(child, windows);
    }
}

}  // namespace

TEST_F(DumpTest, JsonLinesAreTheJsonTreesWindowsOneALineThenItsSummary) {
    cli.desktop.At(edit).thread = 7;
    cli.desktop.HangThread(7);
    const ParsedJson tree = DumpedJson({}, ExitCode::kIncomplete);
    std::vector<ParsedJson> windows;
    Flatten(tree["window"], windows);
    cli.console.out.clear();
    cli.console.error.clear();
    ASSERT_EQ(Dump({"-f", "jsonl"}), ExitCode::kIncomplete);
    EXPECT_EQ(cli.console.error, "tessivane-cli: 1 window did not answer in time\n");

    auto [lines, violations] =
        CheckJsonLines(ReadSchemaFile(TESSIVANE_CLI_SCHEMA), cli.console.out);
    EXPECT_EQ(violations, std::vector<std::string>{});
    ASSERT_EQ(lines.size(), windows.size() + 1);
    for (std::size_t index = 0; index < windows.size(); ++index) {
        EXPECT_EQ(lines[index]["type"], "window");
        lines[index].erase("type");
        EXPECT_EQ(lines[index], windows[index]);
    }
    ParsedJson summary = tree["summary"];
    summary.update({{"type", "summary"},
                    {"schema", tree["schema"]},
                    {"program", tree["program"]},
                    {"version", tree["version"]}});
    EXPECT_EQ(lines.back(), summary);
}

TEST_F(DumpTest, DeadlineStopsTheWalkKeepsWhatWasWrittenAndGivesFour) {
    // Each window's text takes 100 ms to come: three windows are read before 250 ms are up.
    cli.desktop.onTextRequest = [this](WindowHandle) { cli.now += std::chrono::milliseconds(100); };
    const ParsedJson document = DumpedJson({"--deadline", "250"}, ExitCode::kIncomplete);
    EXPECT_EQ(document["summary"]["windows"], 3);
    EXPECT_EQ(document["summary"]["deadline"], true);
    EXPECT_EQ(document["window"]["children"].size(), 2u);
    EXPECT_EQ(cli.console.error, "tessivane-cli: --deadline ended the command early\n");

    // The three windows, after a header line (csv) or before the summary line (jsonl).
    for (const auto& [format, lines] : {std::pair{"jsonl", 4}, {"csv", 4}, {"text", 3}}) {
        SCOPED_TRACE(format);
        cli.console.out.clear();
        EXPECT_EQ(Dump({"--deadline", "250", "-f", format}), ExitCode::kIncomplete);
        EXPECT_EQ(std::count(cli.console.out.begin(), cli.console.out.end(), '\n'), lines);
    }
    cli.console.out.clear();
    EXPECT_EQ(DumpedJson({"--deadline", "100000"})["summary"]["deadline"], false);
}

TEST_F(DumpTest, TheForegroundWindowAndTheDeepestWindowAtAPointAreSelectors) {
    cli.desktop.At(label).text = u"&Label";
    const struct {
        std::vector<std::string> selector;
        WindowHandle foreground;
        int exitCode;
        WindowHandle dumped;
        std::string error;
    } cases[] = {
        {{"--foreground"}, top, ExitCode::kDone, top, ""},
        {{"--foreground"},
         0,
         ExitCode::kNoMatch,
         0,
         "tessivane-cli: no window is in the foreground (the desktop itself, or no window, has "
         "the focus)\n"},
        {{"--at", "200,130"}, 0, ExitCode::kDone, edit, ""},
        {{"--at", "115,90"}, 0, ExitCode::kDone, label, ""},
        {{"--at", "500,500"}, 0, ExitCode::kDone, top, ""},
        // The hidden panel is not where the pointer would find it.
        {{"--at", "390,230"}, 0, ExitCode::kDone, panel, ""},
        {{"--at", "-5,10"},
         0,
         ExitCode::kNoMatch,
         0,
         "tessivane-cli: no window is at -5,10 on screen (the point is off every screen, on the "
         "desktop itself, or on one of this program's windows)\n"},
        {{"--at", "5;10"},
         0,
         ExitCode::kUsage,
         0,
         "tessivane-cli: --at must be a point on screen as X,Y in whole pixels, such as 640,360, "
         "not \"5;10\"\n"},
        {{"--at", "5,10", "--foreground"},
         0,
         ExitCode::kUsage,
         0,
         "tessivane-cli: dump takes one selector, not --foreground and --at\n"},
    };
    for (const auto& [selector, foreground, exitCode, dumped, error] : cases) {
        cli.desktop.foreground = foreground;
        cli.console.out.clear();
        cli.console.error.clear();
        std::vector<std::string> arguments{"dump", "--max-depth", "0"};
        arguments.insert(arguments.end(), selector.begin(), selector.end());
        EXPECT_EQ(cli.Run(arguments), exitCode) << selector[0];
        EXPECT_EQ(cli.console.error.substr(0, error.size()), error) << selector[0];
        if (dumped != 0) {
            const auto window = ParsedJson::parse(cli.console.out)["window"];
            EXPECT_EQ(window["handle"], dumped);
            if (dumped == label) {
                EXPECT_EQ(window["shown"], "Label");
            }
        }
    }
}
