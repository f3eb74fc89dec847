// The items table: cells in one buffer, each cell's end in a list beside it.
#include "items/ItemsTable.h"

#include <limits>
#include <utility>

#include "core/Failure.h"

ItemsTable::ItemsTable(ItemsKind kind, std::vector<Text> captions)
    : m_kind(kind), m_captions(std::move(captions)) {
    if (m_captions.empty()) {
        m_captions.emplace_back();
    }
    m_hidden.assign(m_captions.size(), false);
}

TextView ItemsTable::Cell(std::size_t row, std::size_t column) const {
    if (row >= Rows() || column >= Columns()) {
        throw Failure(u"Cell " + DecimalText(static_cast<std::int64_t>(column)) + u" of row " +
                      DecimalText(static_cast<std::int64_t>(row)) + u" is not in the table.");
    }
    const std::size_t cell = row * Columns() + column;
    const std::size_t begin = cell == 0 ? 0 : m_cellEnds[cell - 1];
    return TextView(m_units).substr(begin, m_cellEnds[cell] - begin);
}

void ItemsTable::AppendRow(std::span<const Text> cells, int depth) {
    std::size_t units = 0;
    for (std::size_t column = 0; column < Columns() && column < cells.size(); ++column) {
        units += cells[column].size();
    }
    if (units > std::numeric_limits<std::uint32_t>::max() - m_units.size()) {
        throw Failure(u"The table holds as many texts as it can.");
    }
    for (std::size_t column = 0; column < Columns(); ++column) {
        if (column < cells.size()) {
            m_units += cells[column];
        }
        m_cellEnds.push_back(static_cast<std::uint32_t>(m_units.size()));
    }
    m_depths.push_back(depth);
}

void ItemsTable::ShrinkToFit() {
    m_units.shrink_to_fit();
    m_cellEnds.shrink_to_fit();
    m_depths.shrink_to_fit();
}

std::size_t ItemsTable::HeldBytes() const noexcept {
    return m_units.capacity() * sizeof(char16_t) + m_cellEnds.capacity() * sizeof(std::uint32_t) +
           m_depths.capacity() * sizeof(int);
}

Text ColumnHeading(const ItemsTable& table, std::size_t column) {
    const TextView caption = table.Caption(column);
    if (!table.ColumnHidden(column)) {
        return Text(caption);
    }
    return caption.empty() ? Text(u"(hidden)") : Text(caption) + u" (hidden)";
}
