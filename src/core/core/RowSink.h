// Where the window list and the child walk put their rows: the main window's lists, a test
// double, or a command-line front end's output.
#pragma once

#include <cstddef>

#include "core/Text.h"

class RowSink {
public:
    virtual ~RowSink() = default;

    // Drops every row.
    virtual void Clear() = 0;
    // A new last row with its first cell; answers the row's position, counting from 1.
    virtual std::size_t AppendRow(Text firstCell) = 0;
    // Sets a later cell of a row: index 1 is the row's second cell.
    virtual void SetCell(std::size_t row, int index, Text text) = 0;
};
