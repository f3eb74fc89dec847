// The space bar on the results list: the ticks of the rows it acts on.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "core/RowTable.h"

// Space on a list with selected rows: every selected row (0-based indexes) takes the opposite of
// the focused row's tick, so mixed rows end alike. When the focused row is not selected, it alone
// is toggled. Answers whether any tick changed.
bool ToggleTicksOfSelection(RowTable& rows, std::span<const std::size_t> selected,
                            std::optional<std::size_t> focused);
