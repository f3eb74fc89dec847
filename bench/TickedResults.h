// The results list the output benchmarks work on: rows as an extraction gives them (class,
// handle, a short text), all ticked.
#pragma once

#include "fakes/FakeServices.h"

struct TickedResults {
    FakeRowTableDisplay display;
    RowTable list{display};

    // Each row's text is textStart and the row's number.
    explicit TickedResults(long long rows, TextView textStart = u"Item text ") {
        AppendColumns(list, {u"Class Name", u"Handle", u"Text"});
        for (long long row = 0; row < rows; ++row) {
            const std::size_t at = list.AppendRow(row % 3 == 0 ? u"Static" : u"Button");
            list.SetCell(at, 1, DecimalText(65536 + row * 4));
            list.SetCell(at, 2, Text(textStart) + DecimalText(row));
            list.SetChecked(at, true);
        }
    }
};
