// The clipboard copy of the ticked results rows, with the clipboard's retries.
#pragma once

#include <cstdint>

#include "core/RowTable.h"
#include "ports/Clipboard.h"
#include "ports/EventPump.h"

// Each clipboard operation is tried this many times before it gives up.
inline constexpr int kClipboardAttempts = 1000;

// What a copy did with the clipboard.
enum class CopyOutcome {
    kPlaced,         // the ticked rows are on the clipboard
    kListEmpty,      // no rows: the clipboard is left alone
    kNothingTicked,  // rows, but none ticked: the clipboard is left alone
};

// Renders the ticked rows aligned and puts them on the clipboard. Throws Failure when the
// clipboard stays in use through every attempt.
CopyOutcome CopyTickedRowsToClipboard(const RowTable& table, Clipboard& clipboard, EventPump& pump);

// Empties the clipboard; a clipboard that stays in use is left as it is.
void ClearClipboard(Clipboard& clipboard);

// Places text on the clipboard (format 0: plain text); true when it was placed.
bool SetClipboardText(Clipboard& clipboard, const Text& text, std::uint32_t format);
