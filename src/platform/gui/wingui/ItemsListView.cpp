// The owner-data list view that shows an items table.
#include "wingui/ItemsListView.h"

#include <algorithm>
#include <climits>

#include "core/Failure.h"
#include "win32/Win32Text.h"

namespace {

// Columns share the list's width, but none is narrower than this at 96 DPI.
constexpr int kNarrowestColumn = 120;

}  // namespace

ItemsListView::ItemsListView(HWND parent, int id) {
    m_control = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
        nullptr);
    if (m_control == nullptr) {
        throw Failure(u"The items list could not be created.");
    }
    ListView_SetExtendedListViewStyle(m_control, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER |
                                                     LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
}

void ItemsListView::Show(const ItemsTable& table) {
    m_table = &table;
    ShowColumns(table);
    // A tree's items are indented by their depth, in steps of a small image's width; the
    // control owns the (empty) image list that sets the step and destroys it with itself.
    if (HasDepths(table.Kind()) && !m_indents) {
        const HIMAGELIST steps = ImageList_Create(GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), ILC_COLOR, 0, 1);
        ListView_SetImageList(m_control, steps, LVSIL_SMALL);
        m_indents = steps != nullptr;
    }
    ListView_SetItemState(m_control, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_control,
                            static_cast<int>(std::min<std::size_t>(table.Rows(), INT_MAX)), 0);
    InvalidateRect(m_control, nullptr, FALSE);
}

void ItemsListView::ShowColumns(const ItemsTable& table) {
    std::vector<Text> captions;
    for (std::size_t column = 0; column < table.Columns(); ++column) {
        captions.push_back(ColumnHeading(table, column));
    }
    if (captions == m_captions) {
        return;
    }
    while (ListView_DeleteColumn(m_control, 0)) {
    }
    m_captions.clear();
    // Items of one text each have no captions: no header then.
    const bool captioned = std::any_of(captions.begin(), captions.end(),
                                       [](const Text& caption) { return !caption.empty(); });
    const LONG_PTR style = GetWindowLongPtrW(m_control, GWL_STYLE);
    SetWindowLongPtrW(m_control, GWL_STYLE,
                      captioned ? style & ~LVS_NOCOLUMNHEADER : style | LVS_NOCOLUMNHEADER);
    // The columns share the room beside a vertical scroll bar.
    RECT client{};
    GetClientRect(m_control, &client);
    const int dpi = static_cast<int>(GetDpiForWindow(m_control));
    const int room = client.right - client.left - GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    const int narrowest = MulDiv(kNarrowestColumn, dpi, USER_DEFAULT_SCREEN_DPI);
    const int width = std::max(narrowest, room / static_cast<int>(captions.size()));
    for (const Text& caption : captions) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(WideOf(caption));
        column.cx = width;
        const int position = static_cast<int>(m_captions.size());
        if (ListView_InsertColumn(m_control, position, &column) != position) {
            throw Failure(u"The column \"" + caption + u"\" could not be added to the items list.");
        }
        m_captions.push_back(caption);
    }
    FitColumn();
}

void ItemsListView::FitColumn() const noexcept {
    if (m_captions.size() == 1) {
        ListView_SetColumnWidth(m_control, 0, LVSCW_AUTOSIZE_USEHEADER);
    }
}

std::vector<std::size_t> ItemsListView::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (int index = ListView_GetNextItem(m_control, -1, LVNI_SELECTED); index >= 0;
         index = ListView_GetNextItem(m_control, index, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(index));
    }
    return rows;
}

void ItemsListView::SelectAll() const noexcept {
    ListView_SetItemState(m_control, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void ItemsListView::FillItem(LVITEMW& item) const noexcept {
    const bool exists = m_table != nullptr && item.iItem >= 0 &&
                        static_cast<std::size_t>(item.iItem) < m_table->Rows() &&
                        item.iSubItem >= 0 &&
                        static_cast<std::size_t>(item.iSubItem) < m_table->Columns();
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) != 0) {
        CopyToBuffer(
            exists ? m_table->Cell(row, static_cast<std::size_t>(item.iSubItem)) : TextView(),
            item.pszText, item.cchTextMax);
    }
    if ((item.mask & LVIF_INDENT) != 0) {
        item.iIndent = exists && item.iSubItem == 0 ? m_table->Depth(row) : 0;
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        item.iImage = I_IMAGENONE;
    }
}

LRESULT ItemsListView::OnNotify(NMHDR& header) const noexcept {
    if (header.code == LVN_GETDISPINFOW) {
        FillItem(reinterpret_cast<NMLVDISPINFOW&>(header).item);
    }
    return 0;
}
