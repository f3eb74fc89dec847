// The child walk and the window text read against the in-memory desktop.
#include <gtest/gtest.h>

#include <set>

#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/ChildWalk.h"
#include "extraction/ResourceText.h"
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

// What the walk's observer hears: each row walked, with the handle its table holds by then, and
// each row read again at the walk's end.
struct Recorder : WalkObserver {
    explicit Recorder(const RowTable& table) : rows(table) {}
    void WindowWalked(const WalkedWindow& window) override {
        cells.push_back(rows.SubItem(window.row, 1));
        walked.push_back(window);
    }
    void WindowReadAgain(const WalkedWindow& window) override { readAgain.push_back(window); }
    const RowTable& rows;
    std::vector<Text> cells;
    std::vector<WalkedWindow> walked;
    std::vector<WalkedWindow> readAgain;
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

TEST_F(ChildWalkTest, ChildlessWindowGivesOneRowAndAVanishedOneNone) {
    const WindowHandle lone = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Lone", u""));
    EXPECT_EQ(WalkWindowTree(lone, results, desktop, reports).rows, 1u);
    EXPECT_EQ(WalkWindowTree(-123456, results, desktop, reports).vanished, 1u);
    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{{u"Lone", DecimalText(lone), u""}}));
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

TEST_F(ChildWalkTest, ClassNamesKeep255UnitsAndTextsEndAtTheirFirstNul) {
    const Text longClass(300, u'C');
    const WindowHandle window = desktop.Add(
        FakeDesktop::kDesktop, FakeDesktop::Make(longClass, Text(u"ab\0cd \U0001D11E", 8)));
    WalkWindowTree(window, results, desktop, reports);
    EXPECT_EQ(results.MainText(1), longClass.substr(0, 255));
    EXPECT_EQ(results.SubItem(1, 2), u"ab");
}

TEST_F(ChildWalkTest, TextsOfEveryLengthAreReadWhole) {
    TextReadSession session(desktop);
    for (const std::size_t length : {0u, 1u, 510u, 511u, 512u, 513u, 2000u, 1000000u}) {
        Text text(length, u'x');
        for (std::size_t i = 0; i < length; i += 97) {
            text[i] = static_cast<char16_t>(u'a' + i % 26);  // not all alike, so order counts
        }
        const WindowHandle window =
            desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", text));
        const WindowText read = ReadWindowText(window, session);
        EXPECT_EQ(read.text, text) << length;
        EXPECT_EQ(read.status, TextReadStatus::Read) << length;
        EXPECT_LE(read.text.capacity(), std::max<std::size_t>(length, 15)) << length;
    }
}

TEST_F(ChildWalkTest, LyingLengthsNeverOverrunTheBufferNorCostMoreThanTheCap) {
    TextReadSession session(desktop);
    // Claims 2^31 - 1 units and copies 5.
    const WindowHandle boasts =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"small"));
    desktop.At(boasts).claimedLength = (std::int64_t{1} << 31) - 1;
    EXPECT_EQ(ReadWindowText(boasts, session).text, u"small");
    // Claims 5 and copies as much as it is let.
    const WindowHandle understates =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(600, u'u')));
    desktop.At(understates).claimedLength = 5;
    const WindowText understated = ReadWindowText(understates, session);
    EXPECT_EQ(understated.text, Text(511, u'u'));
    // Shorter than what came, the length never agrees with the text.
    EXPECT_EQ(understated.status, TextReadStatus::Changing);
    // Claims a length below zero, which no text has: what came, cut.
    const WindowHandle negative =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(600, u'n')));
    desktop.At(negative).claimedLength = -5;
    const WindowText impossible = ReadWindowText(negative, session);
    EXPECT_EQ(impossible.text, Text(511, u'n'));
    EXPECT_EQ(impossible.status, TextReadStatus::Cut);
    // Claims 2^31 - 1 and answers that it filled every buffer it was given.
    const WindowHandle fills =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(600, u'f')));
    desktop.At(fills).claimedLength = (std::int64_t{1} << 31) - 1;
    desktop.At(fills).claimsWholeBuffer = true;
    const WindowText filled = ReadWindowText(fills, session);
    EXPECT_EQ(filled.text, Text(600, u'f'));
    EXPECT_EQ(filled.status, TextReadStatus::Cut);
    EXPECT_EQ(desktop.largestTextBuffer, kTextCap + 1);
    // A text longer than the cap is read up to it.
    const WindowHandle huge =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(kTextCap + 10, u'h')));
    const WindowText cut = ReadWindowText(huge, session);
    EXPECT_EQ(cut.text.size(), kTextCap);
    EXPECT_EQ(cut.status, TextReadStatus::Cut);
    EXPECT_EQ(ReadWindowText(0, session).text, u"");
}

