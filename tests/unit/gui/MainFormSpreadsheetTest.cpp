// The spreadsheet export command against the automation double.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "fakes/FormHarness.h"

namespace {

struct SpreadsheetTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();

    void SetUp() override { form.Load(); }

    void AddRows(int count, std::initializer_list<int> ticked) {
        for (int row = 1; row <= count; ++row) {
            const std::size_t at = results.AppendRow(u"Class" + DecimalText(row));
            results.SetCell(at, 1, DecimalText(row * 100));
            results.SetCell(at, 2, u"text " + DecimalText(row));
        }
        for (const int row : ticked) {
            results.SetChecked(static_cast<std::size_t>(row), true);
        }
    }
};

const Text kNotInstalledStart =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"software without error.";
const Text kNotInstalledFeature =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"feature.";

}  // namespace

TEST_F(SpreadsheetTest, TickedRowsKeepTheirPlacesUnderTheCaptions) {
    AddRows(4, {2, 4});
    form.SaveResultsAsSpreadsheet();
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_EQ(automation.cells, (std::map<std::pair<int, int>, Text>{
                                    {{1, 1}, u"Class Name"},
                                    {{1, 2}, u"Handle"},
                                    {{1, 3}, u"Text"},
                                    {{3, 1}, u"Class2"},
                                    {{3, 2}, u"200"},
                                    {{3, 3}, u"text 2"},
                                    {{5, 1}, u"Class4"},
                                    {{5, 2}, u"400"},
                                    {{5, 3}, u"text 4"},
                                }));
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
    EXPECT_EQ(automation.created, 2);  // the presence test, then the export
}

TEST_F(SpreadsheetTest, CallsGoInTheExpectedOrder) {
    AddRows(1, {1});
    form.SaveResultsAsSpreadsheet();
    const std::vector<std::string> expected{
        "Workbooks get",      "Add call",         "Visible put true",
        "ActiveSheet get",    "cells get 1 1",    "default put Class Name",
        "Columns get 1",      "Autofit call",     "cells get 1 2",
        "default put Handle", "Columns get 2",    "Autofit call",
        "cells get 1 3",      "default put Text", "Columns get 3",
        "Autofit call",       "cells get 2 1",    "Value put Class1",
        "cells get 2 2",      "Value put 100",    "cells get 2 3",
        "Value put text 1",   "Columns get",      "Autofit call"};
    EXPECT_EQ(automation.calls, expected);
}

TEST_F(SpreadsheetTest, EqualsSignsLeaveSubitemsButNotClassNames) {
    const std::size_t row = results.AppendRow(u"A=B");
    results.SetCell(row, 1, u"==");
    results.SetCell(row, 2, u"a=b");
    results.SetChecked(row, true);
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(automation.cells.at({2, 1}), u"A=B");
    EXPECT_EQ(automation.cells.at({2, 2}), u"");
    EXPECT_EQ(automation.cells.at({2, 3}), u"ab");
}

TEST_F(SpreadsheetTest, NoTickedRowGivesTheCaptionRowOnly) {
    AddRows(3, {});
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(automation.cells.size(), 3u);
    EXPECT_EQ(automation.calls.back(), "Autofit call");
}

TEST_F(SpreadsheetTest, EmptyResultsTurnThePointerAndStartNoExport) {
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(automation.created, 1);  // the presence test only
    EXPECT_TRUE(automation.calls.empty());
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(SpreadsheetTest, NotInstalledGivesTwoMessagesAndNothingElse) {
    AddRows(2, {1});
    automation.installed = false;
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.information.size(), 2u);
    EXPECT_EQ(dialogs.information[0].first, kNotInstalledStart);
    EXPECT_EQ(dialogs.information[1].first, kNotInstalledFeature);
    EXPECT_EQ(dialogs.information[1].second, u"Tessivane Window Text Reader");
    EXPECT_TRUE(window.pointerHistory.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(SpreadsheetTest, ApplicationGoneMidExportIsReportedOnceAndThePointerComesBack) {
    AddRows(50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    automation.goneAfterCells = 7;  // three captions, then four cells
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"The spreadsheet application has been closed.",
                              ReportLocation::SaveResultsAsSpreadsheet, 158));
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
}

TEST_F(SpreadsheetTest, AFailureGoneOnAfterIsNotToldAgain) {
    AddRows(2, {1, 2});
    automation.failMember = "Autofit";
    form.SaveResultsAsSpreadsheet();
    // The first box is a plain one; its repeat offers Cancel, which was not chosen, and the
    // failure is not told again: no box for the last two captions nor for the end.
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"at line 134\r\r"), Text::npos);
    EXPECT_EQ(dialogs.reportsOfferingToStop, (std::vector<std::size_t>{1}));
    // Every column's fitting was still tried.
    EXPECT_EQ(
        std::count_if(automation.calls.begin(), automation.calls.end(),
                      [](const std::string& call) { return call.starts_with("Columns get"); }),
        4);
    // Every cell was written: nothing to note.
    EXPECT_EQ(automation.cells.size(), 9u);
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_EQ(window.pointerHistory.back(), 0);
}

