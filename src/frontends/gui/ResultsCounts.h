// The words of the main window's status line for the results list's rows.
#pragma once

#include <cstddef>

#include "core/Text.h"

// "12 rows, 3 ticked", or while a walk reads them "Reading: 12 windows so far".
[[nodiscard]] Text ResultsCountsText(std::size_t rows, std::size_t ticked, bool reading);

// How a command ended, and the results' counts then: the status line shows it until they change.
struct StatusNote {
    Text text;
    std::size_t rows = 0;
    std::size_t ticked = 0;
};

// The status line's words: while a walk reads, the windows read so far; otherwise the note while
// the counts are still those it was made with, or else the counts.
[[nodiscard]] Text StatusLineText(std::size_t rows, std::size_t ticked, bool reading,
                                  const StatusNote& note);
