// The exit code of a command written whole, and what exit code 4 tells.
#include "documents/DumpTally.h"

#include <string_view>
#include <vector>

#include "core/ExitCodes.h"
#include "extraction/ChildWalk.h"

namespace {

// One kind of what is missing: "3 windows did not answer in time". The noun goes where the kind
// before it had the same one: "3 windows did not answer in time, 1 closed during the walk".
struct MissingKind {
    std::size_t count;
    std::string_view noun;
    const char* nouns;
    const char* saysOne;
    const char* saysMany;
};

}  // namespace

int DumpExitCode(const DumpTally& tally) noexcept {
    const bool incomplete = tally.timedOut != 0 || tally.gone != 0 || tally.denied != 0 ||
                            tally.cut != 0 || tally.changing != 0 || tally.itemsIncomplete != 0 ||
                            tally.rowLimitReached || tally.failedSteps != 0 ||
                            tally.deadlineReached;
    return incomplete ? ExitCode::kIncomplete : ExitCode::kDone;
}

std::string MissingInWords(const DumpTally& tally) {
    const std::vector<MissingKind> kinds{
        {tally.timedOut, "window", "windows", "did not answer in time", "did not answer in time"},
        {tally.gone, "window", "windows", "closed during the walk", "closed during the walk"},
        {tally.denied, "window", "windows", "belongs to a program running with higher rights",
         "belong to a program running with higher rights"},
        {tally.cut, "text", "texts", "was cut", "were cut"},
        {tally.changing, "text", "texts", "kept changing while read", "kept changing while read"},
        {tally.itemsIncomplete, "control", "controls", "did not give all its items",
         "did not give all their items"},
        {tally.failedSteps, "step", "steps", "failed", "failed"}};
    std::string words;
    std::string_view lastNoun;
    for (const MissingKind& kind : kinds) {
        if (kind.count == 0) {
            continue;
        }
        words += words.empty() ? "" : ", ";
        words += std::to_string(kind.count) + " ";
        if (kind.noun != lastNoun) {
            words += (kind.count == 1 ? std::string(kind.noun) : std::string(kind.nouns)) + " ";
        }
        words += kind.count == 1 ? kind.saysOne : kind.saysMany;
        lastNoun = kind.noun;
    }
    if (tally.rowLimitReached) {
        words += std::string(words.empty() ? "" : ", ") + "the walk stopped at " +
                 std::to_string(kMaxRowsPerWalk) + " windows";
    }
    if (tally.deadlineReached) {
        words += std::string(words.empty() ? "" : ", ") + "--deadline ended the command early";
    }
    return words;
}
