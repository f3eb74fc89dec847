// The status line's words for the results' rows.
#include "gui/ResultsCounts.h"

#include <gtest/gtest.h>

#include <span>

namespace {

struct CountsCase {
    std::size_t rows;
    std::size_t ticked;
    bool reading;
    const char16_t* words;
};

// Each case's words on the status line with note.
void ExpectWords(std::span<const CountsCase> cases, const StatusNote& note) {
    for (const CountsCase& each : cases) {
        EXPECT_EQ(StatusLineText(each.rows, each.ticked, each.reading, note), Text(each.words))
            << each.rows << " " << each.ticked << " " << each.reading;
    }
}

}  // namespace

TEST(ResultsCounts, SayTheRowsAndTicksOrWhileReadingTheWindowsSoFar) {
    const CountsCase cases[] = {
        {0, 0, false, u"No results"},
        {1, 0, false, u"1 row, none ticked"},
        {12, 3, false, u"12 rows, 3 ticked"},
        {1000000, 1000000, false, u"1000000 rows, 1000000 ticked"},
        {0, 0, true, u"Reading: 0 windows so far"},
        {1, 0, true, u"Reading: 1 window so far"},
        {250, 7, true, u"Reading: 250 windows so far"},
    };
    for (const CountsCase& each : cases) {
        EXPECT_EQ(ResultsCountsText(each.rows, each.ticked, each.reading), Text(each.words))
            << each.rows << " " << each.ticked << " " << each.reading;
    }
    // Without a note the status line says the counts.
    ExpectWords(cases, StatusNote{});
}

TEST(ResultsCounts, ANoteStandsUntilTheCountsChangeOrAWalkReads) {
    const CountsCase cases[] = {
        {12, 3, false, u"Copied 3 rows to the clipboard"},
        {12, 4, false, u"12 rows, 4 ticked"},
        {0, 0, false, u"No results"},
        {12, 3, true, u"Reading: 12 windows so far"},
    };
    ExpectWords(cases, StatusNote{u"Copied 3 rows to the clipboard", 12, 3});
}
