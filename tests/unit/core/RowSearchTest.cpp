// Finding rows: Find's search in every cell, up and down, with and without case, wrapping; the
// lists' type-to-find on the first cell.
#include <gtest/gtest.h>

#include "core/RowSearch.h"
#include "fakes/FakeServices.h"

namespace {

struct RowSearchTest : ::testing::Test {
    FakeRowTableDisplay display;
    RowTable list{display};

    void SetUp() override {
        AppendColumns(list, {u"Class Name", u"Handle", u"Text"});
        for (const auto& [className, text] :
             {std::pair{u"Button", u"OK"}, std::pair{u"Edit", u"Ελληνικά ΚΕΙΜΕΝΟ"},
              std::pair{u"Static", u"Čeština ok"}, std::pair{u"button", u"Cancel"}}) {
            const std::size_t row = list.AppendRow(className);
            list.SetCell(row, 1, DecimalText(static_cast<WindowHandle>(row * 10)));
            list.SetCell(row, 2, text);
        }
    }
    std::optional<std::size_t> Find(RowSearch search, std::size_t after) const {
        return FindRow(list, search, after);
    }
};

}  // namespace

TEST_F(RowSearchTest, FindLooksInEveryCellDownOrUpAndWrapsPastTheEnds) {
    const RowSearch ok{u"ok"};
    EXPECT_EQ(Find(ok, 0), 1u);
    EXPECT_EQ(Find(ok, 1), 3u);       // "Čeština ok"
    EXPECT_EQ(Find(ok, 3), 1u);       // wrapped
    EXPECT_EQ(Find({u"30"}, 0), 3u);  // the handle cell
    RowSearch up{u"ok"};
    up.down = false;
    EXPECT_EQ(Find(up, 0), 3u);  // from below the last row
    EXPECT_EQ(Find(up, 3), 1u);
    up.wrap = false;
    EXPECT_EQ(Find(up, 1), std::nullopt);
    EXPECT_EQ(Find({u"nowhere"}, 2), std::nullopt);
    EXPECT_EQ(Find({u""}, 0), std::nullopt);
}

TEST_F(RowSearchTest, CaseIsIgnoredInLatinGreekAndCyrillicUnlessAsked) {
    EXPECT_EQ(Find({u"κείμενο"}, 0), std::nullopt);  // accents differ: ί is not Ι
    EXPECT_EQ(Find({u"ελληνικά κ"}, 0), 2u);
    EXPECT_EQ(Find({u"ČEŠTINA"}, 0), 3u);
    RowSearch exact{u"OK"};
    exact.matchCase = true;
    EXPECT_EQ(Find(exact, 1), 1u);  // only row 1 says "OK"
    EXPECT_EQ(LowerCase(u'Я'), u'я');
    EXPECT_EQ(LowerCase(u'Ё'), u'ё');
    EXPECT_EQ(LowerCase(u'Ÿ'), u'ÿ');
    EXPECT_EQ(LowerCase(u'Ź'), u'ź');
    EXPECT_EQ(LowerCase(u'×'), u'×');
    EXPECT_EQ(LowerCase(u'ĸ'), u'ĸ');
    EXPECT_EQ(LowerCase(u'漢'), u'漢');
}

TEST_F(RowSearchTest, TypeToFindMatchesTheStartOfTheFirstCell) {
    RowSearch typed{u"BUT", RowSearch::Match::FirstCellStartsWith};
    EXPECT_EQ(Find(typed, 0), 1u);
    EXPECT_EQ(Find(typed, 1), 4u);  // "button", the next one
    typed.needle = u"ok";           // in a text, not at the start of a first cell
    EXPECT_EQ(Find(typed, 0), std::nullopt);
    typed.needle = u"Statics";  // longer than the cell
    EXPECT_EQ(Find(typed, 0), std::nullopt);
    const RowSearch whole{u"EDIT", RowSearch::Match::FirstCellIs};
    EXPECT_EQ(Find(whole, 0), 2u);
    EXPECT_EQ(Find({u"Edi", RowSearch::Match::FirstCellIs}, 0), std::nullopt);
}
