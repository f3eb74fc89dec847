// The aligned text of the ticked rows.
#include <gtest/gtest.h>

#include "export/AlignedText.h"
#include "fakes/FakeServices.h"

namespace {

struct AlignedTextTest : ::testing::Test {
    FakeRowTableDisplay display;
    RowTable results{display};
    FakePump pump;

    void SetUp() override { AppendColumns(results, {u"Class Name", u"Handle", u"Text"}); }

    void AddRow(Text className, Text handle, Text text, bool ticked) {
        const std::size_t row = results.AppendRow(std::move(className));
        results.SetCell(row, 1, std::move(handle));
        results.SetCell(row, 2, std::move(text));
        results.SetChecked(row, ticked);
    }
};

}  // namespace

TEST_F(AlignedTextTest, RendersTheWorkedExampleExactly) {
    AddRow(u"Button", u"1234", u"OK", true);
    AddRow(u"Edit", u"56", u"", true);
    EXPECT_EQ(RenderAlignedText(results, pump), u"Button\t1234\tOK\r\nEdit  \t56  \t\r\n");
}

TEST_F(AlignedTextTest, WidthsCountUntickedRowsAndSurrogatePairs) {
    AddRow(u"A", u"1", u"x", true);
    AddRow(u"LongClassName", u"\U0001D11E\U0001D11E", u"long unticked text", false);
    // "A" padded to 13, "1" to the 4 code units of two surrogate pairs; the last cell's
    // padding goes with the trailing blanks.
    EXPECT_EQ(RenderAlignedText(results, pump), u"A            \t1   \tx\r\n");
}

TEST_F(AlignedTextTest, TrailingBlanksGoFromTheLastCellOnly) {
    AddRow(u"Mid  ", u"1", u"end  ", true);
    AddRow(u"Row", u"22", u"", false);
    EXPECT_EQ(RenderAlignedText(results, pump), u"Mid  \t1 \tend\r\n");
}

TEST_F(AlignedTextTest, AHugeLastCellAmongThousandsOfTickedRowsIsCopiedWhole) {
    constexpr std::size_t kHugeCell = std::size_t{16} << 20;
    constexpr int kRows = 2002;
    for (int row = 1; row <= kRows; ++row) {
        AddRow(u"Edit", DecimalText(row), row == 1000 ? Text(kHugeCell, u'x') : u"text", row != 7);
    }
    const Text text = RenderAlignedText(results, pump);
    // Every ticked line is "Edit\t" and the handle padded to 4, then its text: the huge text
    // is never used as a width to pad to.
    std::size_t expected = 0;
    for (int row = 1; row <= kRows; ++row) {
        if (row != 7) {
            expected += 5 + 5 + (row == 1000 ? kHugeCell : 4) + 2;
        }
    }
    EXPECT_EQ(text.size(), expected);
    EXPECT_EQ(text.substr(0, 30), u"Edit\t1   \ttext\r\nEdit\t2   \ttext");
    const std::size_t huge = text.find(u"Edit\t1000\t");
    ASSERT_NE(huge, Text::npos);
    EXPECT_EQ(text.find_first_not_of(u'x', huge + 10), huge + 10 + kHugeCell);
    EXPECT_EQ(text.find(u"Edit\t7   \t"), Text::npos);
}
