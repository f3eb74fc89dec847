// Cells of the command line's delimited output.
#include "documents/Cells.h"

#include "core/Delimited.h"

namespace {

constexpr std::string_view kUtf8LineEnd = "\r\n";

}  // namespace

std::string CsvCell(std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(utf8);
    }
    std::string quoted = "\"";
    for (const char unit : utf8) {
        quoted += unit;
        if (unit == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

std::string TsvCell(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size());
    AppendTabSeparatedCell(escaped, utf8);
    return escaped;
}

void AppendLine(std::string& out, std::span<const std::string> cells, CellFormat format) {
    bool firstCell = true;
    for (const std::string& cell : cells) {
        if (!firstCell) {
            out += format == CellFormat::Csv ? ',' : '\t';
        }
        firstCell = false;
        out += format == CellFormat::Csv ? CsvCell(cell) : TsvCell(cell);
    }
    out += kUtf8LineEnd;
}
