// Widening a list's first column to fit its rows.
#include "wingui/FirstColumnFit.h"

#include <algorithm>
#include <unordered_map>

#include "win32/Win32Text.h"

void FirstColumnFit::OnHeaderNotify(const NMHEADERW& header) noexcept {
    const bool sized = header.hdr.code == HDN_ENDTRACKW || header.hdr.code == HDN_ENDTRACKA ||
                       header.hdr.code == HDN_DIVIDERDBLCLICKW ||
                       header.hdr.code == HDN_DIVIDERDBLCLICKA;
    if (sized && header.iItem == 0) {
        m_sizedByUser = true;
    }
}

// Measured on the first row and on a row of another depth, so the tick box, the margins and the
// indent's step are the control's own.
FirstColumnFit::Offsets FirstColumnFit::TextOffsets() const noexcept {
    const HWND list = m_list.Handle();
    const RowTable& rows = m_list.Rows();
    const auto offset = [&](std::size_t row) {
        RECT bounds{};
        RECT label{};
        const int item = static_cast<int>(row - 1);
        ListView_GetItemRect(list, item, &bounds, LVIR_BOUNDS);
        ListView_GetItemRect(list, item, &label, LVIR_LABEL);
        return static_cast<int>(label.left - bounds.left);
    };
    const int firstDepth = rows.Depth(1);
    Offsets offsets{offset(1), 0};
    for (std::size_t row = 2; row <= rows.RowCount(); ++row) {
        if (const int depth = rows.Depth(row); depth != firstDepth) {
            offsets.step = (offset(row) - offsets.base) / (depth - firstDepth);
            break;
        }
    }
    offsets.base -= offsets.step * firstDepth;
    return offsets;
}

// The last column gives up what the list has no room for, down to an inch, so that the rows do
// not reach past the list's edge.
void FirstColumnFit::MakeRoom(int pixels, int listWidth) const noexcept {
    const HWND list = m_list.Handle();
    const int last = m_list.ColumnCount() - 1;
    int total = 0;
    for (int column = 0; column <= last; ++column) {
        total += ListView_GetColumnWidth(list, column);
    }
    const int wanted = pixels - std::max(0, listWidth - total);
    if (last > 0 && wanted > 0) {
        const int lastWidth = ListView_GetColumnWidth(list, last);
        // An inch is the display's DPI in pixels.
        const int narrowest = std::min(lastWidth, static_cast<int>(GetDpiForWindow(list)));
        ListView_SetColumnWidth(list, last, std::max(narrowest, lastWidth - wanted));
    }
}

void FirstColumnFit::Fit() noexcept {
    const HWND list = m_list.Handle();
    const RowTable& rows = m_list.Rows();
    if (m_sizedByUser || rows.RowCount() == 0 ||
        static_cast<std::size_t>(ListView_GetItemCount(list)) != rows.RowCount()) {
        return;
    }
    try {
        // Each text is measured once, at the deepest depth it has: rows share few class names.
        std::unordered_map<Text, int> deepest;
        for (std::size_t row = 1; row <= rows.RowCount(); ++row) {
            int& depth = deepest.try_emplace(rows.MainText(row), 0).first->second;
            depth = std::max(depth, rows.Depth(row));
        }
        const Offsets offsets = TextOffsets();
        int needed = 0;
        for (const auto& [text, depth] : deepest) {
            needed = std::max(needed, offsets.base + offsets.step * depth +
                                          ListView_GetStringWidth(list, WideOf(text)) +
                                          OwnerDataList::kCellTextMargins);
        }
        RECT client{};
        GetClientRect(list, &client);
        const int widest = std::min(needed, static_cast<int>(client.right / 2));
        if (widest > ListView_GetColumnWidth(list, 0)) {
            MakeRoom(widest - ListView_GetColumnWidth(list, 0), client.right);
            ListView_SetColumnWidth(list, 0, widest);
        }
    } catch (...) {
        // No memory to measure with: the column keeps its width, as for rows that fit.
    }
}
