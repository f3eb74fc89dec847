// Delimited text files: RFC 4180 cells, the CSV extension, UTF-8's byte order mark.
#pragma once

#include <string_view>

#include "core/Text.h"

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
inline constexpr TextView kCsvExtension = u".csv";

// Appends a cell as it is, or, when it holds the delimiter, a quote, CR or LF, between quotes
// with each of its quotes doubled; every other unit (surrogates too) is copied as it is.
void AppendDelimitedCell(Text& out, TextView cell, char16_t delimiter);

// True when the path ends in ".csv", in any case.
[[nodiscard]] bool HasCsvExtension(TextView path);
