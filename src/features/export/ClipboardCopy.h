// The clipboard copy of the ticked results rows, with the clipboard's retries.
#pragma once

#include <cstdint>

#include "core/RowTable.h"
#include "ports/Clipboard.h"
#include "ports/EventPump.h"

// Each clipboard operation is tried this many times before it gives up.
inline constexpr int kClipboardAttempts = 1000;

// Renders the ticked rows aligned and puts them on the clipboard. An empty table leaves the
// clipboard alone. Throws Failure when the clipboard stays in use through every attempt.
void CopyTickedRowsToClipboard(const RowTable& table, Clipboard& clipboard, EventPump& pump);

// Empties the clipboard; a clipboard that stays in use is left as it is.
void ClearClipboard(Clipboard& clipboard);

// Places text on the clipboard (format 0: plain text); true when it was placed.
bool SetClipboardText(Clipboard& clipboard, const Text& text, std::uint32_t format);
