// The aligned text of a table that no screen shows.
#include "documents/HeadlessTable.h"

#include "export/AlignedText.h"

std::string AlignedTextOfAllRows(RowTable& table) {
    for (std::size_t row = 1; row <= table.RowCount(); ++row) {
        table.SetChecked(row, true);
    }
    NoEvents events;
    return TextToUtf8(RenderAlignedText(table, events));
}

std::string AlignedTable(std::span<const TextView> captions,
                         const std::vector<std::vector<std::string>>& rows) {
    HeadlessDisplay display;
    RowTable table(display);
    for (const TextView caption : captions) {
        table.AppendColumn(Text(caption));
    }
    const auto append = [&table](const std::vector<Text>& cells) {
        const std::size_t row = table.AppendRow(cells.front());
        for (std::size_t cell = 1; cell < cells.size(); ++cell) {
            table.SetCell(row, static_cast<int>(cell), cells[cell]);
        }
    };
    append(std::vector<Text>(captions.begin(), captions.end()));
    for (const std::vector<std::string>& row : rows) {
        std::vector<Text> cells;
        for (const std::string& cell : row) {
            cells.push_back(Utf8ToText(cell));
        }
        append(cells);
    }
    return AlignedTextOfAllRows(table);
}
