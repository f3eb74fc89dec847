// A list of the main window: columns and rows with a main text, subitems and a tick. The rows
// live here; the screen control only shows them through the ListDisplay port.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "common/Text.h"

// Port: the control that shows a list on screen.
class ListDisplay {
public:
    virtual ~ListDisplay() = default;

    virtual void ColumnAppended(const Text& header) = 0;
    virtual void ColumnWidthSet(int column, int twips) = 0;
    // Rows were added or replaced; rowCount is the new number of rows.
    virtual void RowsChanged(std::size_t rowCount, bool replaced) = 0;
    // The 0-based index of the row that the user has selected, if any.
    [[nodiscard]] virtual std::optional<std::size_t> SelectedIndex() const = 0;
};

class ListView {
public:
    explicit ListView(ListDisplay& display) noexcept : m_display(display) {}

    // Columns, 1-based.
    void AppendColumn(const Text& header);
    void SetColumnWidth(int column, int twips);
    [[nodiscard]] int ColumnCount() const noexcept { return static_cast<int>(m_headers.size()); }
    [[nodiscard]] const Text& ColumnHeader(int column) const;

    // Rows, 1-based. AppendRow answers the new row's position.
    void Clear();
    std::size_t AppendRow(Text mainText);
    void SetSubItem(std::size_t row, int index, Text text);
    [[nodiscard]] std::size_t RowCount() const noexcept { return m_rows.size(); }
    [[nodiscard]] const Text& MainText(std::size_t row) const;
    [[nodiscard]] const Text& SubItem(std::size_t row, int index) const;
    [[nodiscard]] bool Checked(std::size_t row) const;
    void SetChecked(std::size_t row, bool checked);
    // The selected row's position; throws when no row is selected.
    [[nodiscard]] std::size_t SelectedRow() const;

private:
    struct Row {
        std::vector<Text> cells;  // cells[0] is the main text, cells[k] subitem k
        bool checked = false;
    };

    [[nodiscard]] const Row& At(std::size_t row) const;
    [[nodiscard]] Row& At(std::size_t row);
    void CheckColumn(int column) const;

    ListDisplay& m_display;
    std::vector<Text> m_headers;
    std::vector<Row> m_rows;
};
