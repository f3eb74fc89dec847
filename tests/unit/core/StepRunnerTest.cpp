// The error report text and the numbered steps that report and go on.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "fakes/FakeServices.h"
#include "gui/ErrorReportBox.h"

TEST(ErrorReportTest, TextHasFourLinesWithTheLocationAndTheAddress) {
    EXPECT_EQ(
        ErrorReportText(u"The window list could not be read.", ReportLocation::FillWindowList, 104),
        u"The window list could not be read.\r\n"
        u"in Tessivane2021/08/31.mProcess.getAllWindows at line 104\r\r"
        u"Please email screenshot of this message to support@tessivane.example");
}

TEST(ErrorReportTest, DescriptionsAreSentences) {
    const auto describe = [](auto&& thrower) {
        try {
            thrower();
        } catch (...) {
            return DescribeFailure(std::current_exception());
        }
        return Text();
    };
    EXPECT_EQ(describe([] { throw Failure(u"The file is locked."); }), u"The file is locked.");
    EXPECT_EQ(describe([] { throw std::bad_alloc(); }),
              u"There is not enough memory to finish this step.");
    EXPECT_EQ(describe([] { throw std::runtime_error("disk gone"); }),
              u"An unexpected failure occurred: disk gone.");
    EXPECT_EQ(describe([] { throw 7; }), u"An unexpected failure occurred.");
}

TEST(StepRunnerTest, FailingStepIsReportedAndTheProcedureGoesOn) {
    RecordingDialogs dialogs;
    ErrorReportBox reports(dialogs);
    StepRunner steps(reports, ReportLocation::ExtractSelectedWindow);
    std::vector<int> ran;
    EXPECT_TRUE(steps.Run(100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(steps.Run(102, [&] {
        throw Failure(u"Step two failed.");
        ran.push_back(102);
    }));
    EXPECT_TRUE(steps.Run(104, [&] { ran.push_back(104); }));
    EXPECT_EQ(ran, (std::vector<int>{100, 104}));
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"Step two failed.", ReportLocation::ExtractSelectedWindow, 102));
}

TEST(StepRunnerTest, FailingTestRunsTheStepsItGoverns) {
    RecordingDialogs dialogs;
    ErrorReportBox reports(dialogs);
    StepRunner steps(reports, ReportLocation::Load);
    EXPECT_TRUE(steps.Check(100, []() -> bool { throw Failure(u"Test failed."); }));
    EXPECT_FALSE(steps.Check(102, [] { return false; }));
    EXPECT_EQ(dialogs.errorReports.size(), 1u);
}

TEST(StepRunnerTest, ReportThatItselfFailsDoesNotStopTheProcedure) {
    struct ThrowingDialogs : RecordingDialogs {
        void ShowErrorReport(const Text&) override { throw std::runtime_error("no box"); }
    } dialogs;
    ErrorReportBox reports(dialogs);
    StepRunner steps(reports, ReportLocation::Load);
    EXPECT_FALSE(steps.Run(100, [] { throw Failure(u"x"); }));
    EXPECT_TRUE(steps.Run(102, [] {}));
}

TEST(ErrorReportTest, LongDescriptionsAreCutWithAnEllipsis) {
    const auto describe = [](Text description) {
        try {
            throw Failure(std::move(description));
        } catch (...) {
            return DescribeFailure(std::current_exception());
        }
    };
    const Text exact(kLongestDescription, u'a');
    EXPECT_EQ(describe(exact), exact);
    EXPECT_EQ(describe(Text(3'000'000, u'b')), Text(kLongestDescription, u'b') + u"\u2026");
    // A character outside the BMP is kept whole or not at all.
    Text pairs(kLongestDescription - 1, u'c');
    pairs += u"\U0001D11E\U0001D11E";
    EXPECT_EQ(describe(pairs), Text(kLongestDescription - 1, u'c') + u"\u2026");
    EXPECT_EQ(ErrorReportText(describe(Text(5000, u'd')), ReportLocation::Load, 100),
              Text(kLongestDescription, u'd') +
                  u"\u2026\r\nin Tessivane2021/08/31.Form1.Form_Load at line 100\r\r"
                  u"Please email screenshot of this message to support@tessivane.example");
}

TEST(StepRunnerTest, RepeatedFailureOffersToEndTheProcedure) {
    RecordingDialogs dialogs;
    ErrorReportBox reports(dialogs);
    StepRunner steps(reports, ReportLocation::SaveResultsAsSpreadsheet);
    const auto fail = [](const char16_t* why) { return [why] { throw Failure(why); }; };
    steps.Run(152, fail(u"Cell refused."));
    steps.Run(158, fail(u"Cell refused."));  // a repeat, but the offer was not asked for
    EXPECT_TRUE(dialogs.reportsOfferingToStop.empty());

    steps.OfferToEndOnRepeats();
    dialogs.stopAtOffer = 2;
    steps.Run(134, fail(u"Autofit refused."));  // another failure: a plain box
    steps.Run(158, fail(u"Cell refused."));     // not the one just before: a plain box
    steps.Run(152, fail(u"Cell refused."));
    EXPECT_FALSE(steps.CommandEnded());  // OK: the procedure goes on
    // Gone on after, the cell's failure is not told again, whatever comes between.
    steps.Run(158, fail(u"Cell refused."));
    steps.Run(134, fail(u"Autofit refused."));
    steps.Run(152, fail(u"Cell refused."));
    EXPECT_EQ(dialogs.errorReports.size(), 6u);
    steps.Run(134, fail(u"Autofit refused."));
    EXPECT_TRUE(steps.CommandEnded());  // Cancel
    ASSERT_EQ(dialogs.errorReports.size(), 7u);
    EXPECT_EQ(dialogs.reportsOfferingToStop, (std::vector<std::size_t>{4, 6}));
    // The box keeps its text.
    EXPECT_EQ(dialogs.errorReports[4],
              ErrorReportText(u"Cell refused.", ReportLocation::SaveResultsAsSpreadsheet, 152));
}
