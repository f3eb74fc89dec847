// The status line's words for the results' rows.
#include "gui/ResultsCounts.h"

#include <gtest/gtest.h>

TEST(ResultsCounts, SayTheRowsAndTicksOrWhileReadingTheWindowsSoFar) {
    const struct {
        std::size_t rows;
        std::size_t ticked;
        bool reading;
        const char16_t* words;
    } cases[] = {
        {0, 0, false, u"No results"},
        {1, 0, false, u"1 row, none ticked"},
        {12, 3, false, u"12 rows, 3 ticked"},
        {1000000, 1000000, false, u"1000000 rows, 1000000 ticked"},
        {0, 0, true, u"Reading: 0 windows so far"},
        {1, 0, true, u"Reading: 1 window so far"},
        {250, 7, true, u"Reading: 250 windows so far"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(ResultsCountsText(each.rows, each.ticked, each.reading), Text(each.words))
            << each.rows << " " << each.ticked << " " << each.reading;
    }
}
