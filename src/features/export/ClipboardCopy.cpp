// The clipboard copy with its retries.
#include "export/ClipboardCopy.h"

#include "core/Failure.h"
#include "export/AlignedText.h"

namespace {

template <typename Attempt>
bool Retry(Clipboard& clipboard, Attempt&& attempt) {
    for (int tries = 1;; ++tries) {
        if (attempt()) {
            return true;
        }
        if (tries == kClipboardAttempts) {
            return false;
        }
        clipboard.WaitBeforeRetry();
    }
}

}  // namespace

CopyOutcome CopyTickedRowsToClipboard(const RowTable& table, Clipboard& clipboard,
                                      EventPump& pump) {
    const std::size_t rows = table.RowCount();
    if (rows == 0) {
        return CopyOutcome::kListEmpty;
    }
    bool anyTicked = false;
    for (std::size_t row = 1; row <= rows && !anyTicked; ++row) {
        anyTicked = table.Checked(row);
    }
    if (!anyTicked) {
        return CopyOutcome::kNothingTicked;
    }
    const Text text = RenderAlignedText(table, pump);
    ClearClipboard(clipboard);
    if (!SetClipboardText(clipboard, text, 0)) {
        throw Failure(
            u"The clipboard is in use by another program. Close that program's copy or paste, "
            u"then click \"Copy Results To Clipboard\" again.");
    }
    return CopyOutcome::kPlaced;
}

void ClearClipboard(Clipboard& clipboard) {
    Retry(clipboard, [&] { return clipboard.TryEmpty(); });
}

bool SetClipboardText(Clipboard& clipboard, const Text& text, std::uint32_t format) {
    return Retry(clipboard, [&] { return clipboard.TryPlaceText(text, format); });
}
