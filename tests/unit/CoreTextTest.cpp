// UTF-8 conversion, handle text and the error report box's text.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/ErrorReport.h"
#include "common/Failure.h"
#include "fakes/FakeServices.h"

TEST(TextTest, Utf8RoundTripKeepsCharactersOutsideTheBasicPlane) {
    const Text text = u"Ελληνικά 漢字 \U0001D11E";
    EXPECT_EQ(text.size(), 14u);  // the clef is a surrogate pair: two code units
    EXPECT_EQ(Utf8ToText(TextToUtf8(text)), text);
    EXPECT_EQ(Utf8ToText("\xFF"
                         "a"),
              u"\uFFFDa");
    EXPECT_EQ(TextToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(TextTest, HandlesAreSignedDecimalBothWays) {
    EXPECT_EQ(DecimalText(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(DecimalText(65552), u"65552");
    EXPECT_EQ(ParseHandle(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseHandle(u"131072"), 131072);
    for (const Text bad : {u"", u" 12", u"12a", u"2147483648", u"0x10", u"١٢"}) {
        EXPECT_THROW((void)ParseHandle(bad), Failure) << TextToUtf8(bad);
    }
}

TEST(ErrorReportTest, TextHasFourLinesWithTheLocationAndTheAddress) {
    EXPECT_EQ(ErrorReportText(u"The window list could not be read.", Location::getAllWindows, 104),
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

TEST(StepTrapTest, FailingStepIsReportedAndTheProcedureGoesOn) {
    RecordingDialogs dialogs;
    StepTrap trap(dialogs, Location::PushButton2_Click);
    std::vector<int> ran;
    EXPECT_TRUE(trap.Run(100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(trap.Run(102, [&] {
        throw Failure(u"Step two failed.");
        ran.push_back(102);
    }));
    EXPECT_TRUE(trap.Run(104, [&] { ran.push_back(104); }));
    EXPECT_EQ(ran, (std::vector<int>{100, 104}));
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"Step two failed.", Location::PushButton2_Click, 102));
}

TEST(StepTrapTest, FailingTestRunsTheStepsItGoverns) {
    RecordingDialogs dialogs;
    StepTrap trap(dialogs, Location::Form_Load);
    EXPECT_TRUE(trap.Check(100, []() -> bool { throw Failure(u"Test failed."); }));
    EXPECT_FALSE(trap.Check(102, [] { return false; }));
    EXPECT_EQ(dialogs.errorReports.size(), 1u);
}

TEST(StepTrapTest, ReportThatItselfFailsDoesNotStopTheProcedure) {
    struct ThrowingDialogs : RecordingDialogs {
        void ShowErrorReport(const Text&) override { throw std::runtime_error("no box"); }
    } dialogs;
    StepTrap trap(dialogs, Location::Form_Load);
    EXPECT_FALSE(trap.Run(100, [] { throw Failure(u"x"); }));
    EXPECT_TRUE(trap.Run(102, [] {}));
}
