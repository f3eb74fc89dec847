// The text file's bytes.
#include "export/TextFileBytes.h"

std::string TextFileBytes(const RowTable& table, SaveFiles& files) {
    const std::size_t rows = table.RowCount();
    std::size_t length = 0;
    for (std::size_t row = 1; row <= rows; ++row) {
        for (const Text& cell : table.RowCells(row)) {
            length += cell.size() + 1;
        }
        length += 2;
    }
    // ASCII text is written as it is, which every ANSI code page agrees with; a cell with
    // anything else is converted by the system and may change the length.
    std::string bytes(length, '\0');
    std::size_t at = 0;
    for (std::size_t row = 1; row <= rows; ++row) {
        for (const Text& cell : table.RowCells(row)) {
            // Locals, so that the stores through char cannot make the compiler reread the cell.
            const char16_t* units = cell.data();
            const std::size_t count = cell.size();
            char* out = bytes.data() + at;
            char16_t seen = 0;
            for (std::size_t i = 0; i < count; ++i) {
                seen |= units[i];
                out[i] = static_cast<char>(units[i]);
            }
            if (seen < 0x80) {
                at += count;
            } else {
                const std::string converted = files.ToAnsi(cell);
                bytes.replace(at, cell.size(), converted);
                at += converted.size();
            }
            bytes[at++] = '\t';
        }
        bytes[at++] = '\r';
        bytes[at++] = '\n';
    }
    return bytes;
}
