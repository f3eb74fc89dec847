// A results row's window state: the row's look and the line of its info tip.
#include <gtest/gtest.h>

#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "gui/RowState.h"

namespace {

struct RowStateTest : ::testing::Test {
    FakeDesktop desktop;

    RowWindowState StateOf(WindowHandle window) {
        const Text cells[] = {u"Edit", DecimalText(window), u"text"};
        return StateOfRowWindow(cells, desktop, desktop);
    }
    WindowHandle Add(bool visible, bool enabled) {
        FakeDesktop::Window window = FakeDesktop::Make(u"Edit", u"text");
        window.visible = visible;
        window.enabled = enabled;
        window.controlId = 1001;
        window.rect = {-8, 20, 292, 44};
        return desktop.Add(FakeDesktop::kDesktop, window);
    }
};

}  // namespace

TEST_F(RowStateTest, HiddenRowsAreGreyDisabledOnesGreyItalicWhateverTheyShow) {
    EXPECT_EQ(LookOf(StateOf(Add(true, true))), RowLook::Plain);
    EXPECT_EQ(LookOf(StateOf(Add(false, true))), RowLook::Hidden);
    EXPECT_EQ(LookOf(StateOf(Add(true, false))), RowLook::Disabled);
    EXPECT_EQ(LookOf(StateOf(Add(false, false))), RowLook::Disabled);
}

TEST_F(RowStateTest, TheTipTellsStateControlIdAndRectangleOrThatTheWindowIsGone) {
    EXPECT_EQ(StateTip(StateOf(Add(false, false))),
              u"Hidden, disabled. Control id 1001. On screen at (-8, 20) to (292, 44), 300 x 24.");
    const WindowHandle gone = Add(true, true);
    desktop.Remove(gone);
    const RowWindowState state = StateOf(gone);
    EXPECT_EQ(LookOf(state), RowLook::Plain);
    EXPECT_EQ(StateTip(state), u"This window no longer exists.");
    // A row without a handle cell, or with one that is no number, names no window.
    const Text shortRow[] = {u"Edit"};
    EXPECT_FALSE(StateOfRowWindow(shortRow, desktop, desktop).exists);
    const Text badHandle[] = {u"Edit", u"12x"};
    EXPECT_FALSE(StateOfRowWindow(badHandle, desktop, desktop).exists);
}

TEST_F(RowStateTest, ARowsPathRunsFromTheExtractedWindowAndAClosedWindowHasNone) {
    const WindowHandle top = Add(true, true);
    const WindowHandle pane = desktop.Add(top, FakeDesktop::Make(u"Pane", u""));
    const WindowHandle button = desktop.Add(pane, FakeDesktop::Make(u"Button", u"OK"));
    desktop.At(button).controlId = 1;
    FakeRowTableDisplay display;
    RowTable rows(display);
    AppendColumns(rows, {u"Class Name", u"Handle", u"Text"});
    for (const WindowHandle window : {top, pane, button}) {
        rows.SetCell(rows.AppendRow(u"class"), 1, DecimalText(window));
    }
    const auto tip = [&](std::size_t row) { return PathTip(RowPath(rows, row, desktop, desktop)); };
    EXPECT_EQ(tip(3), u"Path: Pane/Button#1");
    EXPECT_EQ(tip(1), u"Path: empty, the extracted window itself.");
    desktop.Remove(button);
    EXPECT_EQ(tip(3), u"Path: none, the window (or the extracted window) has closed.");
    EXPECT_EQ(tip(2), u"Path: Pane");
    desktop.Remove(top);
    EXPECT_EQ(RowPath(rows, 2, desktop, desktop), std::nullopt);
}
