// The space bar's ticks on a selection of results rows.
#include <gtest/gtest.h>

#include <vector>

#include "fakes/FakeServices.h"
#include "gui/RowTicks.h"

namespace {

struct RowTicksTest : ::testing::Test {
    FakeRowTableDisplay display;
    RowTable rows{display};

    void SetUp() override {
        AppendColumns(rows, {u"Class Name", u"Handle", u"Text"});
        for (int row = 0; row < 5; ++row) {
            rows.AppendRow(u"Button");
        }
    }
    [[nodiscard]] std::vector<bool> Ticks() const {
        std::vector<bool> ticks;
        for (std::size_t row = 1; row <= rows.RowCount(); ++row) {
            ticks.push_back(rows.Checked(row));
        }
        return ticks;
    }
};

}  // namespace

TEST_F(RowTicksTest, SelectedRowsTakeTheOppositeOfTheFocusedRowsTick) {
    rows.SetChecked(2, true);  // index 1 ticked, the others not
    const std::vector<std::size_t> selected{0, 1, 3};
    EXPECT_TRUE(ToggleTicksOfSelection(rows, selected, 1));
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_TRUE(ToggleTicksOfSelection(rows, selected, 3));
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false, true, false}));
}

TEST_F(RowTicksTest, FocusedRowOutsideTheSelectionIsToggledAlone) {
    const std::vector<std::size_t> selected{0, 1};
    EXPECT_TRUE(ToggleTicksOfSelection(rows, selected, 4));
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false, false, true}));
}

TEST_F(RowTicksTest, WithoutFocusTheFirstSelectedRowLeads) {
    rows.SetChecked(3, true);
    const std::vector<std::size_t> selected{2, 4};
    EXPECT_TRUE(ToggleTicksOfSelection(rows, selected, std::nullopt));
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false, false, false}));
}

TEST_F(RowTicksTest, NothingChangesWithoutRowsToActOn) {
    EXPECT_FALSE(ToggleTicksOfSelection(rows, {}, std::nullopt));
    EXPECT_FALSE(ToggleTicksOfSelection(rows, {}, 9));  // a row the table no longer has
    const std::vector<std::size_t> stale{7, 8};
    EXPECT_FALSE(ToggleTicksOfSelection(rows, stale, 7));
    EXPECT_EQ(Ticks(), std::vector<bool>(5, false));
}
