// Aligned-text rendering of the ticked results rows and the clipboard operations.
#pragma once

#include <cstdint>
#include <string>

#include "app/ListView.h"
#include "output/Ports.h"

// Each clipboard operation is tried this many times before it gives up.
inline constexpr int kClipboardAttempts = 1000;

// The ticked rows as column-aligned text: each cell padded with blanks to the widest text of
// its column over all rows and followed by a tab; per line the last tab and then trailing
// blanks dropped, and CR LF added. The pump runs once per cell read.
[[nodiscard]] Text RenderCheckedRows(const ListView& list, EventPump& pump);

// Renders the ticked rows and puts them on the clipboard. An empty list leaves the clipboard
// alone. Throws Failure when the clipboard stays in use through every attempt.
void CopyCheckedRowsToClipboard(const ListView& list, Clipboard& clipboard, EventPump& pump);

// Empties the clipboard; a clipboard that stays in use is left as it is.
void ClearClipboard(Clipboard& clipboard);

// Places text on the clipboard (format 0: plain text); true when it was placed.
bool SetClipboardText(Clipboard& clipboard, const Text& text, std::uint32_t format);

// The text file's bytes: every row, ticked or not, each cell followed by a tab and each line
// by CR LF, in the system's ANSI code page.
[[nodiscard]] std::string TextFileBytes(const ListView& list, SaveFiles& files);
