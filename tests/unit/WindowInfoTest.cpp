// The extraction walk and the window text read against the in-memory desktop.
#include <gtest/gtest.h>

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "fakes/FormHarness.h"
#include "windows/mWindowInfo.h"

namespace {

FakeDesktop::Window Make(Text className, Text text, std::uint32_t thread = 1) {
    FakeDesktop::Window window;
    window.className = std::move(className);
    window.text = std::move(text);
    window.thread = thread;
    return window;
}

struct WindowInfoTest : ::testing::Test {
    FakeDesktop desktop;
    RecordingDialogs dialogs;
    FakeListDisplay display;
    ListView results{display};

    void SetUp() override { AppendColumns(results, {u"Class Name", u"Handle", u"Text"}); }

    std::vector<std::vector<Text>> Rows() const {
        std::vector<std::vector<Text>> rows;
        for (std::size_t row = 1; row <= results.RowCount(); ++row) {
            rows.push_back(
                {results.MainText(row), results.SubItem(row, 1), results.SubItem(row, 2)});
        }
        return rows;
    }
};

}  // namespace

TEST_F(WindowInfoTest, WalksDepthFirstInPreOrder) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, Make(u"TopClass", u"Top"));
    const WindowHandle a = desktop.Add(top, Make(u"Button", u"A"));
    const WindowHandle b = desktop.Add(top, Make(u"Edit", u"B\r\n\tline"));
    const WindowHandle a1 = desktop.Add(a, Make(u"Static", u"A1"));

    WindowInfo(top, results, desktop, dialogs);

    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{
                          {u"TopClass", DecimalText(top), u"Top"},
                          {u"Button", DecimalText(a), u"A"},
                          {u"Static", DecimalText(a1), u"A1"},
                          {u"Edit", DecimalText(b), u"B\r\n\tline"},
                      }));
    EXPECT_FALSE(results.Checked(2));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowInfoTest, ChildlessAndVanishedWindowsGiveOneRowEach) {
    const WindowHandle lone = desktop.Add(FakeDesktop::kDesktop, Make(u"Lone", u""));
    WindowInfo(lone, results, desktop, dialogs);
    WindowInfo(-123456, results, desktop, dialogs);
    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{{u"Lone", DecimalText(lone), u""},
                                                      {u"", u"-123456", u""}}));
    EXPECT_EQ(desktop.textRequests[lone], 0);  // length 0: no WM_GETTEXT
}

TEST_F(WindowInfoTest, FailedTextReadIsReportedAtLine112AndTheWalkGoesOn) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, Make(u"Top", u"t"));
    const WindowHandle bad = desktop.Add(top, Make(u"Bad", u"unreadable"));
    desktop.At(bad).failTextRead = true;
    desktop.Add(bad, Make(u"Child", u"c"));
    desktop.Add(top, Make(u"After", u"a"));

    WindowInfo(top, results, desktop, dialogs);

    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"An unexpected failure occurred: text read failed.",
                              Location::WindowInfo, 112));
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_EQ(results.SubItem(2, 2), u"");
    EXPECT_EQ(results.MainText(3), u"Child");
    EXPECT_EQ(results.MainText(4), u"After");
}

TEST_F(WindowInfoTest, ClassNamesKeep255UnitsAndTextsKeepEmbeddedNuls) {
    const Text longClass(300, u'C');
    const Text text(u"before\0after \U0001D11E", 14);
    const WindowHandle window = desktop.Add(FakeDesktop::kDesktop, Make(longClass, text));
    WindowInfo(window, results, desktop, dialogs);
    EXPECT_EQ(results.MainText(1), longClass.substr(0, 255));
    EXPECT_EQ(results.SubItem(1, 2), text);
}

TEST_F(WindowInfoTest, LyingLengthsNeverOverrunTheBuffer) {
    const WindowHandle grew = desktop.Add(FakeDesktop::kDesktop, Make(u"Edit", u"grown text"));
    desktop.At(grew).claimedLength = 5;  // the text grew after the length answer
    const WindowHandle shrank = desktop.Add(FakeDesktop::kDesktop, Make(u"Edit", u"ab"));
    desktop.At(shrank).claimedLength = 40;
    TextReadSession session(desktop);
    EXPECT_EQ(ReadWindowText(grew, session), u"grown");
    EXPECT_EQ(ReadWindowText(shrank, session), u"ab");
    EXPECT_EQ(ReadWindowText(0, session), u"");
}

TEST_F(WindowInfoTest, HungThreadIsAskedOnceAndTheWalkFinishes) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, Make(u"Top", u"t"));
    const WindowHandle hung1 = desktop.Add(top, Make(u"Hung", u"x", 7));
    const WindowHandle hung2 = desktop.Add(top, Make(u"Hung", u"y", 7));
    desktop.Add(top, Make(u"Fine", u"z"));
    desktop.HangThread(7);

    WindowInfo(top, results, desktop, dialogs);

    EXPECT_EQ(desktop.lengthRequests[hung1], 1);
    EXPECT_EQ(desktop.lengthRequests[hung2], 0);
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_EQ(results.SubItem(2, 2), u"");
    EXPECT_EQ(results.MainText(3), u"Hung");  // class and handle still read
    EXPECT_EQ(results.SubItem(4, 2), u"z");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowInfoTest, DeepAndWideTreesAreWalkedWhole) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, Make(u"Top", u""));
    WindowHandle parent = top;
    for (int level = 0; level < 10000; ++level) {
        parent = desktop.Add(parent, Make(u"Deep", u""));
    }
    const WindowHandle wide = desktop.Add(top, Make(u"Wide", u""));
    for (int child = 0; child < 40000; ++child) {
        desktop.Add(wide, Make(u"Item", u""));
    }
    WindowInfo(top, results, desktop, dialogs);
    EXPECT_EQ(results.RowCount(), 1u + 10000u + 1u + 40000u);
    EXPECT_EQ(results.SubItem(10001, 1), DecimalText(parent));
    EXPECT_EQ(results.MainText(10002), u"Wide");
}

namespace {

struct ExtractCommandTest : ::testing::Test, FormHarness {
    Form1 form = MakeForm();
    ListView& windowList = listView1;
    ListView& results = listView2;
};

}  // namespace

TEST_F(ExtractCommandTest, ReplacesEarlierResultsWithTheSelectedWindowsTree) {
    const WindowHandle top = desktop.AddTopLevel(u"Target");
    desktop.At(top).className = u"TargetClass";
    desktop.Add(top, Make(u"Static", u"label"));
    form.Form_Load();
    display1.selected = 0;
    form.PushButton2_Click();
    form.PushButton2_Click();
    ASSERT_EQ(results.RowCount(), 2u);
    EXPECT_EQ(results.SubItem(1, 1), windowList.SubItem(1, 1));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ExtractCommandTest, NoSelectionEmptiesTheResultsAndReportsLine104) {
    desktop.AddTopLevel(u"Target");
    form.Form_Load();
    results.AppendRow(u"old");
    form.PushButton2_Click();
    EXPECT_EQ(results.RowCount(), 0u);
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0], ErrorReportText(u"No window is selected in the window list.",
                                                       Location::PushButton2_Click, 104));
}

TEST_F(ExtractCommandTest, EmptyWindowListChangesNothing) {
    form.Form_Load();
    results.AppendRow(u"old");
    form.PushButton2_Click();
    EXPECT_EQ(results.RowCount(), 1u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}
