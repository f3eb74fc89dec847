// The owner-data list view that shows a ListView model.
#include "platform/win32/ListViewControl.h"

#include <windowsx.h>

#include <algorithm>

#include "common/Failure.h"
#include "platform/win32/Win32Text.h"

namespace {

// Columns start at the list control's customary width of one inch until a width is set.
constexpr int kDefaultColumnTwips = 1440;
constexpr UINT kUnticked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2);

}  // namespace

ListViewControl::ListViewControl(HWND parent, int id, bool checkBoxes) : m_checkBoxes(checkBoxes) {
    m_control =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                            LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (m_control == nullptr) {
        throw Failure(u"The list control could not be created.");
    }
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (checkBoxes) {
        extended |= LVS_EX_CHECKBOXES;
        // Ticks live in the model: the control asks for them like for the texts.
        ListView_SetCallbackMask(m_control, LVIS_STATEIMAGEMASK);
    }
    ListView_SetExtendedListViewStyle(m_control, extended);
    SetWindowSubclass(m_control, &ListViewControl::SubclassProc, 0,
                      reinterpret_cast<DWORD_PTR>(this));
}

ListViewControl::~ListViewControl() {
    RemoveWindowSubclass(m_control, &ListViewControl::SubclassProc, 0);
}

// An owner-data list keeps no ticks of its own: a click on a tick box and the space bar toggle
// the model's tick here, the same way on every version of the control.
LRESULT CALLBACK ListViewControl::SubclassProc(HWND control, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<ListViewControl*>(data);
    if (message == WM_MOUSEMOVE && self->m_mouseMove) {
        self->m_mouseMove();
    }
    if (self->m_checkBoxes && self->m_model != nullptr) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
            LVHITTESTINFO hit{};
            hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (ListView_HitTest(control, &hit) >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
                SetFocus(control);
                self->ToggleTick(hit.iItem);
                return 0;
            }
        } else if (message == WM_KEYDOWN && wParam == VK_SPACE) {
            self->ToggleTick(ListView_GetNextItem(control, -1, LVNI_FOCUSED));
            return 0;
        } else if (message == WM_CHAR && wParam == L' ') {
            return 0;
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void ListViewControl::Place(const RECT& bounds, HFONT font, UINT dpi) {
    m_dpi = dpi;
    SendMessageW(m_control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // The column headers take the list's font too, as on Windows.
    SendMessageW(ListView_GetHeader(m_control), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    MoveWindow(m_control, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, TRUE);
    for (int column = 1; column <= static_cast<int>(m_columnTwips.size()); ++column) {
        ApplyColumnWidth(column);
    }
}

void ListViewControl::ColumnAppended(const Text& header) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(WideOf(header));
    column.cx = MulDiv(kDefaultColumnTwips, static_cast<int>(m_dpi), 1440);
    const int position = static_cast<int>(m_columnTwips.size());
    if (ListView_InsertColumn(m_control, position, &column) != position) {
        throw Failure(u"The column \"" + header + u"\" could not be added to the list.");
    }
    m_columnTwips.push_back(kDefaultColumnTwips);
}

void ListViewControl::ColumnWidthSet(int column, int twips) {
    m_columnTwips.at(static_cast<std::size_t>(column - 1)) = twips;
    ApplyColumnWidth(column);
}

void ListViewControl::ApplyColumnWidth(int column) const {
    const int pixels =
        MulDiv(m_columnTwips[static_cast<std::size_t>(column - 1)], static_cast<int>(m_dpi), 1440);
    ListView_SetColumnWidth(m_control, column - 1, pixels);
}

void ListViewControl::RowsChanged(std::size_t rowCount, bool replaced) {
    m_rowsChanged = true;
    m_rowsReplaced = m_rowsReplaced || replaced || rowCount < m_shownRows;
}

void ListViewControl::Sync() noexcept {
    if (!m_rowsChanged || m_model == nullptr) {
        return;
    }
    const std::size_t rows = m_model->RowCount();
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
}

std::optional<std::size_t> ListViewControl::SelectedIndex() const {
    const int index = ListView_GetNextItem(m_control, -1, LVNI_SELECTED);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

void ListViewControl::FillItem(LVITEMW& item) const noexcept {
    const bool exists =
        item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < m_model->RowCount();
    const std::size_t row = static_cast<std::size_t>(item.iItem) + 1;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const Text* text = nullptr;
        if (exists && item.iSubItem == 0) {
            text = &m_model->MainText(row);
        } else if (exists && item.iSubItem > 0) {
            text = &m_model->SubItem(row, item.iSubItem);
        }
        const std::size_t length =
            text == nullptr ? 0 : std::min<std::size_t>(text->size(), item.cchTextMax - 1);
        if (length > 0) {
            std::copy_n(text->data(), length, reinterpret_cast<char16_t*>(item.pszText));
        }
        item.pszText[length] = L'\0';
    }
    if ((item.mask & LVIF_STATE) != 0 && m_checkBoxes) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     (exists && m_model->Checked(row) ? kTicked : kUnticked);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void ListViewControl::ToggleTick(int index) noexcept {
    if (!m_checkBoxes || index < 0 || static_cast<std::size_t>(index) >= m_model->RowCount()) {
        return;
    }
    const std::size_t row = static_cast<std::size_t>(index) + 1;
    m_model->SetChecked(row, !m_model->Checked(row));
    ListView_RedrawItems(m_control, index, index);
}

LRESULT ListViewControl::OnNotify(NMHDR* header) noexcept {
    if (m_model != nullptr && header->code == LVN_GETDISPINFOW) {
        FillItem(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
    }
    return 0;
}
