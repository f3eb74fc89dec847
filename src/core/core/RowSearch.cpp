// Finding rows by their texts.
#include "core/RowSearch.h"

#include <algorithm>

namespace {

bool Matches(std::span<const Text> cells, const RowSearch& search) {
    const auto same = [&](char16_t a, char16_t b) { return SameUnit(a, b, search.matchCase); };
    if (search.match != RowSearch::Match::CellContains) {
        const bool whole = search.match == RowSearch::Match::FirstCellIs;
        return !cells.empty() &&
               (whole ? cells[0].size() == search.needle.size()
                      : cells[0].size() >= search.needle.size()) &&
               std::equal(search.needle.begin(), search.needle.end(), cells[0].begin(), same);
    }
    return std::any_of(cells.begin(), cells.end(), [&](const Text& cell) {
        return std::search(cell.begin(), cell.end(), search.needle.begin(), search.needle.end(),
                           same) != cell.end();
    });
}

}  // namespace

bool SameUnit(char16_t a, char16_t b, bool matchCase) noexcept {
    return a == b || (!matchCase && LowerCase(a) == LowerCase(b));
}

char16_t LowerCase(char16_t unit) noexcept {
    const auto shifted = [unit](int by) { return static_cast<char16_t>(unit + by); };
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7)) {
        return shifted(0x20);  // ASCII and Latin-1 capitals, not the multiplication sign
    }
    if (unit == 0x178) {
        return 0xFF;  // Ÿ, whose small letter is in Latin-1
    }
    if (unit >= 0x100 && unit <= 0x17F && unit != 0x130 && unit != 0x138 && unit != 0x149) {
        // Latin Extended-A pairs capitals and small letters as neighbours: even-odd up to U+0137
        // and from U+014A, odd-even between them and after U+0178.
        const bool oddCapitals = (unit >= 0x139 && unit <= 0x148) || unit >= 0x179;
        const bool capital = oddCapitals ? unit % 2 == 1 : unit % 2 == 0;
        return capital && unit != 0x17F ? shifted(1) : unit;
    }
    if (unit >= 0x391 && unit <= 0x3AB && unit != 0x3A2) {
        return shifted(0x20);  // Greek capitals; U+03A2 is unassigned
    }
    if (unit >= 0x410 && unit <= 0x42F) {
        return shifted(0x20);  // Cyrillic А to Я
    }
    if (unit >= 0x400 && unit <= 0x40F) {
        return shifted(0x50);  // Cyrillic Ѐ to Џ
    }
    return unit;
}

std::optional<std::size_t> FindRow(const RowTable& rows, const RowSearch& search,
                                   std::size_t after) {
    const std::size_t count = rows.RowCount();
    if (search.needle.empty() || count == 0) {
        return std::nullopt;
    }
    // Row numbers 1 to count; 0 and count + 1 stand before the first and after the last.
    std::size_t row = std::min(after, count + 1);
    if (!search.down && row == 0) {
        row = count + 1;
    }
    for (std::size_t visited = 0; visited < count; ++visited) {
        if (search.down) {
            row = row >= count ? (search.wrap ? 1 : 0) : row + 1;
        } else {
            row = row <= 1 ? (search.wrap ? count : 0) : row - 1;
        }
        if (row == 0) {
            return std::nullopt;
        }
        if (Matches(rows.RowCells(row), search)) {
            return row;
        }
    }
    return std::nullopt;
}
