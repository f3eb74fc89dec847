// Picking a window by pointing at it: its top-level window selected (or added) in the window
// list, extracted as the start button does, and the picked window's results row selected.
#include <gtest/gtest.h>

#include "fakes/FormHarness.h"

namespace {

struct PickTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();
    WindowHandle editor = desktop.AddTopLevel(u"Editor");
    WindowHandle mail = desktop.AddTopLevel(u"Mail");
    WindowHandle label = desktop.Add(mail, FakeDesktop::Make(u"Static", u"To:"));
    WindowHandle panel = desktop.Add(mail, FakeDesktop::Make(u"Panel", u""));
    WindowHandle nested = desktop.Add(panel, FakeDesktop::Make(u"Edit", u"someone"));

    void SetUp() override {
        desktop.Add(editor, FakeDesktop::Make(u"Edit", u"draft"));
        form.Load();
        windowListDisplay.selected = 0;
    }
    [[nodiscard]] const Text& SelectedHandle(const RowTable& rows) const {
        return rows.SubItem(rows.SelectedRow(), 1);
    }
};

}  // namespace

TEST_F(PickTest, PickedWindowsListedWindowIsSelectedAndExtractedAndThePickedRowSelected) {
    results.AppendRow(u"earlier");
    const std::size_t listed = windowList.RowCount();
    form.PickWindow(nested);
    EXPECT_EQ(windowList.RowCount(), listed);
    EXPECT_EQ(SelectedHandle(windowList), DecimalText(mail));
    // The tree of the picked window's top-level window, in the walk's order.
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_EQ(results.SubItem(1, 1), DecimalText(mail));
    EXPECT_EQ(results.SubItem(2, 1), DecimalText(label));
    EXPECT_EQ(results.SubItem(4, 1), DecimalText(nested));
    EXPECT_EQ(SelectedHandle(results), DecimalText(nested));
    // A top-level window picked is the first row of its own tree.
    form.PickWindow(editor);
    EXPECT_EQ(SelectedHandle(windowList), DecimalText(editor));
    ASSERT_EQ(results.RowCount(), 2u);
    EXPECT_EQ(resultsDisplay.selected, 0u);
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(PickTest, WindowsTheListLeavesOutGetOneRowEachAndAreExtracted) {
    FakeDesktop::Window dialog = FakeDesktop::Make(u"#32770", u"");
    dialog.title = u"Find";
    dialog.owner = mail;
    const WindowHandle owned = desktop.Add(FakeDesktop::kDesktop, dialog);
    const WindowHandle button = desktop.Add(owned, FakeDesktop::Make(u"Button", u"Find Next"));
    const WindowHandle untitled =
        desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"Tip", u""));
    const std::size_t listed = windowList.RowCount();
    for (const auto& [top, picked] : {std::pair{owned, button}, std::pair{untitled, untitled}}) {
        // Picked twice: the row added the first time serves the second.
        for (int pick = 0; pick < 2; ++pick) {
            form.PickWindow(picked);
            EXPECT_EQ(SelectedHandle(windowList), DecimalText(top));
            EXPECT_EQ(results.SubItem(1, 1), DecimalText(top));
            EXPECT_EQ(SelectedHandle(results), DecimalText(picked));
        }
    }
    ASSERT_EQ(windowList.RowCount(), listed + 2);
    // Marked as Show All Windows marks them.
    EXPECT_EQ(windowList.MainText(listed + 1), u"Find [owned]");
    EXPECT_EQ(windowList.MainText(listed + 2), u"(Tip) [untitled]");
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(PickTest, WindowClosedBeforeThePickIsNamedAndAPickDuringAWalkChangesNothing) {
    results.AppendRow(u"earlier");
    desktop.Remove(panel);
    form.PickWindow(nested);
    EXPECT_EQ(SelectedHandle(windowList), DecimalText(editor));
    ASSERT_EQ(results.RowCount(), 1u);
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"The picked window has closed, so it has no row in the results.");
    // The walk of the editor lets events through; a pick meanwhile waits for nothing.
    pump.actAt = 0;
    pump.action = [&] { form.PickWindow(label); };
    form.ExtractSelectedWindow();
    EXPECT_EQ(SelectedHandle(windowList), DecimalText(editor));
    EXPECT_EQ(results.SubItem(1, 1), DecimalText(editor));
    EXPECT_FALSE(resultsDisplay.selected.has_value());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(PickTest, PickedWindowClosedWhileItsTreeIsReadIsNamedInTheWalksNote) {
    // Besides, a text that does not come in time, for the walk's own note.
    desktop.Add(mail, FakeDesktop::Make(u"Edit", u"slow", 7));
    desktop.HangThread(7);
    // The program closes the picked control while the walk reads the label before it.
    desktop.onTextRequest = [&](WindowHandle window) {
        if (window == label) {
            desktop.Remove(nested);
        }
    };
    form.PickWindow(nested);
    ASSERT_EQ(results.RowCount(), 4u);
    EXPECT_FALSE(resultsDisplay.selected.has_value());
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"Some texts in the results are missing or incomplete:\r\n"
              u"1 window did not answer in time: its text is empty.\r\n"
              u"The picked window has closed, so it has no row in the results.");
    EXPECT_TRUE(dialogs.errorReports.empty());
}
