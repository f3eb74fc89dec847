// Cells of the command line's delimited output: CSV as RFC 4180 has it, and tab-separated text.
#pragma once

#include <span>
#include <string>
#include <string_view>

enum class CellFormat { Csv, Tsv };

// Quoted, with its quotes doubled, when it holds a comma, a quote, CR or LF.
[[nodiscard]] std::string CsvCell(std::string_view utf8);
// Tab, CR, LF and backslash written as \t, \r, \n and \\, so that every line is one row.
[[nodiscard]] std::string TsvCell(std::string_view utf8);

// Appends the cells, each written as format has it, separated by commas or tabs, and CR LF.
void AppendLine(std::string& out, std::span<const std::string> cells, CellFormat format);
