// The list model behind both lists of the main window.
#include "app/ListView.h"

#include "common/Failure.h"

namespace {

const Text kNoText;

}  // namespace

void ListView::AppendColumn(const Text& header) {
    m_headers.push_back(header);
    m_display.ColumnAppended(header);
}

void ListView::SetColumnWidth(int column, int twips) {
    CheckColumn(column);
    m_display.ColumnWidthSet(column, twips);
}

const Text& ListView::ColumnHeader(int column) const {
    CheckColumn(column);
    return m_headers[column - 1];
}

void ListView::Clear() {
    m_rows.clear();
    m_display.RowsChanged(0, true);
}

std::size_t ListView::AppendRow(Text mainText) {
    Row& row = m_rows.emplace_back();
    row.cells.reserve(m_headers.empty() ? 1 : m_headers.size());
    row.cells.push_back(std::move(mainText));
    m_display.RowsChanged(m_rows.size(), false);
    return m_rows.size();
}

void ListView::SetSubItem(std::size_t row, int index, Text text) {
    if (index < 1 || index >= ColumnCount()) {
        throw Failure(u"Subitem " + DecimalText(index) + u" cannot be set in a list of " +
                      DecimalText(ColumnCount()) + u" columns.");
    }
    Row& target = At(row);
    if (target.cells.size() <= static_cast<std::size_t>(index)) {
        target.cells.resize(index + 1);
    }
    target.cells[index] = std::move(text);
    m_display.RowsChanged(m_rows.size(), false);
}

const Text& ListView::MainText(std::size_t row) const {
    return At(row).cells[0];
}

const Text& ListView::SubItem(std::size_t row, int index) const {
    const Row& source = At(row);
    if (index < 1) {
        throw Failure(u"Subitem " + DecimalText(index) + u" does not exist.");
    }
    return static_cast<std::size_t>(index) < source.cells.size() ? source.cells[index] : kNoText;
}

bool ListView::Checked(std::size_t row) const {
    return At(row).checked;
}

void ListView::SetChecked(std::size_t row, bool checked) {
    At(row).checked = checked;
}

std::size_t ListView::SelectedRow() const {
    const std::optional<std::size_t> index = m_display.SelectedIndex();
    if (!index || *index >= m_rows.size()) {
        throw Failure(u"No window is selected in the window list.");
    }
    return *index + 1;
}

const ListView::Row& ListView::At(std::size_t row) const {
    if (row < 1 || row > m_rows.size()) {
        throw Failure(u"Row " + DecimalText(static_cast<std::int64_t>(row)) +
                      u" does not exist in a list of " +
                      DecimalText(static_cast<std::int64_t>(m_rows.size())) + u" rows.");
    }
    return m_rows[row - 1];
}

ListView::Row& ListView::At(std::size_t row) {
    return const_cast<Row&>(static_cast<const ListView&>(*this).At(row));
}

void ListView::CheckColumn(int column) const {
    if (column < 1 || column > ColumnCount()) {
        throw Failure(u"Column " + DecimalText(column) + u" does not exist in a list of " +
                      DecimalText(ColumnCount()) + u" columns.");
    }
}
