// The row table behind both lists of the main window.
#include "core/RowTable.h"

#include <algorithm>

#include "core/Failure.h"

namespace {

const Text kNoText;

// A row read by position that is not there: the list changed under a command (a user's click
// while it pumped events), so the rows after it are gone too and the command should end.
class RowGone : public Failure {
public:
    using Failure::Failure;

    [[nodiscard]] bool EndsCommand() const noexcept override { return true; }
};

}  // namespace

void RowTable::AppendColumn(const Text& header) {
    m_headers.push_back(header);
    m_display.ColumnAppended(header);
    if (m_headers.size() > m_stride) {
        // Rows grow a cell for the new column.
        RowTable wider(m_display);
        wider.m_stride = m_headers.size();
        for (std::size_t row = 0; row < RowCount(); ++row) {
            wider.AddRowCells();
            for (std::size_t cell = 0; cell < m_stride; ++cell) {
                wider.Cell(row, cell) = std::move(Cell(row, cell));
            }
        }
        m_blocks = std::move(wider.m_blocks);
        m_stride = wider.m_stride;
    }
}

void RowTable::SetColumnWidth(int column, int twips) {
    CheckColumn(column);
    m_display.ColumnWidthSet(column, twips);
}

const Text& RowTable::ColumnHeader(int column) const {
    CheckColumn(column);
    return m_headers[static_cast<std::size_t>(column - 1)];
}

void RowTable::Clear() {
    m_blocks.clear();
    m_checked.clear();
    m_depths.clear();
    m_checkedCount = 0;
    m_display.RowsChanged(0, true);
}

void RowTable::AddRowCells() {
    if (m_checked.size() % kRowsPerBlock == 0) {
        m_blocks.push_back(std::make_unique<Text[]>(kRowsPerBlock * m_stride));
    }
    m_checked.push_back(0);
    m_depths.push_back(0);
}

std::size_t RowTable::AppendRow(Text mainText) {
    AddRowCells();
    Cell(RowCount() - 1, 0) = std::move(mainText);
    m_display.RowsChanged(RowCount(), false);
    return RowCount();
}

void RowTable::SetCell(std::size_t row, int index, Text text) {
    if (index < 1 || index >= ColumnCount()) {
        throw Failure(u"Subitem " + DecimalText(index) + u" cannot be set in a list of " +
                      DecimalText(ColumnCount()) + u" columns.");
    }
    Cell(RowIndex(row), static_cast<std::size_t>(index)) = std::move(text);
    m_display.RowsChanged(RowCount(), false);
}

const Text& RowTable::SubItem(std::size_t row, int index) const {
    const std::size_t rowIndex = RowIndex(row);
    if (index < 1) {
        throw Failure(u"Subitem " + DecimalText(index) + u" does not exist.");
    }
    return static_cast<std::size_t>(index) < m_stride
               ? Cell(rowIndex, static_cast<std::size_t>(index))
               : kNoText;
}

void RowTable::SetChecked(std::size_t row, bool checked) {
    unsigned char& tick = m_checked[RowIndex(row)];
    m_checkedCount = m_checkedCount - tick + (checked ? 1 : 0);
    tick = checked ? 1 : 0;
}

void RowTable::SetDepth(std::size_t row, int depth) {
    m_depths[RowIndex(row)] = static_cast<std::uint16_t>(std::clamp(depth, 0, kMaxRowDepth));
}

void RowTable::SetAllChecked(bool checked) {
    std::fill(m_checked.begin(), m_checked.end(), checked ? 1 : 0);
    m_checkedCount = checked ? m_checked.size() : 0;
    m_display.RowsChanged(RowCount(), false);
}

std::size_t RowTable::SelectedRow() const {
    const std::optional<std::size_t> index = m_display.SelectedIndex();
    if (!index || *index >= RowCount()) {
        throw Failure(u"No window is selected in the window list.");
    }
    return *index + 1;
}

void RowTable::SelectRow(std::size_t row) {
    m_display.SelectIndex(RowIndex(row));
}

void RowTable::ThrowNoRow(std::size_t row) const {
    throw RowGone(u"Row " + DecimalText(static_cast<std::int64_t>(row)) +
                  u" does not exist in a list of " +
                  DecimalText(static_cast<std::int64_t>(RowCount())) + u" rows.");
}

void RowTable::CheckColumn(int column) const {
    if (column < 1 || column > ColumnCount()) {
        throw Failure(u"Column " + DecimalText(column) + u" does not exist in a list of " +
                      DecimalText(ColumnCount()) + u" columns.");
    }
}