TEST_F(ChildWalkTest, CountsCopiedBeyondTheBufferOrBelowZeroAreNotBelieved) {
    // Asked for its text, the window copies what fits and claims ten times more, or a
    // negative count.
    const WindowHandle boasts =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(600, u'b')));
    desktop.At(boasts).claimedCopied = 6000;
    const WindowHandle negative =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", u"text"));
    desktop.At(negative).claimedCopied = -3;
    TextReadSession session(desktop);
    EXPECT_EQ(ReadWindowText(boasts, session).text, Text(600, u'b'));
    EXPECT_EQ(ReadWindowText(negative, session).text, u"");
}

TEST_F(ChildWalkTest, WindowsGoneBeforeTheirRowGetNoneAndAreCounted) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    std::vector<WindowHandle> children;
    for (int i = 0; i < 10; ++i) {
        children.push_back(desktop.Add(top, FakeDesktop::Make(u"Child", DecimalText(i))));
    }
    // The target closes children 5 to 9 while child 2's text is read.
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == children[2]) {
            for (std::size_t i = 5; i < 10; ++i) {
                desktop.Remove(children[i]);
            }
        }
    };
    const WalkSummary summary = WalkWindowTree(top, results, desktop, reports);
    EXPECT_EQ(Rows().size(), 6u);
    EXPECT_EQ(summary.rows, 6u);
    EXPECT_EQ(summary.vanished, 5u);
    EXPECT_TRUE(summary.Incomplete());
    for (const auto& row : Rows()) {
        EXPECT_FALSE(row[0].empty());
    }
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, TargetExitingMidWalkLeavesOnlyTheRowsReadBefore) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    for (int i = 0; i < 100; ++i) {
        desktop.Add(top, FakeDesktop::Make(u"Child", DecimalText(i)));
    }
    int reads = 0;
    desktop.onTextRequest = [&](WindowHandle) {
        if (++reads == 10) {
            desktop.Remove(top);
        }
    };
    const WalkSummary summary = WalkWindowTree(top, results, desktop, reports);
    // The tenth window read is the ninth child, gone once its read is answered, as are the 91
    // after it.
    EXPECT_EQ(summary.rows, 9u);
    EXPECT_EQ(summary.vanished, 92u);
    EXPECT_EQ(results.RowCount(), 9u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, EachWindowIsVisitedOnceWhenItsTargetMovesItsChildren) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle first = desktop.Add(top, FakeDesktop::Make(u"Panel", u"first"));
    const WindowHandle second = desktop.Add(top, FakeDesktop::Make(u"Panel", u"second"));
    const WindowHandle moving = desktop.Add(first, FakeDesktop::Make(u"Button", u"moving"));
    // Once read under the first panel, the button moves under the second.
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == moving) {
            desktop.Move(moving, second);
        }
    };
    WalkWindowTree(top, results, desktop, reports);
    EXPECT_EQ(Rows().size(), 4u);
    std::set<Text> handles;
    for (const auto& row : Rows()) {
        EXPECT_TRUE(handles.insert(row[1]).second) << "visited twice: " << TextToUtf8(row[1]);
    }
}

TEST_F(ChildWalkTest, TreeThatGrowsWhileReadEndsAtTheRowLimit) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    // Every read gives the window being read a new child.
    desktop.onTextRequest = [&](WindowHandle window) {
        desktop.Add(window, FakeDesktop::Make(u"Grown", u"g"));
    };
    const WalkSummary summary = WalkWindowTree(top, results, desktop, reports, {}, 50);
    EXPECT_EQ(summary.rows, 50u);
    EXPECT_TRUE(summary.rowLimitReached);
    EXPECT_EQ(results.RowCount(), 50u);
}

TEST_F(ChildWalkTest, StopBetweenWindowsKeepsTheRowsReadSoFar) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    for (int i = 0; i < 20; ++i) {
        desktop.Add(top, FakeDesktop::Make(u"Child", DecimalText(i)));
    }
    int asked = 0;
    const WalkSummary summary =
        WalkWindowTree(top, results, desktop, reports, [&] { return ++asked <= 5; });
    EXPECT_EQ(asked, 6);
    EXPECT_TRUE(summary.stopped);
    EXPECT_FALSE(summary.Incomplete());
    EXPECT_EQ(results.RowCount(), 6u);
    EXPECT_EQ(results.SubItem(6, 2), u"4");
}

