// The rules that choose the command line's exit codes.
#include "cli/ExitCodes.h"

int SelectionExitCode(std::size_t matches, bool first) noexcept {
    if (matches == 0) {
        return ExitCode::kNoMatch;
    }
    return matches > 1 && !first ? ExitCode::kManyMatches : ExitCode::kDone;
}

int DumpExitCode(const DumpTally& tally) noexcept {
    const bool incomplete = tally.timedOut != 0 || tally.gone != 0 || tally.cut != 0 ||
                            tally.changing != 0 || tally.itemsIncomplete != 0 ||
                            tally.rowLimitReached || tally.failedSteps != 0;
    return incomplete ? ExitCode::kIncomplete : ExitCode::kDone;
}
