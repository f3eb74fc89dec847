// The owner-data list view that shows a row table.
#include "wingui/OwnerDataList.h"

#include <windowsx.h>

#include <algorithm>

#include "core/Failure.h"
#include "core/RowSearch.h"
#include "gui/RowTicks.h"
#include "win32/Win32Text.h"

namespace {

// Columns start at the list control's customary width of one inch until a width is set.
constexpr int kDefaultColumnTwips = kTwipsPerInch;
constexpr UINT kUnticked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2);
// Letters typed within this pause of each other make one text to find.
constexpr DWORD kTypingPauseMs = 1000;

}  // namespace

OwnerDataList::OwnerDataList(HWND parent, const ListPlace& place, std::function<void()> mouseMove)
    : m_place(place), m_mouseMove(std::move(mouseMove)) {
    // A list with tick boxes lets many rows be selected, to tick them at once.
    const DWORD selection = place.tickBoxes ? 0 : LVS_SINGLESEL;
    m_control =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                            LVS_SHOWSELALWAYS | selection,
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (m_control == nullptr) {
        throw Failure(u"The list control could not be created.");
    }
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (place.tickBoxes) {
        extended |= LVS_EX_CHECKBOXES;
        // Ticks live in the model: the control asks for them like for the texts.
        ListView_SetCallbackMask(m_control, LVIS_STATEIMAGEMASK);
    }
    ListView_SetExtendedListViewStyle(m_control, extended);
    SetWindowSubclass(m_control, &OwnerDataList::SubclassProc, 0,
                      reinterpret_cast<DWORD_PTR>(this));
}

OwnerDataList::~OwnerDataList() {
    RemoveWindowSubclass(m_control, &OwnerDataList::SubclassProc, 0);
}

