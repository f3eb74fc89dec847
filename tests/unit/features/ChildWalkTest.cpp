// The child walk and the window text read against the in-memory desktop.
#include <gtest/gtest.h>

#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"
#include "extraction/TextRead.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "gui/ErrorReportBox.h"

namespace {

struct ChildWalkTest : ::testing::Test {
    FakeDesktop desktop;
    RecordingDialogs dialogs;
    ErrorReportBox reports{dialogs};
    FakeRowTableDisplay display;
    RowTable results{display};

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

TEST_F(ChildWalkTest, WalksDepthFirstInPreOrder) {
    const WindowHandle top =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"TopClass", u"Top"));
    const WindowHandle a = desktop.Add(top, FakeDesktop::Make(u"Button", u"A"));
    const WindowHandle b = desktop.Add(top, FakeDesktop::Make(u"Edit", u"B\r\n\tline"));
    const WindowHandle a1 = desktop.Add(a, FakeDesktop::Make(u"Static", u"A1"));

    WalkWindowTree(top, results, desktop, reports);

    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{
                          {u"TopClass", DecimalText(top), u"Top"},
                          {u"Button", DecimalText(a), u"A"},
                          {u"Static", DecimalText(a1), u"A1"},
                          {u"Edit", DecimalText(b), u"B\r\n\tline"},
                      }));
    EXPECT_FALSE(results.Checked(2));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, ChildlessAndVanishedWindowsGiveOneRowEach) {
    const WindowHandle lone = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Lone", u""));
    WalkWindowTree(lone, results, desktop, reports);
    WalkWindowTree(-123456, results, desktop, reports);
    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{{u"Lone", DecimalText(lone), u""},
                                                      {u"", u"-123456", u""}}));
    EXPECT_EQ(desktop.textRequests[lone], 0);  // length 0: no WM_GETTEXT
}

TEST_F(ChildWalkTest, FailedTextReadIsReportedAtLine112AndTheWalkGoesOn) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle bad = desktop.Add(top, FakeDesktop::Make(u"Bad", u"unreadable"));
    desktop.At(bad).failTextRead = true;
    desktop.Add(bad, FakeDesktop::Make(u"Child", u"c"));
    desktop.Add(top, FakeDesktop::Make(u"After", u"a"));

    WalkWindowTree(top, results, desktop, reports);

    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"An unexpected failure occurred: text read failed.",
                              ReportLocation::WalkWindowTree, 112));
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_EQ(results.SubItem(2, 2), u"");
    EXPECT_EQ(results.MainText(3), u"Child");
    EXPECT_EQ(results.MainText(4), u"After");
}

TEST_F(ChildWalkTest, ClassNamesKeep255UnitsAndTextsKeepEmbeddedNuls) {
    const Text longClass(300, u'C');
    const Text text(u"before\0after \U0001D11E", 14);
    const WindowHandle window =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(longClass, text));
    WalkWindowTree(window, results, desktop, reports);
    EXPECT_EQ(results.MainText(1), longClass.substr(0, 255));
    EXPECT_EQ(results.SubItem(1, 2), text);
}

TEST_F(ChildWalkTest, LyingLengthsNeverOverrunTheBuffer) {
    const WindowHandle grew =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"grown text"));
    desktop.At(grew).claimedLength = 5;  // the text grew after the length answer
    const WindowHandle shrank =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"ab"));
    desktop.At(shrank).claimedLength = 40;
    TextReadSession session(desktop);
    EXPECT_EQ(ReadWindowText(grew, session), u"grown");
    EXPECT_EQ(ReadWindowText(shrank, session), u"ab");
    EXPECT_EQ(ReadWindowText(0, session), u"");
}

TEST_F(ChildWalkTest, CountsCopiedBeyondTheBufferOrBelowZeroAreNotBelieved) {
    // Asked for its length, the window says 5; asked for its text, it copies what fits in the
    // buffer of 6 and then claims all 10 units, or a negative count.
    const WindowHandle boasts =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"grown text"));
    desktop.At(boasts).claimedLength = 5;
    desktop.At(boasts).claimedCopied = 10;
    const WindowHandle negative =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"text"));
    desktop.At(negative).claimedCopied = -3;
    TextReadSession session(desktop);
    const Text boasted = ReadWindowText(boasts, session);
    EXPECT_EQ(boasted, u"grown");
    EXPECT_EQ(boasted.size(), 5u);
    EXPECT_EQ(ReadWindowText(negative, session), u"");
}

TEST_F(ChildWalkTest, HungThreadIsAskedOnceAndTheWalkFinishes) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle hung1 = desktop.Add(top, FakeDesktop::Make(u"Hung", u"x", 7));
    const WindowHandle hung2 = desktop.Add(top, FakeDesktop::Make(u"Hung", u"y", 7));
    desktop.Add(top, FakeDesktop::Make(u"Fine", u"z"));
    desktop.HangThread(7);

    WalkWindowTree(top, results, desktop, reports);

    EXPECT_EQ(desktop.lengthRequests[hung1], 1);
    EXPECT_EQ(desktop.lengthRequests[hung2], 0);
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_EQ(results.SubItem(2, 2), u"");
    EXPECT_EQ(results.MainText(3), u"Hung");  // class and handle still read
    EXPECT_EQ(results.SubItem(4, 2), u"z");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, DeepAndWideTreesAreWalkedWhole) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u""));
    WindowHandle parent = top;
    for (int level = 0; level < 10000; ++level) {
        parent = desktop.Add(parent, FakeDesktop::Make(u"Deep", u""));
    }
    const WindowHandle wide = desktop.Add(top, FakeDesktop::Make(u"Wide", u""));
    for (int child = 0; child < 40000; ++child) {
        desktop.Add(wide, FakeDesktop::Make(u"Item", u""));
    }
    WalkWindowTree(top, results, desktop, reports);
    EXPECT_EQ(results.RowCount(), 1u + 10000u + 1u + 40000u);
    EXPECT_EQ(results.SubItem(10001, 1), DecimalText(parent));
    EXPECT_EQ(results.MainText(10002), u"Wide");
}
