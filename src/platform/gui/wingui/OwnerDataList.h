// A list of the main window on screen: a virtual (owner-data) report list view that shows the
// rows of its row table, so filling 100,000 rows costs one item-count update.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "core/RowTable.h"
#include "wingui/Layout.h"

// The row of a report list under point (client coordinates), or -1.
[[nodiscard]] int ListRowAt(HWND list, POINT point) noexcept;

class OwnerDataList : public RowTableDisplay {
public:
    // The room a cell leaves beside its text, in pixels.
    static constexpr int kCellTextMargins = 12;

    // Creates the control as a child of parent at its place; mouseMove runs when the pointer
    // moves over the list.
    OwnerDataList(HWND parent, const ListPlace& place, std::function<void()> mouseMove);
    ~OwnerDataList() override;

    OwnerDataList(const OwnerDataList&) = delete;
    OwnerDataList& operator=(const OwnerDataList&) = delete;

    [[nodiscard]] HWND Handle() const noexcept { return m_control; }
    [[nodiscard]] int ColumnCount() const noexcept {
        return static_cast<int>(m_columnTwips.size());
    }
    // The rows the list shows.
    [[nodiscard]] RowTable& Rows() noexcept { return m_rows; }

    // Moves the control to its place at dpi in a client area grown by stretch, with font.
    void LayOut(UINT dpi, HFONT font, Stretch stretch);
    // Moves the control to its place in a client area grown by stretch; the columns take the
    // width it gains or loses.
    void Reposition(Stretch stretch) noexcept;
    // Shows the rows' text in text on background.
    void SetColours(COLORREF background, COLORREF text) const noexcept;
    // Whether the first cell of each row is indented by the row's depth.
    void SetIndentsByDepth(bool indents) noexcept;
    // The column's width now, less what it took of the list's extra width, in twips (1-based
    // column): the width it would have at the laid-out size.
    [[nodiscard]] int LaidOutColumnTwips(int column) const noexcept;
    // Brings the control's row count up to date with the model.
    void Sync() noexcept;
    // Answers the control's notifications: the texts and ticks of rows, and tick toggles.
    LRESULT OnNotify(NMHDR* header) noexcept;

    void ColumnAppended(const Text& header) override;
    void ColumnWidthSet(int column, int twips) override;
    void RowsChanged(std::size_t rowCount, bool replaced) override;
    std::optional<std::size_t> SelectedIndex() const override;
    void SelectIndex(std::size_t index) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    void ApplyColumnWidth(int column) const;
    [[nodiscard]] int ColumnShare(int column, int extraWidth) const noexcept;
    [[nodiscard]] bool OnTickBox(int row, POINT point) const noexcept;
    // A click's position moved onto the row's first cell text, at the same height.
    [[nodiscard]] LPARAM OnFirstCellText(int row, POINT point) const noexcept;
    // Whether a text is being typed to find a row: its last letter came moments ago.
    [[nodiscard]] bool Typing() const noexcept;
    // Adds a typed character to the text to find and selects the row it finds; false for a
    // character that finds nothing by its nature (a control character, a space that starts).
    bool TypeToFind(wchar_t unit) noexcept;
    void ShowFocusedRow() const noexcept;
    void DrawEmptyListFocus() const noexcept;
    void ToggleTick(int index) noexcept;
    // Space: the ticks of the selected rows, or of the focused one.
    void ToggleSelectedTicks() noexcept;
    void ApplySelection() noexcept;
    // The tick box in the tick column's header: ticked when every row is.
    void ShowHeaderTick() noexcept;
    // A click on the tick column's header ticks every row, or unticks them all when all are.
    void ToggleAllTicks() noexcept;
    void FillItem(LVITEMW& item) const noexcept;
    // LVM_FINDITEM: the index of the first row from start whose first cell the text begins (or
    // is); -1 for none.
    [[nodiscard]] LRESULT FindItem(const LVFINDINFOW& find, int start) const noexcept;

    const ListPlace& m_place;
    HWND m_control = nullptr;
    RowTable m_rows{*this};
    std::function<void()> m_mouseMove;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::vector<int> m_columnTwips;
    // The pixels the list is wider than its laid-out width.
    int m_extraWidth = 0;
    std::size_t m_shownRows = 0;
    bool m_rowsChanged = false;
    bool m_rowsReplaced = false;
    // A selection asked for while the control's rows are not yet up to date.
    std::optional<std::size_t> m_pendingSelection;
    Text m_typed;
    DWORD m_lastTyped = 0;
    // The header's tick image shown: 0 unticked, 1 ticked; -1 before the first column.
    int m_headerTick = -1;
    bool m_indentsByDepth = false;
};
