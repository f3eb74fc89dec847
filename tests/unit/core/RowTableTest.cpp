// The row table behind both lists.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "fakes/FakeServices.h"

namespace {

struct ListViewTest : ::testing::Test {
    FakeRowTableDisplay display;
    RowTable list{display};

    void SetUp() override { AppendColumns(list, {u"Class Name", u"Handle", u"Text"}); }
};

}  // namespace

TEST_F(ListViewTest, RowsAreOneBasedAndStartEmptyAndUnticked) {
    EXPECT_EQ(list.AppendRow(u""), 1u);
    EXPECT_EQ(list.AppendRow(u"Edit"), 2u);
    list.SetCell(2, 2, u"text");
    EXPECT_EQ(list.RowCount(), 2u);
    EXPECT_EQ(list.MainText(1), u"");
    EXPECT_EQ(list.SubItem(2, 1), u"");
    EXPECT_EQ(list.SubItem(2, 2), u"text");
    EXPECT_FALSE(list.Checked(2));
    list.Clear();
    EXPECT_EQ(list.AppendRow(u"Again"), 1u);
}

TEST_F(ListViewTest, OutOfRangeRowsColumnsAndSubitemsFail) {
    list.AppendRow(u"Button");
    EXPECT_THROW(list.SetCell(1, 3, u"x"), Failure);  // 3 is not smaller than 3 columns
    EXPECT_THROW(list.SetCell(2, 1, u"x"), Failure);
    EXPECT_THROW((void)list.MainText(0), Failure);
    EXPECT_THROW((void)list.SubItem(1, 0), Failure);
    EXPECT_THROW(list.SetColumnWidth(4, 100), Failure);
    EXPECT_THROW((void)list.ColumnHeader(0), Failure);
    EXPECT_EQ(list.ColumnHeader(3), u"Text");
}

TEST_F(ListViewTest, SelectedRowComesFromTheDisplayAndMustExist) {
    list.AppendRow(u"One");
    EXPECT_THROW((void)list.SelectedRow(), Failure);
    display.selected = 0;
    EXPECT_EQ(list.SelectedRow(), 1u);
    display.selected = 5;  // the control still shows a row that the model no longer has
    EXPECT_THROW((void)list.SelectedRow(), Failure);
}

TEST_F(ListViewTest, RowIsSelectedThroughTheDisplayAndMustExist) {
    list.AppendRow(u"One");
    list.AppendRow(u"Two");
    list.SelectRow(2);
    EXPECT_EQ(display.selected, 1u);
    EXPECT_THROW(list.SelectRow(3), Failure);
    EXPECT_EQ(list.SelectedRow(), 2u);
}

TEST_F(ListViewTest, AllRowsAreTickedAndUntickedAndShownAgain) {
    for (const TextView text : {u"One", u"Two", u"Three"}) {
        list.AppendRow(Text(text));
    }
    list.SetChecked(2, true);
    const int changes = display.changes;
    list.SetAllChecked(true);
    EXPECT_TRUE(list.Checked(1) && list.Checked(2) && list.Checked(3));
    EXPECT_EQ(display.changes, changes + 1);
    list.SetAllChecked(false);
    EXPECT_FALSE(list.Checked(1) || list.Checked(2) || list.Checked(3));
}

TEST_F(ListViewTest, AllCheckedFollowsEveryWayOfTickingAndNeedsRows) {
    EXPECT_FALSE(list.AllChecked());  // no rows
    list.AppendRow(u"One");
    list.AppendRow(u"Two");
    list.SetChecked(1, true);
    list.SetChecked(1, true);  // ticked twice still counts once
    EXPECT_FALSE(list.AllChecked());
    list.SetChecked(2, true);
    EXPECT_TRUE(list.AllChecked());
    list.AppendRow(u"Three");  // a new row comes unticked
    EXPECT_FALSE(list.AllChecked());
    list.SetAllChecked(true);
    EXPECT_TRUE(list.AllChecked());
    list.SetChecked(3, false);
    EXPECT_FALSE(list.AllChecked());
    list.Clear();
    list.AppendRow(u"Again");
    list.SetChecked(1, true);
    EXPECT_TRUE(list.AllChecked());
}

TEST(ListViewColumnsTest, ColumnAddedAfterRowsKeepsTheirCells) {
    FakeRowTableDisplay display;
    RowTable list{display};
    list.AppendColumn(u"One");
    for (int row = 0; row < 5000; ++row) {  // more than one block of rows
        list.AppendRow(DecimalText(row));
    }
    list.AppendColumn(u"Two");
    list.SetCell(4321, 1, u"sub");
    EXPECT_EQ(list.MainText(4321), u"4320");
    EXPECT_EQ(list.MainText(5000), u"4999");
    EXPECT_EQ(list.SubItem(4321, 1), u"sub");
    EXPECT_EQ(list.RowCells(4321).size(), 2u);
}

TEST_F(ListViewTest, RowsKeepTheirDepthsUntilTheyAreClearedAndADeepOneIsKeptAtTheDeepest) {
    list.AppendRow(u"a");
    list.AppendRow(u"b");
    list.AppendRow(u"c");
    list.SetDepth(2, 3);
    list.SetDepth(3, 1'000'000);
    EXPECT_EQ(list.Depth(1), 0);
    EXPECT_EQ(list.Depth(2), 3);
    EXPECT_EQ(list.Depth(3), kMaxRowDepth);
    EXPECT_THROW(list.SetDepth(4, 1), Failure);
    list.Clear();
    list.AppendRow(u"d");
    EXPECT_EQ(list.Depth(1), 0);
}
