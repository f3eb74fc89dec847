// The aligned text of a table that no screen shows.
#include "cli/HeadlessTable.h"

#include "export/AlignedText.h"

std::string AlignedTextOfAllRows(RowTable& table) {
    for (std::size_t row = 1; row <= table.RowCount(); ++row) {
        table.SetChecked(row, true);
    }
    NoEvents events;
    return TextToUtf8(RenderAlignedText(table, events));
}
