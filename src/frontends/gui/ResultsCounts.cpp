// The words of the main window's status line for the results list's rows.
#include "gui/ResultsCounts.h"

Text ResultsCountsText(std::size_t rows, std::size_t ticked, bool reading) {
    if (reading) {
        return u"Reading: " + Counted(rows, u"window so far", u"windows so far");
    }
    if (rows == 0) {
        return u"No results";
    }
    return Counted(rows, u"row", u"rows") + u", " +
           (ticked == 0 ? Text(u"none ticked")
                        : DecimalText(static_cast<std::int64_t>(ticked)) + u" ticked");
}

Text StatusLineText(std::size_t rows, std::size_t ticked, bool reading, const StatusNote& note) {
    if (!reading && !note.text.empty() && note.rows == rows && note.ticked == ticked) {
        return note.text;
    }
    return ResultsCountsText(rows, ticked, reading);
}