TEST_F(ChildWalkTest, HungThreadIsAskedOnceAndTheWalkFinishes) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle hung1 = desktop.Add(top, FakeDesktop::Make(u"Hung", u"x", 7));
    const WindowHandle hung2 = desktop.Add(top, FakeDesktop::Make(u"Hung", u"y", 7));
    desktop.Add(top, FakeDesktop::Make(u"Fine", u"z"));
    desktop.HangThread(7);

    WalkWindowTree(top, results, desktop, reports);

    EXPECT_EQ(desktop.textRequests[hung1], 1);
    EXPECT_EQ(desktop.textRequests[hung2], 0);
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

TEST_F(ChildWalkTest, ObserverIsToldEachCompleteRowWithItsParentDepthAndReadStatus) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle a = desktop.Add(top, FakeDesktop::Make(u"Panel", u"a"));
    const WindowHandle a1 = desktop.Add(a, FakeDesktop::Make(u"Edit", u"a1", 7));
    const WindowHandle b = desktop.Add(top, FakeDesktop::Make(u"Button", u"b"));
    desktop.HangThread(7);
    Recorder recorder(results);
    WalkOptions options;
    options.observer = &recorder;

    WalkWindowTree(top, results, desktop, reports, options);

    ASSERT_EQ(recorder.walked.size(), 4u);
    const auto expect = [&](std::size_t index, WindowHandle window, WindowHandle parent, int depth,
                            TextReadStatus status) {
        const WalkedWindow& got = recorder.walked[index];
        EXPECT_EQ(got.row, index + 1);
        EXPECT_EQ(got.window, window);
        EXPECT_EQ(got.parent, parent);
        EXPECT_EQ(got.depth, depth);
        EXPECT_EQ(got.status, status);
        EXPECT_EQ(recorder.cells[index], DecimalText(window));
    };
    expect(0, top, 0, 0, TextReadStatus::Read);
    expect(1, a, top, 1, TextReadStatus::Read);
    expect(2, a1, a, 2, TextReadStatus::TimedOut);
    expect(3, b, top, 1, TextReadStatus::Read);
}

TEST_F(ChildWalkTest, AnIconStaticsTextShowsItsResourceAndTheObserverHearsTheOrdinal) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    FakeDesktop::Window icon = FakeDesktop::Make(u"Static", Text{u'\xFFFF', u'\x0002'}, 7);
    icon.style = kStaticIcon;
    const WindowHandle iconStatic = desktop.Add(top, icon);
    const WindowHandle plain =
        desktop.Add(top, FakeDesktop::Make(u"Static", Text{u'\xFFFF', u'\x0002', u'!'}));
    // The icon's thread stalls once: the text read again at the walk's end is shown alike.
    desktop.StallThread(7, 1);
    Recorder recorder(results);
    WalkOptions options;
    options.observer = &recorder;

    WalkWindowTree(top, results, desktop, reports, options);

    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{
                          {u"Top", DecimalText(top), u"t"},
                          {u"Static", DecimalText(iconStatic), u"(icon 2)"},
                          {u"Static", DecimalText(plain), Text{u'\xFFFF', u'\x0002', u'!'}},
                      }));
    ASSERT_EQ(recorder.walked.size(), 3u);
    EXPECT_EQ(recorder.walked[1].resource, std::nullopt);  // not read yet: it stalled
    EXPECT_EQ(recorder.walked[2].resource, std::nullopt);
    ASSERT_EQ(recorder.readAgain.size(), 1u);
    EXPECT_EQ(recorder.readAgain[0].resource, 2);
}

TEST_F(ChildWalkTest, MaxDepthLeavesDeeperWindowsUnasked) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle a = desktop.Add(top, FakeDesktop::Make(u"Panel", u"a"));
    const WindowHandle deep = desktop.Add(a, FakeDesktop::Make(u"Edit", u"deep"));
    desktop.Add(top, FakeDesktop::Make(u"Button", u"b"));
    WalkOptions options;
    options.maxDepth = 1;
    const WalkSummary summary = WalkWindowTree(top, results, desktop, reports, options);
    EXPECT_EQ(summary.rows, 3u);
    EXPECT_FALSE(summary.Incomplete());
    EXPECT_EQ(desktop.textRequests[deep], 0);
    options.maxDepth = 0;
    EXPECT_EQ(WalkWindowTree(top, results, desktop, reports, options).rows, 1u);
}

