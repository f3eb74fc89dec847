// The results list's look.
#include "wingui/ResultsLook.h"

#include <span>

#include "core/Text.h"
#include "gui/ItemsForm.h"
#include "win32/Win32Text.h"

ResultsLook::ResultsLook(OwnerDataList& results, ItemsWindows& items, const FindDialog& find)
    : m_results(results),
      m_items(items),
      m_find(find),
      m_tip(results.Handle(), [this](int row) { return TipOfRow(row); }) {}

// The tip starts with the row's class name when the column shows it cut; then the window's state
// as it is now, its path, and what its control holds when it has items.
std::optional<Text> ResultsLook::TipOfRow(int index) {
    RowTable& rows = m_results.Rows();
    if (index < 0 || static_cast<std::size_t>(index) >= rows.RowCount()) {
        return std::nullopt;
    }
    const std::size_t row = static_cast<std::size_t>(index) + 1;
    const std::span<const Text> cells = rows.RowCells(row);
    Text text;
    RECT label{};
    const HWND list = m_results.Handle();
    if (ListView_GetItemRect(list, index, &label, LVIR_LABEL) &&
        ListView_GetStringWidth(list, WideOf(rows.MainText(row))) +
                OwnerDataList::kCellTextMargins >
            label.right - label.left) {
        text = rows.MainText(row) + u"\r\n";
    }
    text += StateTip(StateOfRowWindow(cells, m_windowSystem, m_windowDetails));
    text += u"\r\n" + PathTip(PathOfRow(row));
    if (const std::optional<Text> items = m_items.TipOf(cells)) {
        text += u"\r\n" + *items;
    }
    return text;
}

std::optional<Text> ResultsLook::PathOfRow(std::size_t row) {
    return RowPath(m_results.Rows(), row, m_windowSystem, m_windowDetails);
}

// A row shows its window's state without a change to its cells: grey for a hidden window, grey
// italic for a disabled one. The class name of a row whose window may have items is underlined,
// as a link is: a mark that costs no message to the window.
LRESULT ResultsLook::OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept {
    constexpr DWORD kSubItemPrePaint = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    const std::size_t row = draw.nmcd.dwItemSpec + 1;
    const bool inRows = row <= m_results.Rows().RowCount();
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            m_drawnRowLook = RowLook::Plain;
            try {
                if (inRows) {
                    m_drawnRowLook = LookOf(StateOfRowWindow(m_results.Rows().RowCells(row),
                                                             m_windowSystem, m_windowDetails));
                }
            } catch (...) {
                // Drawn as a plain row: painting cannot stop to report, and nothing may escape to
                // the window procedure.
            }
            return CDRF_NOTIFYSUBITEMDRAW;
        case kSubItemPrePaint:
            break;
        default:
            return CDRF_DODEFAULT;
    }
    bool marked = false;
    try {
        marked = draw.iSubItem == 0 && inRows && m_items.MayOpen(m_results.Rows().RowCells(row));
    } catch (...) {
        // Drawn as any other row, for the same reasons.
    }
    const bool disabled = m_drawnRowLook == RowLook::Disabled;
    if (m_drawnRowLook != RowLook::Plain) {
        draw.clrText = GetSysColor(COLOR_GRAYTEXT);
    }
    MarkFoundRow(draw);
    // Each cell is given its font, as the control keeps the last one for the next cell; it puts its
    // own back once the item is drawn.
    const HFONT fonts[2][2] = {{m_fonts.plain.get(), m_fonts.itemsMark.get()},
                               {m_fonts.disabled.get(), m_fonts.disabledItemsMark.get()}};
    SelectObject(draw.nmcd.hdc, fonts[disabled ? 1 : 0][marked ? 1 : 0]);
    return CDRF_NEWFONT;
}

void ResultsLook::MarkFoundRow(NMLVCUSTOMDRAW& draw) const noexcept {
    if ((draw.nmcd.uItemState & CDIS_SELECTED) == 0 || !m_find.HasFocus()) {
        return;
    }
    // Drawn as an unselected row in the selection's colours: the control then keeps them.
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
}
