// Aligned-text rendering and the clipboard with its retries.
#include "output/Main.h"

#include <algorithm>
#include <vector>

#include "common/Failure.h"

namespace {

const Text& Cell(const ListView& list, std::size_t row, int column) {
    return list.RowCells(row)[static_cast<std::size_t>(column - 1)];
}

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

Text RenderCheckedRows(const ListView& list, EventPump& pump) {
    const int columns = list.ColumnCount();
    std::vector<std::size_t> widths;
    std::size_t ticked = 0;
    for (int column = 1; column <= columns; ++column) {
        std::size_t widest = 0;
        const std::size_t rows = list.RowCount();
        for (std::size_t row = 1; row <= rows; ++row) {
            pump.Pump();
            widest = std::max(widest, Cell(list, row, column).size());
            ticked += column == 1 && list.Checked(row) ? 1 : 0;
        }
        widths.push_back(widest);
    }
    Text text;
    std::size_t lineLength = 2;
    for (const std::size_t width : widths) {
        lineLength += width + 1;
    }
    text.reserve(ticked * lineLength);
    const std::size_t rows = list.RowCount();
    for (std::size_t row = 1; row <= rows; ++row) {
        pump.Pump();
        if (!list.Checked(row)) {
            continue;
        }
        for (int column = 1; column <= columns; ++column) {
            pump.Pump();
            const Text& cell = Cell(list, row, column);
            text += cell;
            // A cell that grew since it was measured goes in unpadded.
            const std::size_t width = widths[static_cast<std::size_t>(column - 1)];
            text.append(width > cell.size() ? width - cell.size() : 0, u' ');
            text += u'\t';
        }
        if (!text.empty() && text.back() == u'\t') {
            text.pop_back();
        }
        text.erase(text.find_last_not_of(u' ') + 1);
        text += u"\r\n";
    }
    return text;
}

void CopyCheckedRowsToClipboard(const ListView& list, Clipboard& clipboard, EventPump& pump) {
    if (list.RowCount() == 0) {
        return;
    }
    const Text text = RenderCheckedRows(list, pump);
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

std::string TextFileBytes(const ListView& list, SaveFiles& files) {
    const std::size_t rows = list.RowCount();
    std::size_t length = 0;
    for (std::size_t row = 1; row <= rows; ++row) {
        for (const Text& cell : list.RowCells(row)) {
            length += cell.size() + 1;
        }
        length += 2;
    }
    // ASCII text is written as it is, which every ANSI code page agrees with; a cell with
    // anything else is converted by the system and may change the length.
    std::string bytes(length, '\0');
    std::size_t at = 0;
    for (std::size_t row = 1; row <= rows; ++row) {
        for (const Text& cell : list.RowCells(row)) {
            // Locals, so that the stores through char cannot make the compiler reread the cell.
            const char16_t* units = cell.data();
            const std::size_t count = cell.size();
            char* out = bytes.data() + at;
            char16_t seen = 0;
            for (std::size_t i = 0; i < count; ++i) {
                seen |= units[i];
                out[i] = static_cast<char>(units[i]);
            }
            if (seen < 0x80) {
                at += count;
            } else {
                const std::string converted = files.ToAnsi(cell);
                bytes.replace(at, cell.size(), converted);
                at += converted.size();
            }
            bytes[at++] = '\t';
        }
        bytes[at++] = '\r';
        bytes[at++] = '\n';
    }
    return bytes;
}
