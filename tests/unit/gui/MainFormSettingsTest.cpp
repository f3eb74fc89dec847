// What the main window's form keeps in the user's settings, the status notes that say how a
// command ended, and the depth each walked row keeps.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/FormHarness.h"

namespace {

struct SettingsTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();
};

}  // namespace

TEST_F(SettingsTest, LoadTakesTheKeptViewTicksAndColumnWidthsAndIgnoresUnusableOnes) {
    FakeDesktop::Window owned;
    owned.title = u"Open";
    owned.owner = desktop.AddTopLevel(u"Editor");
    desktop.Add(FakeDesktop::kDesktop, owned);
    settings.values[u"ShowAllWindows"] = 1;
    settings.values[u"ShowDepth"] = 0;
    settings.values[u"SaveFolderTextFile"] = 5;  // not a text: the dialog opens where it will
    settings.values[u"ResultsColumn3Width"] = 6000;
    settings.values[u"ResultsColumn1Width"] = -1;
    settings.values[u"WindowListColumn2Width"] = Text(u"900");
    form.Load();
    EXPECT_TRUE(form.ShowsAllWindows());
    EXPECT_FALSE(form.ShowsDepth());
    EXPECT_EQ(windowList.RowCount(), 2u);  // the owned dialog too
    EXPECT_EQ(resultsDisplay.widths, (std::map<int, int>{{1, 1700}, {2, 1500}, {3, 6000}}));
    EXPECT_EQ(windowListDisplay.widths, (std::map<int, int>{{1, 7000}, {2, 0}}));
    dialogs.chosenPath.clear();
    form.SaveResultsAsTextFile();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].initialFolder, u"");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(SettingsTest, TheViewTicksAreKeptForTheNextRun) {
    form.Load();
    EXPECT_TRUE(form.ShowsDepth());
    form.ToggleShowAllWindows();
    form.ToggleShowDepth();
    EXPECT_FALSE(form.ShowsDepth());
    MainForm next = MakeForm();
    next.Load();
    EXPECT_TRUE(next.ShowsAllWindows());
    EXPECT_FALSE(next.ShowsDepth());
}

TEST_F(SettingsTest, SettingsThatCannotBeWrittenHoldForThisRunWithoutABox) {
    settings.failWrites = true;
    form.Load();
    form.ToggleShowDepth();
    EXPECT_FALSE(form.ShowsDepth());
    EXPECT_TRUE(dialogs.errorReports.empty());
    MainForm next = MakeForm();
    next.Load();
    EXPECT_TRUE(next.ShowsDepth());
}

TEST_F(SettingsTest, EachSaveDialogOpensWhereItLastSaved) {
    form.Load();
    AddResultRow(u"Button", u"1", u"OK", true);
    dialogs.chosenPath = u"C:\\reports\\window.txt";
    form.SaveResultsAsTextFile();
    dialogs.chosenPath = u"D:\\exports\\rows.csv";
    form.SaveResultsAs();
    form.SaveResultsAsTextFile();
    form.SaveResultsAs();
    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests[0].initialFolder, u"");
    EXPECT_EQ(dialogs.saveRequests[1].initialFolder, u"");
    EXPECT_EQ(dialogs.saveRequests[2].initialFolder, u"C:\\reports");
    EXPECT_EQ(dialogs.saveRequests[3].initialFolder, u"D:\\exports");
}

TEST_F(SettingsTest, AnExportThatEndsWellLeavesANoteOfWhereTheRowsWentAndOneThatDidNotNone) {
    form.Load();
    AddResultRow(u"Button", u"1", u"OK", true);
    AddResultRow(u"Edit", u"2", u"name", true);
    AddResultRow(u"Static", u"3", u"label", false);
    const auto saveTo = [&](const char16_t* path, void (MainForm::*save)()) {
        return [this, path, save] {
            dialogs.chosenPath = path;
            (form.*save)();
        };
    };
    const struct {
        const char* what;
        std::function<void()> command;
        std::vector<Text> notes;
    } cases[] = {
        {"copy", [&] { form.CopyResultsToClipboard(); }, {u"Copied 2 rows to the clipboard"}},
        {"text file",
         saveTo(u"C:\\out\\a.txt", &MainForm::SaveResultsAsTextFile),
         {u"Saved to C:\\out\\a.txt"}},
        {"Unicode file",
         saveTo(u"C:\\out\\b.csv", &MainForm::SaveResultsAs),
         {u"Saved to C:\\out\\b.csv"}},
        {"spreadsheet",
         [&] { form.SaveResultsAsSpreadsheet(); },
         {u"Sent 2 rows to the spreadsheet"}},
        {"cancelled save", saveTo(u"", &MainForm::SaveResultsAs), {}},
        {"failed save",
         [&] {
             saveFiles.failWrites = true;
             saveTo(u"C:\\out\\a.txt", &MainForm::SaveResultsAsTextFile)();
         },
         {}},
        {"nothing ticked",
         [&] {
             form.UntickAllResults();
             form.CopyResultsToClipboard();
         },
         {}},
    };
    for (const auto& each : cases) {
        window.statusNotes.clear();
        each.command();
        EXPECT_EQ(window.statusNotes, each.notes) << each.what;
    }
}

TEST_F(SettingsTest, EachWalkedRowKeepsItsWindowsDepth) {
    const WindowHandle top = desktop.AddTopLevel(u"Target");
    const WindowHandle group = desktop.Add(top, FakeDesktop::Make(u"Button", u"Group"));
    desktop.Add(group, FakeDesktop::Make(u"Button", u"OK"));
    desktop.Add(top, FakeDesktop::Make(u"Static", u"label"));
    form.Load();
    windowListDisplay.selected = 0;
    form.ExtractSelectedWindow();
    ASSERT_EQ(results.RowCount(), 4u);
    const std::vector<int> depths{results.Depth(1), results.Depth(2), results.Depth(3),
                                  results.Depth(4)};
    EXPECT_EQ(depths, (std::vector<int>{0, 1, 2, 1}));
    EXPECT_EQ(results.SubItem(3, kTextColumn), u"OK");
}
