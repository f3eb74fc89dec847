// Aligned text of the ticked results rows, as the clipboard copy gives it.
#pragma once

#include "core/RowTable.h"
#include "ports/EventPump.h"

// The ticked rows as column-aligned text: each cell padded with blanks to the widest text of
// its column over all rows and followed by a tab; per line the last tab and then trailing
// blanks dropped, and CR LF added. The pump runs once per cell read.
[[nodiscard]] Text RenderAlignedText(const RowTable& table, EventPump& pump);
