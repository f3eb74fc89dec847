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

void CopyTickedRowsToClipboard(const RowTable& table, Clipboard& clipboard, EventPump& pump) {
    if (table.RowCount() == 0) {
        return;
    }
    const Text text = RenderAlignedText(table, pump);
    ClearClipboard(clipboard);
    if (!SetClipboardText(clipboard, text, 0)) {
        throw Failure(
            u"The clipboard is in use by another program. Close that program's copy or paste, "
            u"then click \"Copy Results To Clipboard\" again.");
    }
}

void ClearClipboard(Clipboard& clipboard) {
    Retry(clipboard, [&] { return clipboard.TryEmpty(); });
}

bool SetClipboardText(Clipboard& clipboard, const Text& text, std::uint32_t format) {
    return Retry(clipboard, [&] { return clipboard.TryPlaceText(text, format); });
}
