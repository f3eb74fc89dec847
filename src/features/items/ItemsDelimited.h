// A table of items as delimited text: a header line of captions, then one line per row, cells
// quoted as RFC 4180 has it when they hold the delimiter, a quote, CR or LF. A tree's rows
// lead with their depth. Lines end in CR LF.
#pragma once

#include <cstddef>
#include <span>

#include "core/Text.h"
#include "items/ItemsTable.h"

enum class Delimiter : char16_t { Comma = u',', Tab = u'\t' };

// The rows given (all rows when none are given), in the order given.
[[nodiscard]] Text ItemsDelimitedText(const ItemsTable& table, Delimiter delimiter,
                                      std::span<const std::size_t> rows = {});
