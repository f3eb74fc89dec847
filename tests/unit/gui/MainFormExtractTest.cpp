// The extraction command: the selected window's tree replaces the results.
#include <gtest/gtest.h>

#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "fakes/FormHarness.h"

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
