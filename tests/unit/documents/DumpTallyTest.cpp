// A command's tally: exit code 4 for anything missing, and its line on standard error that names
// every kind the tally counts, in words, and nothing for a tally that counts none.
#include <gtest/gtest.h>

#include "core/ExitCodes.h"
#include "documents/DumpTally.h"

TEST(MissingInWords, NamesEveryKindCountedAndOnlyThose) {
    const struct {
        DumpTally tally;
        std::string words;
    } cases[] = {
        {{.timedOut = 3, .gone = 1}, "3 windows did not answer in time, 1 closed during the walk"},
        {{.gone = 1}, "1 window closed during the walk"},
        {{.timedOut = 1, .cut = 2}, "1 window did not answer in time, 2 texts were cut"},
        {{.cut = 1, .changing = 4}, "1 text was cut, 4 kept changing while read"},
        {{.itemsIncomplete = 1, .failedSteps = 2},
         "1 control did not give all its items, 2 steps failed"},
        {{.itemsIncomplete = 2}, "2 controls did not give all their items"},
        {{.rowLimitReached = true}, "the walk stopped at 1000000 windows"},
        {{.timedOut = 2, .deadlineReached = true},
         "2 windows did not answer in time, --deadline ended the command early"},
        {{.windows = 7}, ""},
    };
    for (const auto& [tally, words] : cases) {
        EXPECT_EQ(MissingInWords(tally), words);
        EXPECT_EQ(DumpExitCode(tally), words.empty() ? ExitCode::kDone : ExitCode::kIncomplete)
            << words;
    }
}

TEST(ExitCodes, ADumpMissingAnythingEndsWithFour) {
    EXPECT_EQ(DumpExitCode(DumpTally{}), ExitCode::kDone);
    EXPECT_EQ(DumpExitCode({.windows = 5}), ExitCode::kDone);
    for (const DumpTally& missing :
         {DumpTally{.windows = 5, .timedOut = 1}, DumpTally{.windows = 5, .gone = 1},
          DumpTally{.windows = 5, .cut = 1}, DumpTally{.windows = 5, .itemsIncomplete = 1},
          DumpTally{.windows = 5, .rowLimitReached = true}}) {
        EXPECT_EQ(DumpExitCode(missing), ExitCode::kIncomplete);
    }
}