TEST_F(ChildWalkTest, AReadShowsOnlyWhatTheWindowWroteInItAndAnOverclaimIsCut) {
    struct Case {
        const char* what;
        Text text;
        bool writesNothing;
        std::optional<std::int64_t> claimedCopied;
        Text expected;
        TextReadStatus status;
    };
    const Case cases[] = {
        {"writes nothing, claims 2^31 - 1", u"hidden", true, 0x7FFFFFFF, u"", TextReadStatus::Cut},
        {"writes nothing, claims 600", u"hidden", true, 600, u"", TextReadStatus::Cut},
        {"writes less, claims 2^31 - 1", u"abc", false, 0x7FFFFFFF, u"abc", TextReadStatus::Cut},
        {"counts its terminator", u"abc", false, 4, u"abc", TextReadStatus::Cut},
        {"writes nothing, answers 0", u"hidden", true, std::nullopt, u"", TextReadStatus::Read},
        {"a NUL inside what it claims", Text(u"ab\0cd", 5), false, 5, u"ab", TextReadStatus::Cut},
        {"writes its text, answers -5", u"shown", false, -5, u"", TextReadStatus::Cut},
    };
    TextReadSession session(desktop);
    for (const Case& test : cases) {
        // Read just before, a long text leaves its units in the session's buffer.
        const WindowHandle before =
            desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", Text(5000, u'L')));
        ASSERT_EQ(ReadWindowText(before, session).text.size(), 5000u);
        const WindowHandle window =
            desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", test.text));
        desktop.At(window).writesNothing = test.writesNothing;
        desktop.At(window).claimedCopied = test.claimedCopied;
        const WindowText read = ReadWindowText(window, session);
        EXPECT_EQ(read.text, test.expected) << test.what;
        EXPECT_EQ(read.status, test.status) << test.what;
    }
}

TEST_F(ChildWalkTest, ALongTextThatChangesWhileReadIsReadAgainUntilItSettles) {
    const Text grown(70000, u'g');
    const Text middle(4096, u'm');
    struct Case {
        const char* what;
        std::vector<Text> texts;  // the text at each WM_GETTEXT, the last one staying
        Text expected;
        TextReadStatus status;
    };
    const Case cases[] = {
        {"grows after its length was asked", {middle, grown}, grown, TextReadStatus::Read},
        {"shrinks to short after its length", {grown, u"short"}, u"short", TextReadStatus::Read},
        {"churns on every attempt",
         {middle, grown, middle, grown, middle, grown},
         grown.substr(0, middle.size() + 1),
         TextReadStatus::Changing},
        {"settles on the last attempt",
         {middle, grown, middle, grown, grown},
         grown,
         TextReadStatus::Read},
    };
    TextReadSession session(desktop);
    for (const Case& test : cases) {
        const WindowHandle window =
            desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Edit", test.texts[0]));
        std::size_t request = 0;
        desktop.onTextRequest = [&](WindowHandle) {
            desktop.At(window).text = test.texts[std::min(request++, test.texts.size() - 1)];
        };
        const WindowText read = ReadWindowText(window, session);
        EXPECT_EQ(read.text, test.expected) << test.what;
        EXPECT_EQ(read.status, test.status) << test.what;
    }
}

