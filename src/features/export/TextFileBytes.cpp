// The text file's bytes.
#include "export/TextFileBytes.h"

#include <span>

namespace {

// The bytes of a row's cells, a byte a code unit, each with its tab, and CR LF.
std::size_t AsciiLength(std::span<const Text> cells) {
    std::size_t length = 2;
    for (const Text& cell : cells) {
        length += cell.size() + 1;
    }
    return length;
}

}  // namespace

std::string TextFileBytes(const RowTable& table, SaveFiles& files) {
    const std::size_t rows = table.RowCount();
    std::size_t length = 0;
    for (std::size_t row = 1; row <= rows; ++row) {
        length += AsciiLength(table.RowCells(row));
    }
    // ASCII text is written as it is, which every ANSI code page agrees with, a byte a code unit;
    // a cell with anything else is converted by the system and may change the length. The bytes
    // are made in one pass, in order: each row is given room for its ASCII length, and a cell
    // converted makes room for the rest of its row after it.
    std::string bytes;
    bytes.reserve(length);
    for (std::size_t row = 1; row <= rows; ++row) {
        const std::span<const Text> cells = table.RowCells(row);
        std::size_t rest = AsciiLength(cells);
        std::size_t at = bytes.size();
        bytes.resize(at + rest);
        for (const Text& cell : cells) {
            // Locals, so that the stores through char cannot make the compiler reread the cell.
            const char16_t* units = cell.data();
            const std::size_t count = cell.size();
            char* out = bytes.data() + at;
            char16_t seen = 0;
            for (std::size_t i = 0; i < count; ++i) {
                seen |= units[i];
                out[i] = static_cast<char>(units[i]);
            }
            rest -= count + 1;
            if (seen < 0x80) {
                at += count;
            } else {
                bytes.resize(at);
                files.AppendAnsi(cell, bytes);
                at = bytes.size();
                bytes.resize(at + 1 + rest);
            }
            bytes[at++] = '\t';
        }
        bytes[at++] = '\r';
        bytes[at++] = '\n';
    }
    return bytes;
}