TEST_F(SpreadsheetTest, EveryCellFailingGivesTwoBoxesAndANoteOrStopsAtCancel) {
    AddRows(10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    automation.failMember = "Value";
    dialogs.stopAtOffer = 1;
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"at line 152\r\r"), Text::npos);
    EXPECT_NE(dialogs.errorReports[1].find(u"at line 158\r\r"), Text::npos);
    EXPECT_EQ(dialogs.reportsOfferingToStop, (std::vector<std::size_t>{1}));
    // Nothing after the stop at the first row's second cell: no other cell, no fitting, no note.
    EXPECT_EQ(automation.calls.back(), "cells get 2 2");
    EXPECT_EQ(std::count(automation.calls.begin(), automation.calls.end(), "Columns get"), 0);
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));

    // OK at the offer: every cell is tried, the failure is not told again, and one note at the
    // end counts the empty cells, with the pointer back first.
    dialogs = RecordingDialogs();
    window.pointerHistory.clear();
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_EQ(dialogs.reportsOfferingToStop.size(), 1u);
    EXPECT_EQ(std::count(automation.calls.begin(), automation.calls.end(), "Columns get"), 1);
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"30 cells could not be written in the workbook: they are empty.");
    EXPECT_EQ(dialogs.information[0].second, u"Tessivane Window Text Reader");
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
}

TEST_F(SpreadsheetTest, CellsAfterAFailedOneKeepTheirColumns) {
    AddRows(2, {1, 2});
    automation.refusedCells = {{1, 2}, {2, 2}};
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"at line 124\r\r"), Text::npos);
    EXPECT_NE(dialogs.errorReports[1].find(u"at line 158\r\r"), Text::npos);
    EXPECT_EQ(automation.cells, (std::map<std::pair<int, int>, Text>{{{1, 1}, u"Class Name"},
                                                                     {{1, 3}, u"Text"},
                                                                     {{2, 1}, u"Class1"},
                                                                     {{2, 3}, u"text 1"},
                                                                     {{3, 1}, u"Class2"},
                                                                     {{3, 2}, u"200"},
                                                                     {{3, 3}, u"text 2"}}));
    // Captions count among the cells.
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"2 cells could not be written in the workbook: they are empty.");
}

TEST_F(SpreadsheetTest, OneCellUnwrittenIsNotedInTheSingular) {
    AddRows(1, {1});
    automation.refusedCells = {{2, 3}};
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(dialogs.errorReports.size(), 1u);
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"1 cell could not be written in the workbook: it is empty.");
}

TEST_F(SpreadsheetTest, NoWorkbookOrSheetGivesOneBoxAndEndsTheExport) {
    const auto exportWith = [&](std::string failing, std::string empty) {
        automation = FakeAutomation();
        automation.failMember = std::move(failing);
        automation.emptyMember = std::move(empty);
        dialogs = RecordingDialogs();
        window.pointerHistory.clear();
        form.SaveResultsAsSpreadsheet();
        EXPECT_TRUE(automation.cells.empty());
        EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
        return dialogs.errorReports;
    };
    AddRows(10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const std::vector<Text> addFails = exportWith("Add", "");
    ASSERT_EQ(addFails.size(), 1u);
    EXPECT_EQ(addFails[0], ErrorReportText(u"The spreadsheet application refused the call.",
                                           ReportLocation::SaveResultsAsSpreadsheet, 114));
    EXPECT_EQ(automation.calls, (std::vector<std::string>{"Workbooks get"}));

    const std::vector<Text> noWorkbooks = exportWith("", "Workbooks");
    ASSERT_EQ(noWorkbooks.size(), 1u);
    EXPECT_EQ(noWorkbooks[0],
              ErrorReportText(u"The spreadsheet application gave no object for \"Workbooks\".",
                              ReportLocation::SaveResultsAsSpreadsheet, 114));

    const std::vector<Text> noWorkbook = exportWith("", "Add");
    ASSERT_EQ(noWorkbook.size(), 1u);
    EXPECT_EQ(noWorkbook[0],
              ErrorReportText(u"The spreadsheet application gave no object for \"Add\".",
                              ReportLocation::SaveResultsAsSpreadsheet, 114));

    const std::vector<Text> noSheet = exportWith("ActiveSheet", "");
    ASSERT_EQ(noSheet.size(), 1u);
    EXPECT_NE(noSheet[0].find(u"at line 124\r\r"), Text::npos);
    EXPECT_EQ(automation.calls.back(), "Visible put true");
}

TEST_F(SpreadsheetTest, InstalledButNotStartingIsReportedOnceAndNotAsMissing) {
    AddRows(2, {1});
    automation.starts = false;
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(
                  u"The spreadsheet application could not be started: Server execution failed.",
                  ReportLocation::SaveResultsAsSpreadsheet, 100));
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_TRUE(window.pointerHistory.empty());
}

