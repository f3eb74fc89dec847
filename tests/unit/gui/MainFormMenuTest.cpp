// The menu's own commands and what "Refresh List" keeps: the selected window, Show All
// Windows, Find, Tick All and Untick All, the help boxes.
#include <algorithm>

#include <gtest/gtest.h>

#include "cli/commands/CommandTable.h"
#include "core/Steps.h"
#include "fakes/FormHarness.h"

namespace {

struct MenuTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm(kProductName, u"2.3.4");

    void SetUp() override { form.Load(); }
    [[nodiscard]] std::size_t RowOf(WindowHandle window) const {
        for (std::size_t row = 1; row <= windowList.RowCount(); ++row) {
            if (windowList.SubItem(row, 1) == DecimalText(window)) {
                return row;
            }
        }
        return 0;
    }
};

}  // namespace

TEST_F(MenuTest, RefreshKeepsTheSelectedWindowWhereverItsRowMoves) {
    const WindowHandle editor = desktop.AddTopLevel(u"Editor");
    const WindowHandle mail = desktop.AddTopLevel(u"Mail");
    desktop.AddTopLevel(u"Calculator");
    form.RefreshList();
    ASSERT_EQ(RowOf(mail), 2u);
    windowListDisplay.selected = 1;
    // A window above it closes: the selected one's row moves up.
    desktop.Remove(editor);
    form.RefreshList();
    ASSERT_NE(RowOf(mail), 0u);
    EXPECT_EQ(windowListDisplay.selected, RowOf(mail) - 1);
    EXPECT_EQ(windowList.MainText(windowList.SelectedRow()), u"Mail");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(MenuTest, RefreshSelectsNothingNewWhenTheSelectedWindowHasClosed) {
    desktop.AddTopLevel(u"Editor");
    const WindowHandle mail = desktop.AddTopLevel(u"Mail");
    form.RefreshList();
    windowListDisplay.selected = RowOf(mail) - 1;
    desktop.Remove(mail);
    form.RefreshList();
    EXPECT_FALSE(windowListDisplay.selected.has_value());
    form.RefreshList();  // nothing selected: nothing to keep
    EXPECT_FALSE(windowListDisplay.selected.has_value());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(MenuTest, ShowAllWindowsAddsOwnedWindowsKeepsTheSelectionAndLastsPastRefresh) {
    const WindowHandle editor = desktop.AddTopLevel(u"Editor");
    FakeDesktop::Window owned;
    owned.title = u"Open";
    owned.owner = editor;
    const WindowHandle dialog = desktop.Add(FakeDesktop::kDesktop, owned);
    form.RefreshList();
    ASSERT_EQ(RowOf(dialog), 0u);
    windowListDisplay.selected = RowOf(editor) - 1;

    form.ToggleShowAllWindows();
    EXPECT_TRUE(form.ShowsAllWindows());
    ASSERT_NE(RowOf(dialog), 0u);
    EXPECT_EQ(windowList.MainText(RowOf(dialog)), u"Open [owned]");
    EXPECT_EQ(windowList.MainText(windowList.SelectedRow()), u"Editor");
    form.RefreshList();
    EXPECT_NE(RowOf(dialog), 0u);

    form.ToggleShowAllWindows();
    EXPECT_FALSE(form.ShowsAllWindows());
    EXPECT_EQ(RowOf(dialog), 0u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(MenuTest, FindSelectsTheNextRowHoldingTheTextAndSaysWhenNoneDoes) {
    AddResultRow(u"Static", u"10", u"Name:", false);
    AddResultRow(u"Edit", u"20", u"Jane Doe", false);
    AddResultRow(u"Static", u"30", u"Address:", false);
    form.FindInResults({u"static"});
    EXPECT_EQ(resultsDisplay.selected, 0u);
    form.FindInResults({u"static"});
    EXPECT_EQ(resultsDisplay.selected, 2u);
    form.FindInResults({u"static"});  // round again from the top
    EXPECT_EQ(resultsDisplay.selected, 0u);
    RowSearch up{u"doe"};
    up.down = false;
    form.FindInResults(up);
    EXPECT_EQ(resultsDisplay.selected, 1u);
    EXPECT_TRUE(dialogs.information.empty());

    form.FindInResults({u"Ελληνικά"});
    EXPECT_EQ(resultsDisplay.selected, 1u);  // the selection stays
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first, u"Cannot find \"Ελληνικά\".");
    EXPECT_EQ(dialogs.information[0].second, form.ApplicationTitle());
}

TEST_F(MenuTest, TickAllAndUntickAllReachEveryResultsRow) {
    for (const TextView name : {u"Button", u"Edit", u"Static"}) {
        results.AppendRow(Text(name));
    }
    results.SetChecked(2, true);
    form.TickAllResults();
    EXPECT_TRUE(results.Checked(1) && results.Checked(2) && results.Checked(3));
    form.UntickAllResults();
    EXPECT_FALSE(results.Checked(1) || results.Checked(2) || results.Checked(3));
}

TEST_F(MenuTest, HelpBoxesTellTheCommandLineAndTheVersionButNoMadeUpAddress) {
    form.ShowCommandLineHelp();
    form.ShowAbout();
    ASSERT_EQ(dialogs.information.size(), 2u);
    EXPECT_NE(dialogs.information[0].first.find(u"tessivane-cli dump --handle"), Text::npos);
    for (const CommandEntry& command : CommandTable()) {
        EXPECT_NE(
            dialogs.information[0].first.find(u"        tessivane-cli " + Utf8ToText(command.name)),
            Text::npos)
            << command.name;
    }
    EXPECT_EQ(dialogs.information[1].first, AboutText(kProductName, u"2.3.4"));
    EXPECT_NE(dialogs.information[1].first.find(u"Version 2.3.4"), Text::npos);
    EXPECT_EQ(dialogs.information[1].first.find(kSupportAddress), Text::npos);
    EXPECT_EQ(dialogs.information[1].second, u"Tessivane Window Text Reader");
    // The About box's lines are all shorter than the product's name on its first line: the box
    // wraps a line as wide as itself onto a line it has no room for.
    const Text& about = dialogs.information[1].first;
    const std::size_t nameEnd = about.find(u"\r\n");
    for (std::size_t start = nameEnd + 2; start < about.size();) {
        const std::size_t end = std::min(about.find(u"\r\n", start), about.size());
        EXPECT_LT(end - start, nameEnd) << about.substr(start, end - start).size();
        start = end + 2;
    }
}
