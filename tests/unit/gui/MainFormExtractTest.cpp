// The extraction command: the selected window's tree replaces the results.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "extraction/TextRead.h"
#include "fakes/FormHarness.h"

using namespace std::chrono_literals;

namespace {

struct ExtractCommandTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();
};

}  // namespace

TEST_F(ExtractCommandTest, ReplacesEarlierResultsWithTheSelectedWindowsTree) {
    const WindowHandle top = desktop.AddTopLevel(u"Target");
    desktop.At(top).className = u"TargetClass";
    desktop.Add(top, FakeDesktop::Make(u"Static", u"label"));
    form.Load();
    windowListDisplay.selected = 0;
    form.ExtractSelectedWindow();
    form.ExtractSelectedWindow();
    ASSERT_EQ(results.RowCount(), 2u);
    EXPECT_EQ(results.SubItem(1, 1), windowList.SubItem(1, 1));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ExtractCommandTest, NoSelectionEmptiesTheResultsAndReportsLine104) {
    desktop.AddTopLevel(u"Target");
    form.Load();
    results.AppendRow(u"old");
    form.ExtractSelectedWindow();
    EXPECT_EQ(results.RowCount(), 0u);
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0], ErrorReportText(u"No window is selected in the window list.",
                                                       ReportLocation::ExtractSelectedWindow, 104));
}

TEST_F(ExtractCommandTest, EmptyWindowListChangesNothing) {
    form.Load();
    results.AppendRow(u"old");
    form.ExtractSelectedWindow();
    EXPECT_EQ(results.RowCount(), 1u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

namespace {

// A target of 30 children, listed and selected in the window list.
struct WalkCommandTest : ExtractCommandTest {
    WindowHandle top = 0;

    void SetUp() override {
        top = desktop.AddTopLevel(u"Target");
        desktop.At(top).className = u"TargetClass";
        for (int i = 0; i < 30; ++i) {
            desktop.Add(top, FakeDesktop::Make(u"Static", DecimalText(i)));
        }
        form.Load();
        windowListDisplay.selected = 0;
    }
};

}  // namespace

TEST_F(WalkCommandTest, ClosedWindowIsNamedTheListRefreshedAndTheResultsKept) {
    results.AppendRow(u"earlier");
    desktop.Remove(top);
    const WindowHandle other = desktop.AddTopLevel(u"Other");
    form.ExtractSelectedWindow();
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"The window \"Target\" has closed since the window list was filled, so it cannot "
              u"be read. The window list now shows the windows that are open.");
    EXPECT_EQ(dialogs.information[0].second, form.ApplicationTitle());
    ASSERT_EQ(windowList.RowCount(), 1u);
    EXPECT_EQ(windowList.SubItem(1, 1), DecimalText(other));
    ASSERT_EQ(results.RowCount(), 1u);
    EXPECT_EQ(results.MainText(1), u"earlier");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WalkCommandTest, TheWindowAnswersDuringTheWalkAndStartStopsIt) {
    // The walk waits at the tenth child until the user, who waits for it to get there, has
    // clicked the start button, which reads "Stop" meanwhile.
    std::atomic<bool> reached = false;
    std::atomic<bool> clicked = false;
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == desktop.At(top).children[9]) {
            reached = true;
            while (!clicked) {
                std::this_thread::sleep_for(1ms);
            }
            std::this_thread::sleep_for(100ms);  // the window sees the stop meanwhile
        }
    };
    pump.actAt = 0;
    pump.action = [&] {
        while (!reached) {
            std::this_thread::sleep_for(1ms);
        }
        form.ExtractSelectedWindow();
        clicked = true;
    };
    form.ExtractSelectedWindow();
    EXPECT_EQ(results.RowCount(), 11u);  // the rows read before the stop are kept
    EXPECT_EQ(window.busyHistory,
              (std::vector<std::pair<bool, bool>>{{true, true}, {false, false}}));
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first, u"Stopped after 11 windows.");
    EXPECT_EQ(window.statusNotes, std::vector<Text>{u"Stopped after 11 windows"});
    // Esc, or the button, stops only a walk that runs: the next walk reads everything.
    form.RequestStop();
    pump.action = nullptr;
    desktop.onTextRequest = nullptr;
    form.ExtractSelectedWindow();
    EXPECT_EQ(results.RowCount(), 31u);
}

TEST_F(WalkCommandTest, OtherCommandsWaitWhileTheWalkRuns) {
    // The walk waits at the tenth child until the user has clicked the other buttons.
    std::atomic<bool> clicked = false;
    desktop.onTextRequest = [&](WindowHandle window) {
        while (window == desktop.At(top).children[9] && !clicked) {
            std::this_thread::sleep_for(1ms);
        }
    };
    pump.actAt = 0;
    pump.action = [&] {
        form.ClearResults();
        form.CopyResultsToClipboard();
        form.RefreshList();
        form.SaveResultsAsTextFile();
        clicked = true;
    };
    form.ExtractSelectedWindow();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(results.RowCount(), 31u);
    EXPECT_FALSE(clipboard.content.has_value());
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WalkCommandTest, AFailedStepIsReportedOnTheWindowsThreadAndTheWalkGoesOn) {
    desktop.At(desktop.At(top).children[3]).failTextRead = true;
    desktop.At(desktop.At(top).children[7]).failTextRead = true;
    dialogs.errorReportFails = true;  // not even the box can be shown
    form.ExtractSelectedWindow();
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"WindowInfo at line 112"), Text::npos);
    EXPECT_EQ(results.RowCount(), 31u);
    EXPECT_EQ(results.SubItem(5, 2), u"");  // the fourth child's text
    EXPECT_EQ(results.SubItem(6, 2), u"4");
}

