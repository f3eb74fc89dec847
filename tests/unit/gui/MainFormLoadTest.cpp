// The main window's load step: the application title, the skin, the pointer image, the columns and
// the window list.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/Steps.h"
#include "fakes/FormHarness.h"

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
    MainForm form = MakeForm();
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader 2021");
    form.Load();
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_EQ(window.caption, u"Tessivane Window Text Reader 2021");
    EXPECT_TRUE(window.iconSet);
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");
    ASSERT_EQ(windowList.ColumnCount(), 2);
    EXPECT_EQ(windowList.ColumnHeader(1), u" Window");
    EXPECT_EQ(windowListDisplay.widths, (std::map<int, int>{{1, 7000}, {2, 0}}));
    EXPECT_EQ(results.ColumnCount(), 3);
    EXPECT_EQ(results.ColumnHeader(1), u"Class Name");
    EXPECT_EQ(resultsDisplay.widths, (std::map<int, int>{{1, 1700}, {2, 1500}, {3, 3800}}));
    ASSERT_EQ(windowList.RowCount(), 1u);
    EXPECT_EQ(windowList.MainText(1), u"Editor");
    EXPECT_TRUE(window.pointerImage.empty());  // no cursor file beside the program
}

TEST_F(FormLoadTest, HandPointerIsLoadedFromTheApplicationFolder) {
    files.existing.insert(u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    MakeForm().Load();
    EXPECT_EQ(window.pointerImage, u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(FormLoadTest, UnloadablePointerIsReportedAtLine106AndLoadingGoesOn) {
    files.existing.insert(u"C:\\Tools\\Tessivane\\HAND-M.CUR");
    window.pointerImageLoads = false;
    MakeForm().Load();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(dialogs.errorReports[0].find(u"Form1.Form_Load at line 106\r\r"), Text::npos);
    EXPECT_EQ(results.ColumnCount(), 3);
}

TEST_F(FormLoadTest, UnknownProgramFolderIsReportedAndLoadingGoesOn) {
    files.folderUnknown = true;
    desktop.AddTopLevel(u"Editor");
    MainForm form = MakeForm();
    form.Load();
    ASSERT_GE(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"Form_Load at line 100\r\r"), Text::npos);
    EXPECT_NE(dialogs.errorReports[1].find(u"Form_Load at line 104\r\r"), Text::npos);
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");
    EXPECT_EQ(windowList.RowCount(), 1u);
}

TEST_F(FormLoadTest, ProductNameWithoutBlankFailsLine126AndKeepsTheInitialTitle) {
    MainForm form = MakeForm(u"TessivaneWindowTextReaderForEveryDesktopAndEveryUser");
    form.Load();
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(
        dialogs.errorReports[0].find(u"\r\nin Tessivane2021/08/31.Form1.Form_Load at line 126"),
        Text::npos);
    EXPECT_EQ(window.caption, u"TessivaneWindowTextReaderForEveryDesktopAndEveryUser");
    EXPECT_EQ(form.ApplicationTitle(), u"TessivaneWindowTextReaderForEveryDeskto");  // 39 units
    EXPECT_EQ(results.ColumnCount(), 3);
}

TEST_F(FormLoadTest, RefreshListRefillsTheWindowListOnly) {
    MainForm form = MakeForm();
    form.Load();
    results.AppendRow(u"Kept");
    desktop.AddTopLevel(u"New window");
    form.RefreshList();
    ASSERT_EQ(windowList.RowCount(), 1u);
    EXPECT_EQ(windowList.MainText(1), u"New window");
    EXPECT_EQ(results.RowCount(), 1u);
}

TEST_F(FormLoadTest, UnloadEndsTheProgram) {
    MakeForm().Close();
    EXPECT_TRUE(window.ended);
}

namespace {

const Text kSkinFile = u"C:\\Tools\\Tessivane\\x\\o.cjs";

struct ApplySkinTest : ::testing::Test, FormHarness {};

}  // namespace

TEST_F(ApplySkinTest, PresentSkinColoursTheWindowThenMakesTheFiveCalls) {
    files.ordinary.insert(kSkinFile);
    MakeForm().Load();
    EXPECT_EQ(window.background, 0x8000000Fu);
    EXPECT_EQ(skin.calls,
              (std::vector<std::string>{"call 2 C:\\Tools\\Tessivane\\x\\o.cjs ", "get 1",
                                        "put 1 7", "put 5 true", "put 10 true", "call 3 196674"}));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ApplySkinTest, AbsentHiddenSystemOrFolderSkinChangesNothing) {
    files.existing.insert(kSkinFile);  // there, but not listed as an ordinary file
    MakeForm().Load();
    EXPECT_EQ(window.background, 0xFFFFFFu);
    EXPECT_TRUE(skin.calls.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ApplySkinTest, UnusableSkinIsReportedAtLine100AndTheColourStays) {
    files.ordinary.insert(kSkinFile);
    skin.failLoading = true;
    MainForm form = MakeForm();
    form.Load();
    EXPECT_EQ(window.background, 0x8000000Fu);
    EXPECT_EQ(skin.calls.size(), 1u);
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"The skin file cannot be used: line 3: expected \"name = value\".",
                              ReportLocation::Load, 100));
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");  // loading went on
}
