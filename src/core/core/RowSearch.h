// Finding rows by their texts: the Find command's search in every cell, and the lists' type-to-
// find on the first cell.
#pragma once

#include <cstddef>
#include <optional>

#include "core/RowTable.h"
#include "core/Text.h"

struct RowSearch {
    enum class Match { CellContains, FirstCellStartsWith, FirstCellIs };

    Text needle;
    Match match = Match::CellContains;
    bool down = true;
    bool matchCase = false;
    // Past the last row the search goes on from the first (or, upwards, the other way round).
    bool wrap = true;
};

// The first row after row `after` in the search's direction (0 starts before the first row, or
// after the last one upwards) that matches; nothing when none does or the needle is empty.
[[nodiscard]] std::optional<std::size_t> FindRow(const RowTable& rows, const RowSearch& search,
                                                 std::size_t after);

// The unit in lower case, for the scripts whose letters have a simple case pair in the Basic
// Multilingual Plane's first blocks: Latin (ASCII, Latin-1, Latin Extended-A), Greek and
// Cyrillic. Other units are their own lower case.
[[nodiscard]] char16_t LowerCase(char16_t unit) noexcept;

// The same unit, or with matchCase false the same in lower case.
[[nodiscard]] bool SameUnit(char16_t a, char16_t b, bool matchCase) noexcept;
