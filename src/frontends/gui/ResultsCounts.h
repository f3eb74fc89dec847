// The words of the main window's status line for the results list's rows.
#pragma once

#include <cstddef>

#include "core/Text.h"

// "12 rows, 3 ticked", or while a walk reads them "Reading: 12 windows so far".
[[nodiscard]] Text ResultsCountsText(std::size_t rows, std::size_t ticked, bool reading);
