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
