// Delimited text files: RFC 4180 cells, tab-separated cells, the CSV extension, UTF-8's byte
// order mark.
#pragma once

#include <string>
#include <string_view>

#include "core/Text.h"

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
inline constexpr TextView kCsvExtension = u".csv";

// Appends a cell as it is, or, when it holds the delimiter, a quote, CR or LF, between quotes
// with each of its quotes doubled; every other unit (surrogates too) is copied as it is.
void AppendDelimitedCell(Text& out, TextView cell, char16_t delimiter);

// Appends a cell of tab-separated text with its tabs, CRs, LFs and backslashes written as \t,
// \r, \n and \\, so that every line is one row and every tab ends a cell; every other unit is
// copied as it is. Unit: char for UTF-8, char16_t for UTF-16.
template <typename Unit>
void AppendTabSeparatedCell(std::basic_string<Unit>& out, std::basic_string_view<Unit> cell);

// True when the path ends in ".csv", in any case.
[[nodiscard]] bool HasCsvExtension(TextView path);