TEST_F(SpreadsheetTest, ASlowCallOffersToKeepWaitingOrToStop) {
    AddRows(3, {1, 2});
    automation.slowMember = "Add";
    automation.slowRounds = 2;
    dialogs.retries = {true, true};  // keep waiting twice: the export completes
    form.SaveResultsAsSpreadsheet();
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_EQ(automation.cells.size(), 9u);
    ASSERT_EQ(dialogs.warnings.size(), 2u);
    EXPECT_EQ(dialogs.warnings[0].first,
              u"Excel has not answered for 5 seconds. It may be busy, or waiting for an answer in "
              u"one of its own windows.\r\rClick Retry to keep waiting, or Cancel to stop the "
              u"export.");
    EXPECT_EQ(dialogs.warnings[0].second, u"Tessivane Window Text Reader");
    EXPECT_NE(dialogs.warnings[1].first.find(u"for 10 seconds."), Text::npos);

    // Keep waiting once, then stop: one box, and nothing more is written.
    automation = FakeAutomation();
    automation.slowMember = "Add";
    automation.slowRounds = 2;
    dialogs = RecordingDialogs();
    dialogs.retries = {true, false};
    window.pointerHistory.clear();
    form.SaveResultsAsSpreadsheet();
    EXPECT_EQ(dialogs.warnings.size(), 2u);
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_EQ(window.statusNotes.back(), u"Waiting for Add was stopped.");
    EXPECT_TRUE(automation.cells.empty());
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
}

TEST_F(SpreadsheetTest, CancelAtTheOfferIsTheUsersStopNotAFault) {
    // Stopped while the workbook is made, while a caption or a cell is written, at the autofit.
    for (const char* member : {"Workbooks", "Add", "default", "Value", "Autofit"}) {
        SCOPED_TRACE(member);
        automation = FakeAutomation();
        automation.slowMember = member;
        dialogs = RecordingDialogs();
        dialogs.retries = {false};
        window.statusNotes.clear();
        window.pointerHistory.clear();
        AddRows(2, {1, 2});
        form.SaveResultsAsSpreadsheet();
        // The offer is the one box; no report and no note of unwritten cells follow it.
        EXPECT_EQ(dialogs.warnings.size(), 1u);
        EXPECT_TRUE(dialogs.errorReports.empty());
        EXPECT_TRUE(dialogs.information.empty());
        EXPECT_EQ(window.statusNotes,
                  std::vector<Text>{u"Waiting for " + Utf8ToText(member) + u" was stopped."});
        EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
        // Nothing more is asked of the application after the stop.
        EXPECT_EQ(std::count_if(automation.calls.begin(), automation.calls.end(),
                                [&](const std::string& call) { return call.starts_with(member); }),
                  0);
        form.ClearResults();
    }
}

TEST_F(SpreadsheetTest, AHugeFailureDescriptionIsCutInItsBox) {
    AddRows(1, {1});
    automation.failMember = "Value";
    automation.failure = Text(3'000'000, u'z');
    form.SaveResultsAsSpreadsheet();
    ASSERT_EQ(dialogs.errorReports.size(), 2u);  // the box, its repeat, then no more
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(Text(kLongestDescription, u'z') + u"\u2026",
                              ReportLocation::SaveResultsAsSpreadsheet, 152));
}

TEST_F(SpreadsheetTest, ClearResultsDuringTheExportWaitsAndTheExportCompletes) {
    AddRows(50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    pump.actAt = 6;  // the user clicks "Clear Results" a few rows into the export
    pump.action = [&] { form.ClearResults(); };
    form.SaveResultsAsSpreadsheet();
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_EQ(results.RowCount(), 50u);
    EXPECT_EQ(window.pointerHistory, (std::vector<int>{11, 0}));
}
