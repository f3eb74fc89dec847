// A list of the main window on screen: a virtual (owner-data) report list view that shows the
// rows of its ListView model, so filling 100,000 rows costs one item-count update.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "app/ListView.h"

class ListViewControl : public ListDisplay {
public:
    // Creates the control as a child of parent; checkBoxes gives every row a tick box.
    ListViewControl(HWND parent, int id, bool checkBoxes);
    ~ListViewControl() override;

    ListViewControl(const ListViewControl&) = delete;
    ListViewControl& operator=(const ListViewControl&) = delete;

    // Shows model; mouseMove runs when the pointer moves over the list.
    void Attach(ListView& model, std::function<void()> mouseMove) {
        m_model = &model;
        m_mouseMove = std::move(mouseMove);
    }
    [[nodiscard]] HWND Handle() const noexcept { return m_control; }

    // Places the control at its position, given in pixels for the window's DPI.
    void Place(const RECT& bounds, HFONT font, UINT dpi);
    // Brings the control's row count up to date with the model.
    void Sync() noexcept;
    // Answers the control's notifications: the texts and ticks of rows, and tick toggles.
    LRESULT OnNotify(NMHDR* header) noexcept;

    void ColumnAppended(const Text& header) override;
    void ColumnWidthSet(int column, int twips) override;
    void RowsChanged(std::size_t rowCount, bool replaced) override;
    std::optional<std::size_t> SelectedIndex() const override;

private:
    static LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    void ApplyColumnWidth(int column) const;
    void ToggleTick(int index) noexcept;
    void FillItem(LVITEMW& item) const noexcept;

    HWND m_control = nullptr;
    ListView* m_model = nullptr;
    std::function<void()> m_mouseMove;
    bool m_checkBoxes;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::vector<int> m_columnTwips;
    std::size_t m_shownRows = 0;
    bool m_rowsChanged = false;
    bool m_rowsReplaced = false;
};
