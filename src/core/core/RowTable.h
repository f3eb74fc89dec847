// The rows of a list of the main window: columns and rows with a main text, subitems and a tick.
// The rows live here; the screen control only shows them, told of changes through
// RowTableDisplay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/RowSink.h"
#include "core/Text.h"

// The column of both lists that holds a window's handle in decimal: the first subitem, which is
// also the index of its cell among a row's cells (the main text is cell 0).
inline constexpr int kHandleColumn = 1;
// The results list's column that holds a window's text.
inline constexpr int kTextColumn = 2;
// The deepest depth a row keeps.
inline constexpr int kMaxRowDepth = 0xFFFF;

// The control that shows a row table on screen.
class RowTableDisplay {
public:
    virtual ~RowTableDisplay() = default;

    virtual void ColumnAppended(const Text& header) = 0;
    virtual void ColumnWidthSet(int column, int twips) = 0;
    // Rows were added, replaced or ticked anew; rowCount is the new number of rows.
    virtual void RowsChanged(std::size_t rowCount, bool replaced) = 0;
    // The 0-based index of the row that the user has selected, if any.
    [[nodiscard]] virtual std::optional<std::size_t> SelectedIndex() const = 0;
    // Makes the row at the 0-based index the only selected one, scrolled into view.
    virtual void SelectIndex(std::size_t index) = 0;
};

class RowTable : public RowSink {
public:
    explicit RowTable(RowTableDisplay& display) noexcept : m_display(display) {}

    // Columns, 1-based.
    void AppendColumn(const Text& header);
    void SetColumnWidth(int column, int twips);
    [[nodiscard]] int ColumnCount() const noexcept { return static_cast<int>(m_headers.size()); }
    [[nodiscard]] const Text& ColumnHeader(int column) const;

    // Rows, 1-based. AppendRow answers the new row's position.
    void Clear() override;
    std::size_t AppendRow(Text mainText) override;
    // Sets subitem index of the row.
    void SetCell(std::size_t row, int index, Text text) override;
    [[nodiscard]] std::size_t RowCount() const noexcept { return m_checked.size(); }
    [[nodiscard]] const Text& MainText(std::size_t row) const { return Cell(RowIndex(row), 0); }
    // An empty text for a subitem that was never set.
    [[nodiscard]] const Text& SubItem(std::size_t row, int index) const;
    // The row's cells, one per column: the main text, then the subitems.
    [[nodiscard]] std::span<const Text> RowCells(std::size_t row) const {
        return {&Cell(RowIndex(row), 0), m_headers.size()};
    }
    [[nodiscard]] bool Checked(std::size_t row) const { return m_checked[RowIndex(row)] != 0; }
    // How deep the row's window lies below the first window of its walk: 0 for that window and
    // for rows that are no walk's.
    [[nodiscard]] int Depth(std::size_t row) const { return m_depths[RowIndex(row)]; }
    // Sets the row's depth, kept up to kMaxRowDepth; a deeper one counts as that deep.
    void SetDepth(std::size_t row, int depth);
    void SetChecked(std::size_t row, bool checked);
    // Ticks or unticks every row.
    void SetAllChecked(bool checked);
    [[nodiscard]] std::size_t CheckedCount() const noexcept { return m_checkedCount; }
    // True when there are rows and every one is ticked.
    [[nodiscard]] bool AllChecked() const noexcept {
        return !m_checked.empty() && m_checkedCount == m_checked.size();
    }
    // The selected row's position; throws when no row is selected.
    [[nodiscard]] std::size_t SelectedRow() const;
    void SelectRow(std::size_t row);

private:
    // The row's 0-based index; throws when there is no such row.
    [[nodiscard]] std::size_t RowIndex(std::size_t row) const {
        if (row < 1 || row > RowCount()) [[unlikely]] {
            ThrowNoRow(row);
        }
        return row - 1;
    }
    [[nodiscard]] const Text& Cell(std::size_t rowIndex, std::size_t cell) const {
        return m_blocks[rowIndex / kRowsPerBlock][(rowIndex % kRowsPerBlock) * m_stride + cell];
    }
    [[nodiscard]] Text& Cell(std::size_t rowIndex, std::size_t cell) {
        return m_blocks[rowIndex / kRowsPerBlock][(rowIndex % kRowsPerBlock) * m_stride + cell];
    }
    [[noreturn]] void ThrowNoRow(std::size_t row) const;
    // A new last row of empty cells.
    void AddRowCells();
    void CheckColumn(int column) const;

    RowTableDisplay& m_display;
    std::vector<Text> m_headers;
    // The cells, row after row, m_stride of them a row: the main text, then the subitems. They
    // live in blocks of rows, so a growing list never moves the rows it has.
    static constexpr std::size_t kRowsPerBlock = 4096;
    std::vector<std::unique_ptr<Text[]>> m_blocks;
    std::size_t m_stride = 1;
    std::vector<unsigned char> m_checked;
    std::vector<std::uint16_t> m_depths;
    std::size_t m_checkedCount = 0;
};
