// What a command met on its way beyond the windows it wrote, as its document's summary counts
// it, and the exit code and the words that it comes to.
#pragma once

#include <cstddef>
#include <string>

// What a command met on its way beyond the windows it wrote.
struct DumpTally {
    std::size_t windows = 0;
    std::size_t timedOut = 0;  // windows whose text did not come in time
    std::size_t gone = 0;      // windows that vanished, before or after their row
    std::size_t denied = 0;    // windows of a program running with higher rights: no text
    std::size_t cut = 0;       // texts longer than the cap, or than what their windows wrote
    std::size_t changing = 0;  // texts that changed on every attempt to read them whole
    // Controls whose items did not come whole: timed out, gone, changed while read or capped.
    std::size_t itemsIncomplete = 0;
    // Lists whose items came without texts (an owner-drawn list keeping none, or rows all empty):
    // told, not missing, since no read gives more.
    std::size_t textlessLists = 0;
    bool rowLimitReached = false;
    // Steps that failed and were reported on standard error.
    std::size_t failedSteps = 0;
    // --deadline ended the command before its end.
    bool deadlineReached = false;
};

// The exit code of a command that was written whole.
[[nodiscard]] int DumpExitCode(const DumpTally& tally) noexcept;

// What is missing, in words, for the one line that exit code 4 prints on standard error: every
// kind the tally counts, "3 windows did not answer in time, 1 closed during the walk"; empty when
// nothing is.
[[nodiscard]] std::string MissingInWords(const DumpTally& tally);