TEST_F(ChildWalkTest, AWindowThatClosesInsideItsOwnReadHasNoRowAndIsCountedClosed) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    const WindowHandle closing = desktop.Add(top, FakeDesktop::Make(u"Liar", u"bye"));
    desktop.Add(closing, FakeDesktop::Make(u"Inner", u"gone with it"));
    desktop.Add(top, FakeDesktop::Make(u"After", u"a"));
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == closing) {
            desktop.Remove(closing);
        }
    };
    const WalkSummary summary = WalkWindowTree(top, results, desktop, reports);
    EXPECT_EQ(Rows(), (std::vector<std::vector<Text>>{
                          {u"Top", DecimalText(top), u"t"},
                          {u"After", DecimalText(desktop.At(top).children[0]), u"a"},
                      }));
    EXPECT_EQ(summary.vanished, 1u);
    EXPECT_EQ(summary.timedOut, 0u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, AThreadThatStalledIsAskedAgainAtTheEndOnceItAnswersAProbe) {
    struct Case {
        const char* what;
        int stalledMessages;  // how many messages thread 7 leaves unanswered
        bool stallsAgain;     // once more, when its second window is asked again
        std::vector<std::size_t> rowsReadAgain;
    };
    const Case cases[] = {
        {"stalls once", 1, false, {2, 4, 6}},
        {"still stalled at the probe", 2, false, {}},
        {"stalls again at its second window", 1, true, {2}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        FakeDesktop tree;
        const WindowHandle top = tree.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
        std::vector<WindowHandle> stalling;
        for (int i = 0; i < 3; ++i) {
            stalling.push_back(tree.Add(top, FakeDesktop::Make(u"Slow", DecimalText(i), 7)));
            tree.Add(top, FakeDesktop::Make(u"Fine", u"f"));
        }
        tree.StallThread(7, test.stalledMessages);
        tree.onTextRequest = [&](WindowHandle window) {
            if (window == stalling[1] && test.stallsAgain) {
                tree.StallThread(7, 1);
            }
        };
        FakeRowTableDisplay shown;
        RowTable table(shown);
        AppendColumns(table, {u"Class Name", u"Handle", u"Text"});
        Recorder recorder(table);
        WalkOptions options;
        options.observer = &recorder;
        const WalkSummary summary = WalkWindowTree(top, table, tree, reports, options);
        std::vector<std::size_t> rowsReadAgain;
        for (const WalkedWindow& window : recorder.readAgain) {
            rowsReadAgain.push_back(window.row);
        }
        EXPECT_EQ(rowsReadAgain, test.rowsReadAgain);
        EXPECT_EQ(summary.timedOut, 3 - test.rowsReadAgain.size());
        // Once for the thread, whatever it answers.
        EXPECT_EQ(tree.probes, (std::map<WindowHandle, int>{{stalling[0], 1}}));
        for (const std::size_t row : test.rowsReadAgain) {
            EXPECT_EQ(table.SubItem(row, 2), DecimalText(static_cast<std::int64_t>(row / 2 - 1)));
        }
        EXPECT_EQ(table.SubItem(7, 2), u"f");
    }
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ChildWalkTest, StopEndsTheSecondAskingToo) {
    const WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
    for (int i = 0; i < 4; ++i) {
        desktop.Add(top, FakeDesktop::Make(u"Slow", DecimalText(i), 7));
    }
    desktop.StallThread(7, 1);
    // Four windows of the walk, then one asked again.
    int asked = 0;
    const WalkSummary summary =
        WalkWindowTree(top, results, desktop, reports, [&] { return ++asked <= 5; });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.timedOut, 3u);
    EXPECT_EQ(results.SubItem(2, 2), u"0");
    EXPECT_EQ(results.SubItem(3, 2), u"");
}

TEST_F(ChildWalkTest, AWindowWhoseOwnAnswerIsLostIsCutAloneAndItsThreadIsReadOn) {
    struct Case {
        const char* what;
        std::vector<bool> lost;  // thread 7's windows, in order: which lose their answers
    };
    const Case cases[] = {
        {"the first of its thread", {true, false, false}},
        {"between good ones", {false, true, false}},
        {"two of them", {true, false, true, false}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        FakeDesktop tree;
        const WindowHandle top = tree.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Top", u"t"));
        std::vector<WindowHandle> children;
        for (std::size_t i = 0; i < test.lost.size(); ++i) {
            FakeDesktop::Window child = FakeDesktop::Make(u"Child", u"good " + DecimalText(i), 7);
            child.leavesTextUnanswered = test.lost[i];
            children.push_back(tree.Add(top, child));
        }
        FakeRowTableDisplay shown;
        RowTable table(shown);
        AppendColumns(table, {u"Class Name", u"Handle", u"Text"});
        const WalkSummary summary = WalkWindowTree(top, table, tree, reports);
        ASSERT_EQ(table.RowCount(), test.lost.size() + 1);
        std::size_t lost = 0;
        for (std::size_t i = 0; i < test.lost.size(); ++i) {
            EXPECT_EQ(table.SubItem(i + 2, 2), test.lost[i] ? u"" : u"good " + DecimalText(i)) << i;
            // Asked once in the walk, or at its end, and once more.
            EXPECT_LE(tree.textRequests[children[i]], 2) << i;
            lost += test.lost[i] ? 1 : 0;
        }
        EXPECT_EQ(summary.timedOut, 0u);
        EXPECT_EQ(summary.cut, lost);
    }
    EXPECT_TRUE(dialogs.errorReports.empty());
}
