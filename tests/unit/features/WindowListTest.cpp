// The window list fill against the in-memory desktop.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "gui/ErrorReportBox.h"
#include "windowlist/WindowList.h"

namespace {

struct WindowListTest : ::testing::Test {
    FakeDesktop desktop;
    RecordingDialogs dialogs;
    ErrorReportBox reports{dialogs};
    FakeRowTableDisplay display;
    RowTable list{display};

    void SetUp() override { AppendColumns(list, {u" Window", u"Handle"}); }

    std::vector<Text> Titles() const {
        std::vector<Text> titles;
        for (std::size_t row = 1; row <= list.RowCount(); ++row) {
            titles.push_back(list.MainText(row));
        }
        return titles;
    }
};

}  // namespace

TEST_F(WindowListTest, ListsVisibleUnownedTitledWindowsInZOrder) {
    const WindowHandle editor = desktop.AddTopLevel(u"Editor");
    desktop.AddTopLevel(u"");
    desktop.AddTopLevel(u" ");
    FakeDesktop::Window owned;
    owned.title = u"Owned dialog";
    owned.owner = editor;
    desktop.Add(FakeDesktop::kDesktop, owned);
    desktop.At(desktop.AddTopLevel(u"Hidden")).visible = false;
    const WindowHandle last = desktop.AddTopLevel(u"Ελληνικά \U0001D11E");

    FillWindowList(list, desktop, reports);

    EXPECT_EQ(Titles(), (std::vector<Text>{u"Editor", u" ", u"Ελληνικά \U0001D11E"}));
    EXPECT_EQ(list.SubItem(1, 1), DecimalText(editor));
    EXPECT_EQ(list.SubItem(3, 1), DecimalText(last));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowListTest, WithAllEveryTopLevelWindowIsListedAndMarkedWithWhy) {
    const WindowHandle editor = desktop.AddTopLevel(u"Editor");
    FakeDesktop::Window owned;
    owned.title = u"Save changes?";
    owned.owner = editor;
    const WindowHandle dialog = desktop.Add(FakeDesktop::kDesktop, owned);
    FakeDesktop::Window tray;
    tray.className = u"Shell_TrayWnd";
    tray.visible = false;
    desktop.Add(FakeDesktop::kDesktop, tray);

    FillWindowList(list, desktop, reports, true);

    EXPECT_EQ(Titles(), (std::vector<Text>{u"Editor", u"Save changes? [owned]",
                                           u"(Shell_TrayWnd) [untitled, hidden]"}));
    EXPECT_EQ(list.SubItem(2, 1), DecimalText(dialog));
    // The row the picker adds for a window the plain list leaves out is the same.
    FillWindowList(list, desktop, reports);
    ASSERT_EQ(Titles(), std::vector<Text>{u"Editor"});
    EXPECT_EQ(AppendWindowRow(list, desktop, dialog), 2u);
    EXPECT_EQ(list.MainText(2), u"Save changes? [owned]");
    EXPECT_EQ(list.SubItem(2, 1), DecimalText(dialog));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowListTest, TitlesAreCutTo79CodeUnits) {
    Text title(78, u'x');
    title += u"\U0001D11E";  // the surrogate pair straddles the cut
    title += Text(21, u'y');
    desktop.AddTopLevel(title);
    FillWindowList(list, desktop, reports);
    ASSERT_EQ(list.RowCount(), 1u);
    EXPECT_EQ(list.MainText(1), title.substr(0, 79));
}

TEST_F(WindowListTest, RefreshReplacesTheRowsAndAnEmptyDesktopGivesAnEmptyList) {
    desktop.AddTopLevel(u"One");
    const WindowHandle two = desktop.AddTopLevel(u"Two");
    FillWindowList(list, desktop, reports);
    FillWindowList(list, desktop, reports);
    EXPECT_EQ(Titles(), (std::vector<Text>{u"One", u"Two"}));
    desktop.Remove(two);
    desktop.Remove(desktop.Related(FakeDesktop::kDesktop, Relation::Child));
    FillWindowList(list, desktop, reports);
    EXPECT_EQ(list.RowCount(), 0u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowListTest, FailingRowIsReportedAndTheFillGoesOn) {
    FakeRowTableDisplay bareDisplay;
    RowTable noColumns{bareDisplay};  // no "Handle" column: every subitem write fails
    desktop.AddTopLevel(u"One");
    desktop.AddTopLevel(u"Two");
    FillWindowList(noColumns, desktop, reports);
    EXPECT_EQ(noColumns.RowCount(), 2u);
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(
        dialogs.errorReports[1].find(u"in Tessivane2021/08/31.mProcess.getAllWindows at line 116"),
        Text::npos);
}

TEST_F(WindowListTest, AppWindowFlagsWaiveTheirCondition) {
    const WindowHandle owner = desktop.AddTopLevel(u"Owner");
    FakeDesktop::Window window;
    window.visible = false;
    window.owner = owner;
    const WindowHandle odd = desktop.Add(FakeDesktop::kDesktop, window);
    EXPECT_FALSE(IsApplicationWindow(desktop, odd, false, true, true));
    EXPECT_FALSE(IsApplicationWindow(desktop, odd, true, false, true));
    EXPECT_FALSE(IsApplicationWindow(desktop, odd, true, true, false));
    EXPECT_TRUE(IsApplicationWindow(desktop, odd, true, true, true));
    EXPECT_TRUE(IsApplicationWindow(desktop, owner, false, false, false));
}
