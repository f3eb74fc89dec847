// The items window's list: a virtual (owner-data) report list view that shows an items table, so
// that 100,000 items show at once; a tree's items are indented by their depth.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "items/ItemsTable.h"

class ItemsListView {
public:
    // Creates the control as a child of parent with id; it shows nothing until Show.
    ItemsListView(HWND parent, int id);
    ItemsListView(const ItemsListView&) = delete;
    ItemsListView& operator=(const ItemsListView&) = delete;

    [[nodiscard]] HWND Handle() const noexcept { return m_control; }

    // Shows table, which lives on until the next Show: its column headings as the columns (kept
    // as they are, widths included, while the headings stay the same; a column the control hides
    // is shown and headed as hidden) and its rows, none selected.
    void Show(const ItemsTable& table);
    // The selected rows, first to last.
    [[nodiscard]] std::vector<std::size_t> SelectedRows() const;
    void SelectAll() const noexcept;
    // A list of one column keeps it as wide as the list; call after the list is resized.
    void FitColumn() const noexcept;
    // Answers the control's requests for the texts and indents of rows.
    LRESULT OnNotify(NMHDR& header) const noexcept;

private:
    void ShowColumns(const ItemsTable& table);
    void FillItem(LVITEMW& item) const noexcept;

    HWND m_control = nullptr;
    const ItemsTable* m_table = nullptr;
    // The headings of the columns shown.
    std::vector<Text> m_captions;
    bool m_indents = false;
};