// An owner-data list keeps no ticks of its own: a click on a tick box and the space bar toggle
// the model's ticks here, the same way on every version of the control. Ctrl+A selects every row.
// Typed text finds rows here too, spaces included, which some versions of the control drop.
LRESULT CALLBACK OwnerDataList::SubclassProc(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<OwnerDataList*>(data);
    if (message == WM_MOUSEMOVE) {
        self->m_mouseMove();
    }
    if (message == WM_SETFOCUS) {
        self->ShowFocusedRow();
    }
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        InvalidateRect(control, nullptr, FALSE);
    }
    if (message == WM_PAINT && ListView_GetItemCount(control) == 0 && GetFocus() == control) {
        const LRESULT painted = DefSubclassProc(control, message, wParam, lParam);
        self->DrawEmptyListFocus();
        return painted;
    }
    if (message == WM_CHAR && self->TypeToFind(static_cast<wchar_t>(wParam))) {
        return 0;
    }
    if (self->m_place.tickBoxes) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int row = ListRowAt(control, point);
            if (row >= 0 && self->OnTickBox(row, point)) {
                SetFocus(control);
                self->ToggleTick(row);
                return 0;
            }
            if (row >= 0) {
                // Some versions of the control take a click anywhere in a full-row-select row's
                // other columns for a click on its tick box; on the first cell's text the click
                // selects on every version, and a row is selected whole whichever cell was hit.
                lParam = self->OnFirstCellText(row, point);
            }
        } else if (message == WM_KEYDOWN && wParam == VK_SPACE) {
            if (!self->Typing()) {
                self->ToggleSelectedTicks();
            }
            return 0;
        } else if (message == WM_KEYDOWN && wParam == 'A' && GetKeyState(VK_CONTROL) < 0 &&
                   GetKeyState(VK_SHIFT) >= 0) {
            ListView_SetItemState(control, -1, LVIS_SELECTED, LVIS_SELECTED);
            return 0;
        } else if (message == WM_CHAR && wParam == L' ') {
            return 0;
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

int ListRowAt(HWND list, POINT point) noexcept {
    LVHITTESTINFO hit{};
    hit.pt = point;
    return ListView_HitTest(list, &hit) >= 0 && (hit.flags & LVHT_ONITEM) != 0 ? hit.iItem : -1;
}

// The tick box is drawn left of the first cell's icon and text.
bool OwnerDataList::OnTickBox(int row, POINT point) const noexcept {
    RECT bounds{};
    RECT icon{};
    return ListView_GetItemRect(m_control, row, &bounds, LVIR_BOUNDS) &&
           ListView_GetItemRect(m_control, row, &icon, LVIR_ICON) && point.x >= bounds.left &&
           point.x < icon.left;
}

LPARAM OwnerDataList::OnFirstCellText(int row, POINT point) const noexcept {
    RECT label{};
    if (!ListView_GetItemRect(m_control, row, &label, LVIR_LABEL)) {
        return MAKELPARAM(point.x, point.y);
    }
    return MAKELPARAM(label.left + 1, point.y);
}

bool OwnerDataList::Typing() const noexcept {
    return !m_typed.empty() && GetTickCount() - m_lastTyped < kTypingPauseMs;
}

bool OwnerDataList::TypeToFind(wchar_t unit) noexcept {
    if (unit < L' ' || unit == 0x7F || GetKeyState(VK_CONTROL) < 0) {
        return false;
    }
    const bool goingOn = Typing();
    if (unit == L' ' && !goingOn) {
        return false;
    }
    try {
        if (!goingOn) {
            m_typed.clear();
        }
        m_typed.push_back(static_cast<char16_t>(unit));
        m_lastTyped = GetTickCount();
        const int focused = ListView_GetNextItem(m_control, -1, LVNI_FOCUSED);
        // A first letter moves on from the focused row; more letters may keep it.
        const std::size_t after =
            focused < 0 ? 0 : static_cast<std::size_t>(goingOn ? focused : focused + 1);
        const std::optional<std::size_t> row =
            FindRow(m_rows, RowSearch{m_typed, RowSearch::Match::FirstCellStartsWith}, after);
        if (row) {
            SelectIndex(*row - 1);
        }
    } catch (...) {
        // No memory for the typed text: nothing is found, as for text no row begins with.
    }
    return true;
}

// An empty list with the focus shows it around its rows' area.
void OwnerDataList::DrawEmptyListFocus() const noexcept {
    RECT area{};
    RECT header{};
    GetClientRect(m_control, &area);
    if (GetWindowRect(ListView_GetHeader(m_control), &header)) {
        area.top += header.bottom - header.top;
    }
    InflateRect(&area, -1, -1);
    if (const HDC dc = GetDC(m_control)) {
        DrawFocusRect(dc, &area);
        ReleaseDC(m_control, dc);
    }
}

// A list that takes the focus shows where it is: its selected row, or else its first, gets the
// focus rectangle.
void OwnerDataList::ShowFocusedRow() const noexcept {
    if (ListView_GetItemCount(m_control) == 0 ||
        ListView_GetNextItem(m_control, -1, LVNI_FOCUSED) >= 0) {
        return;
    }
    const int selected = ListView_GetNextItem(m_control, -1, LVNI_SELECTED);
    ListView_SetItemState(m_control, std::max(selected, 0), LVIS_FOCUSED, LVIS_FOCUSED);
}

void OwnerDataList::LayOut(UINT dpi, HFONT font, Stretch stretch) {
    m_dpi = dpi;
    SendMessageW(m_control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // The column headers take the list's font too, as on Windows.
    SendMessageW(ListView_GetHeader(m_control), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const RECT bounds = TwipsToPixels(m_place.twips, dpi);
    m_extraWidth = 0;
    MoveWindow(m_control, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, FALSE);
    for (int column = 1; column <= static_cast<int>(m_columnTwips.size()); ++column) {
        ApplyColumnWidth(column);
    }
    Reposition(stretch);
}

void OwnerDataList::Reposition(Stretch stretch) noexcept {
    const RECT bounds = StretchedPlace(m_place.twips, m_dpi, stretch);
    MoveWindow(m_control, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, TRUE);
    const int extraWidth = (bounds.right - bounds.left) -
                           TwipsToPixels(m_place.twips.right - m_place.twips.left, m_dpi);
    // Widened by the difference only, a column keeps a width the user dragged it to.
    for (int column = 1; column <= static_cast<int>(m_columnTwips.size()); ++column) {
        const int grown = ColumnShare(column, extraWidth) - ColumnShare(column, m_extraWidth);
        if (grown != 0) {
            ListView_SetColumnWidth(
                m_control, column - 1,
                std::max(0, ListView_GetColumnWidth(m_control, column - 1) + grown));
        }
    }
    m_extraWidth = extraWidth;
}

// The column's part of the list's extra width: all of it for the last column of a list whose last
// column grows, else a part in proportion to the column's laid-out width.
int OwnerDataList::ColumnShare(int column, int extraWidth) const noexcept {
    const int columns = static_cast<int>(m_columnTwips.size());
    if (m_place.growth == ColumnGrowth::kLastColumn) {
        return column == columns ? extraWidth : 0;
    }
    int total = 0;
    for (const int twips : m_columnTwips) {
        total += twips;
    }
    return total == 0
               ? 0
               : MulDiv(extraWidth, m_columnTwips[static_cast<std::size_t>(column - 1)], total);
}

void OwnerDataList::SetIndentsByDepth(bool indents) noexcept {
    m_indentsByDepth = indents;
    InvalidateRect(m_control, nullptr, FALSE);
}

int OwnerDataList::LaidOutColumnTwips(int column) const noexcept {
    const int pixels =
        ListView_GetColumnWidth(m_control, column - 1) - ColumnShare(column, m_extraWidth);
    return MulDiv(std::max(0, pixels), kTwipsPerInch, static_cast<int>(m_dpi));
}

void OwnerDataList::SetColours(COLORREF background, COLORREF text) const noexcept {
    ListView_SetBkColor(m_control, background);
    ListView_SetTextBkColor(m_control, background);
    ListView_SetTextColor(m_control, text);
}

void OwnerDataList::ColumnAppended(const Text& header) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(WideOf(header));
    column.cx = TwipsToPixels(kDefaultColumnTwips, m_dpi);
    const int position = static_cast<int>(m_columnTwips.size());
    if (ListView_InsertColumn(m_control, position, &column) != position) {
        throw Failure(u"The column \"" + header + u"\" could not be added to the list.");
    }
    m_columnTwips.push_back(kDefaultColumnTwips);
    if (m_place.tickBoxes && position == 0) {
        // The header shows the rows' own tick images, which the control draws for its style.
        const HWND columns = ListView_GetHeader(m_control);
        Header_SetImageList(columns, ListView_GetImageList(m_control, LVSIL_STATE));
        ShowHeaderTick();
    }
}

void OwnerDataList::ShowHeaderTick() noexcept {
    const int tick = m_rows.AllChecked() ? 1 : 0;
    if (!m_place.tickBoxes || m_columnTwips.empty() || tick == m_headerTick) {
        return;
    }
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE;
    item.iImage = tick;
    if (Header_SetItem(ListView_GetHeader(m_control), 0, &item)) {
        m_headerTick = tick;
    }
}

void OwnerDataList::ToggleAllTicks() noexcept {
    m_rows.SetAllChecked(!m_rows.AllChecked());
    Sync();
}

void OwnerDataList::ColumnWidthSet(int column, int twips) {
    m_columnTwips.at(static_cast<std::size_t>(column - 1)) = twips;
    ApplyColumnWidth(column);
}

void OwnerDataList::ApplyColumnWidth(int column) const {
    const int pixels = TwipsToPixels(m_columnTwips[static_cast<std::size_t>(column - 1)], m_dpi) +
                       ColumnShare(column, m_extraWidth);
    ListView_SetColumnWidth(m_control, column - 1, pixels);
}

void OwnerDataList::RowsChanged(std::size_t rowCount, bool replaced) {
    m_rowsChanged = true;
    m_rowsReplaced = m_rowsReplaced || replaced || rowCount < m_shownRows;
}

void OwnerDataList::Sync() noexcept {
    ShowHeaderTick();
    if (!m_rowsChanged) {
        return;
    }
    const std::size_t rows = m_rows.RowCount();
    if (m_rowsReplaced) {
        ListView_SetItemState(m_control, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    const DWORD flags = m_rowsReplaced ? 0 : LVSICF_NOSCROLL;
    ListView_SetItemCountEx(m_control, static_cast<int>(std::min<std::size_t>(rows, INT_MAX)),
                            flags);
    InvalidateRect(m_control, nullptr, FALSE);
    m_shownRows = rows;
    m_rowsChanged = false;
    m_rowsReplaced = false;
    ApplySelection();
}

void OwnerDataList::SelectIndex(std::size_t index) {
    m_pendingSelection = index;
    if (!m_rowsChanged) {
        ApplySelection();
    }
}

void OwnerDataList::ApplySelection() noexcept {
    if (!m_pendingSelection || *m_pendingSelection >= m_shownRows) {
        return;
    }
    const int index = static_cast<int>(*m_pendingSelection);
    m_pendingSelection.reset();
    ListView_SetItemState(m_control, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(m_control, index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_control, index, FALSE);
}

std::optional<std::size_t> OwnerDataList::SelectedIndex() const {
    // A row selected among rows that the control does not show yet is the selection already.
    if (m_rowsChanged && m_pendingSelection) {
        return m_pendingSelection;
    }
    const int index = ListView_GetNextItem(m_control, -1, LVNI_SELECTED);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

void OwnerDataList::FillItem(LVITEMW& item) const noexcept {
    const bool exists = item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < m_rows.RowCount();
    const std::size_t row = static_cast<std::size_t>(item.iItem) + 1;
    if ((item.mask & LVIF_TEXT) != 0) {
        TextView text;
        if (exists && item.iSubItem == 0) {
            text = m_rows.MainText(row);
        } else if (exists && item.iSubItem > 0) {
            text = m_rows.SubItem(row, item.iSubItem);
        }
        CopyToBuffer(text, item.pszText, item.cchTextMax);
    }
    if ((item.mask & LVIF_INDENT) != 0) {
        item.iIndent = m_indentsByDepth && exists && item.iSubItem == 0 ? m_rows.Depth(row) : 0;
    }
    if ((item.mask & LVIF_STATE) != 0 && m_place.tickBoxes) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     (exists && m_rows.Checked(row) ? kTicked : kUnticked);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void OwnerDataList::ToggleTick(int index) noexcept {
    if (!m_place.tickBoxes || index < 0 || static_cast<std::size_t>(index) >= m_rows.RowCount()) {
        return;
    }
    const std::size_t row = static_cast<std::size_t>(index) + 1;
    m_rows.SetChecked(row, !m_rows.Checked(row));
    ListView_RedrawItems(m_control, index, index);
    ShowHeaderTick();
}

void OwnerDataList::ToggleSelectedTicks() noexcept {
    try {
        std::vector<std::size_t> selected;
        for (int index = ListView_GetNextItem(m_control, -1, LVNI_SELECTED); index >= 0;
             index = ListView_GetNextItem(m_control, index, LVNI_SELECTED)) {
            selected.push_back(static_cast<std::size_t>(index));
        }
        const int focused = ListView_GetNextItem(m_control, -1, LVNI_FOCUSED);
        if (ToggleTicksOfSelection(
                m_rows, selected,
                focused < 0 ? std::nullopt : std::optional(static_cast<std::size_t>(focused)))) {
            InvalidateRect(m_control, nullptr, FALSE);
            ShowHeaderTick();
        }
    } catch (...) {
        // No memory for the list of selected rows: the ticks stay as they were, which the user
        // sees. Nothing may escape to the control's window procedure.
    }
}

LRESULT OwnerDataList::OnNotify(NMHDR* header) noexcept {
    if (header->code == LVN_GETDISPINFOW) {
        FillItem(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
    }
    if (header->code == LVN_COLUMNCLICK && m_place.tickBoxes &&
        reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem == 0) {
        ToggleAllTicks();
    }
    if (header->code == LVN_ODFINDITEMW) {
        const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(header);
        return FindItem(find.lvfi, find.iStart);
    }
    return 0;
}

LRESULT OwnerDataList::FindItem(const LVFINDINFOW& find, int start) const noexcept {
    // LVM_FINDITEM asks the owner: with LVFI_PARTIAL for a start of the first cell, with or
    // without LVFI_STRING.
    if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.psz == nullptr) {
        return -1;
    }
    try {
        RowSearch search{TextOf(find.psz), (find.flags & LVFI_PARTIAL) != 0
                                               ? RowSearch::Match::FirstCellStartsWith
                                               : RowSearch::Match::FirstCellIs};
        search.wrap = (find.flags & LVFI_WRAP) != 0;
        const std::optional<std::size_t> row =
            FindRow(m_rows, search, static_cast<std::size_t>(std::max(start, 0)));
        return row ? static_cast<LRESULT>(*row - 1) : -1;
    } catch (...) {
        // No memory for the typed text: no row is found, as for text that no row begins with.
        // Nothing may escape to the control, which asks from its window procedure.
        return -1;
    }
}