TEST_F(WalkCommandTest, AnIncompleteWalkEndsWithOneNoteOfWhatIsMissing) {
    const WindowHandle slow = desktop.Add(top, FakeDesktop::Make(u"Edit", u"slow", 7));
    desktop.Add(top, FakeDesktop::Make(u"Edit", u"slow too", 7));
    desktop.HangThread(7);
    desktop.Add(top, FakeDesktop::Make(u"Edit", Text(kTextCap + 1, u'x')));
    const WindowHandle late = desktop.Add(top, FakeDesktop::Make(u"Static", u"late"));
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == slow) {
            desktop.Remove(late);  // closes before the walk reaches it
        }
    };
    form.ExtractSelectedWindow();
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"Some texts in the results are missing or incomplete:\r\n"
              u"2 windows did not answer in time: their texts are empty.\r\n"
              u"1 window closed during the walk: it has no row.\r\n"
              u"1 text was cut: it was longer than 4194304 characters, or its window claimed "
              u"more than it gave.");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WalkCommandTest, WindowsOfAProgramWithHigherRightsAreNotedAsSuchNotAsTimedOut) {
    for (const std::size_t child : {1u, 4u, 9u}) {
        desktop.At(desktop.At(top).children[child]).thread = 9;
    }
    desktop.DenyThread(9);
    form.ExtractSelectedWindow();
    // Refused at once: asked once, neither taken for hung nor probed again at the walk's end.
    const WindowHandle denied = desktop.At(top).children[1];
    EXPECT_EQ(desktop.textRequests[denied], 1);
    EXPECT_EQ(desktop.probes[denied], 0);
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"Some texts in the results are missing or incomplete:\r\n"
              u"3 windows belong to a program running with higher rights: run the tool as "
              u"administrator to read them");
    EXPECT_EQ(results.SubItem(3, 2), u"");
    EXPECT_EQ(results.SubItem(4, 2), u"2");
}

TEST_F(WalkCommandTest, TextsOfAThreadThatStalledOnceAreFilledInTheirRowsAndNothingIsNoted) {
    for (const std::size_t child : {2u, 5u, 29u}) {
        desktop.At(desktop.At(top).children[child]).thread = 7;
    }
    desktop.StallThread(7, 1);
    form.ExtractSelectedWindow();
    ASSERT_EQ(results.RowCount(), 31u);
    for (std::size_t row = 2; row <= 31; ++row) {
        EXPECT_EQ(results.SubItem(row, 2), DecimalText(static_cast<std::int64_t>(row) - 2));
    }
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WalkCommandTest, TextsThatChangedWhileReadAndLiarsAreNotedEachInTheirLine) {
    const WindowHandle churning = desktop.At(top).children[3];
    bool longer = false;
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == churning) {
            desktop.At(churning).text = Text((longer = !longer) ? 600 : 900, u'c');
        }
    };
    for (const std::size_t child : {7u, 8u}) {
        desktop.At(desktop.At(top).children[child]).writesNothing = true;
        desktop.At(desktop.At(top).children[child]).claimedCopied = 0x7FFFFFFF;
    }
    form.ExtractSelectedWindow();
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"Some texts in the results are missing or incomplete:\r\n"
              u"2 texts were cut: they were longer than 4194304 characters, or their windows "
              u"claimed more than they gave.\r\n"
              u"1 text changed while it was read: it may be incomplete.");
    EXPECT_EQ(results.SubItem(5, 2), Text(601, u'c'));
    EXPECT_EQ(results.SubItem(9, 2), u"");
}

TEST(WalkNoteTest, SaysNothingAfterACompleteWalkAndNamesAStopAndTheRowLimit) {
    WalkSummary summary;
    summary.rows = 12;
    EXPECT_EQ(WalkNote(summary), u"");
    summary.stopped = true;
    EXPECT_EQ(WalkNote(summary), u"Stopped after 12 windows.");
    summary.rows = 1;
    EXPECT_EQ(WalkNote(summary), u"Stopped after 1 window.");
    summary.stopped = false;
    summary.denied = 1;
    EXPECT_EQ(WalkNote(summary),
              u"Some texts in the results are missing or incomplete:\r\n"
              u"1 window belongs to a program running with higher rights: run the tool as "
              u"administrator to read it");
    summary.denied = 0;
    summary.rowLimitReached = true;
    summary.timedOut = 3;
    EXPECT_EQ(WalkNote(summary),
              u"Some texts in the results are missing or incomplete:\r\n"
              u"3 windows did not answer in time: their texts are empty.\r\n"
              u"The walk stopped at 1000000 rows: the rest of the window's tree was not read.");
    // One note for a stopped walk that also missed texts.
    summary.stopped = true;
    summary.rowLimitReached = false;
    EXPECT_EQ(WalkNote(summary),
              u"Stopped after 1 window.\r\n"
              u"Some texts in the results are missing or incomplete:\r\n"
              u"3 windows did not answer in time: their texts are empty.");
}
