// The window list fill and the load step of the main window.
#include <gtest/gtest.h>

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "common/Failure.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "fakes/FormHarness.h"
#include "windows/mProcess.h"

namespace {

struct WindowListTest : ::testing::Test {
    FakeDesktop desktop;
    RecordingDialogs dialogs;
    FakeListDisplay display;
    ListView list{display};

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

    getAllWindows(list, desktop, dialogs);

    EXPECT_EQ(Titles(), (std::vector<Text>{u"Editor", u" ", u"Ελληνικά \U0001D11E"}));
    EXPECT_EQ(list.SubItem(1, 1), DecimalText(editor));
    EXPECT_EQ(list.SubItem(3, 1), DecimalText(last));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowListTest, TitlesAreCutTo79CodeUnits) {
    Text title(78, u'x');
    title += u"\U0001D11E";  // the surrogate pair straddles the cut
    title += Text(21, u'y');
    desktop.AddTopLevel(title);
    getAllWindows(list, desktop, dialogs);
    ASSERT_EQ(list.RowCount(), 1u);
    EXPECT_EQ(list.MainText(1), title.substr(0, 79));
}

TEST_F(WindowListTest, RefreshReplacesTheRowsAndAnEmptyDesktopGivesAnEmptyList) {
    desktop.AddTopLevel(u"One");
    const WindowHandle two = desktop.AddTopLevel(u"Two");
    getAllWindows(list, desktop, dialogs);
    getAllWindows(list, desktop, dialogs);
    EXPECT_EQ(Titles(), (std::vector<Text>{u"One", u"Two"}));
    desktop.Remove(two);
    desktop.Remove(desktop.Related(FakeDesktop::kDesktop, Relation::Child));
    getAllWindows(list, desktop, dialogs);
    EXPECT_EQ(list.RowCount(), 0u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(WindowListTest, FailingRowIsReportedAndTheFillGoesOn) {
    FakeListDisplay bareDisplay;
    ListView noColumns{bareDisplay};  // no "Handle" column: every subitem write fails
    desktop.AddTopLevel(u"One");
    desktop.AddTopLevel(u"Two");
    getAllWindows(noColumns, desktop, dialogs);
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
    EXPECT_FALSE(isAppWindow(desktop, odd, false, true, true));
    EXPECT_FALSE(isAppWindow(desktop, odd, true, false, true));
    EXPECT_FALSE(isAppWindow(desktop, odd, true, true, false));
    EXPECT_TRUE(isAppWindow(desktop, odd, true, true, true));
    EXPECT_TRUE(isAppWindow(desktop, owner, false, false, false));
}

TEST(ApplicationTitleTest, CutsTheLastWordThenWordsWhileLongerThan40) {
    EXPECT_EQ(ApplicationTitleFor(kProductName), u"Tessivane Window Text Reader");
    EXPECT_EQ(ApplicationTitleFor(u"Alpha Beta"), u"Alpha");
    // Six words, 45 units; the first five make 38.
    EXPECT_EQ(ApplicationTitleFor(u"Abcdefgh Abcdefgh Abcdefgh Abcdefgh Abc Abcdef"),
              u"Abcdefgh Abcdefgh Abcdefgh Abcdefgh Abc");
    // Four words, 30 units.
    EXPECT_EQ(ApplicationTitleFor(u"Abcdefgh Abcdefgh Abcdef Abcde"), u"Abcdefgh Abcdefgh Abcdef");
    // Still longer than 40 after the last blank is gone: nothing left to cut at.
    EXPECT_THROW((void)ApplicationTitleFor(Text(41, u'x') + u" y z"), Failure);
    EXPECT_THROW((void)ApplicationTitleFor(u"Tessivane"), Failure);
}

namespace {

struct FormLoadTest : ::testing::Test, FormHarness {};

}  // namespace

TEST_F(FormLoadTest, LoadSetsCaptionTitleColumnsAndFillsTheWindowList) {
    desktop.AddTopLevel(u"Editor");
    Form1 form = MakeForm();
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader 2021");
    form.Form_Load();
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_EQ(window.caption, u"Tessivane Window Text Reader 2021");
    EXPECT_TRUE(window.iconSet);
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");
    ASSERT_EQ(listView1.ColumnCount(), 2);
    EXPECT_EQ(listView1.ColumnHeader(1), u" Window");
    EXPECT_EQ(display1.widths, (std::vector<std::pair<int, int>>{{1, 7000}, {2, 0}}));
    EXPECT_EQ(listView2.ColumnCount(), 3);
    EXPECT_EQ(listView2.ColumnHeader(1), u"Class Name");
    EXPECT_EQ(display2.widths, (std::vector<std::pair<int, int>>{{1, 1700}, {2, 1500}, {3, 3800}}));
    ASSERT_EQ(listView1.RowCount(), 1u);
    EXPECT_EQ(listView1.MainText(1), u"Editor");
    EXPECT_TRUE(window.pointerImage.empty());  // no cursor file beside the program
}

TEST_F(FormLoadTest, HandPointerIsLoadedFromTheApplicationFolder) {
    files.existing.insert(u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    MakeForm().Form_Load();
    EXPECT_EQ(window.pointerImage, u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(FormLoadTest, UnloadablePointerIsReportedAtLine106AndLoadingGoesOn) {
    files.existing.insert(u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    window.pointerImageLoads = false;
    MakeForm().Form_Load();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(dialogs.errorReports[0].find(u"Form1.Form_Load at line 106\r\r"), Text::npos);
    EXPECT_EQ(listView2.ColumnCount(), 3);
}

TEST_F(FormLoadTest, UnknownProgramFolderIsReportedAndLoadingGoesOn) {
    files.folderUnknown = true;
    desktop.AddTopLevel(u"Editor");
    Form1 form = MakeForm();
    form.Form_Load();
    ASSERT_GE(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"Form_Load at line 100\r\r"), Text::npos);
    EXPECT_NE(dialogs.errorReports[1].find(u"Form_Load at line 104\r\r"), Text::npos);
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");
    EXPECT_EQ(listView1.RowCount(), 1u);
}

TEST_F(FormLoadTest, ProductNameWithoutBlankFailsLine126AndKeepsTheInitialTitle) {
    Form1 form = MakeForm(u"TessivaneWindowTextReaderForEveryDesktopAndEveryUser");
    form.Form_Load();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(
        dialogs.errorReports[0].find(u"\r\nin Tessivane2021/08/31.Form1.Form_Load at line 126"),
        Text::npos);
    EXPECT_EQ(window.caption, u"TessivaneWindowTextReaderForEveryDesktopAndEveryUser");
    EXPECT_EQ(form.ApplicationTitle(), u"TessivaneWindowTextReaderForEveryDeskto");  // 39 units
    EXPECT_EQ(listView2.ColumnCount(), 3);
}

TEST_F(FormLoadTest, RefreshListRefillsTheWindowListOnly) {
    Form1 form = MakeForm();
    form.Form_Load();
    listView2.AppendRow(u"Kept");
    desktop.AddTopLevel(u"New window");
    form.PushButton1_Click();
    ASSERT_EQ(listView1.RowCount(), 1u);
    EXPECT_EQ(listView1.MainText(1), u"New window");
    EXPECT_EQ(listView2.RowCount(), 1u);
}

TEST_F(FormLoadTest, UnloadEndsTheProgram) {
    MakeForm().Form_Unload();
    EXPECT_TRUE(window.ended);
}
