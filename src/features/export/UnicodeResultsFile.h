// The results in the Unicode file types of "Save Results As...": CSV and tab-separated text,
// both UTF-8 with a byte order mark.
#pragma once

#include <string>

#include "core/RowTable.h"
#include "ports/SaveFiles.h"

inline constexpr TextView kUnicodeResultsFileTypes =
    u"CSV, UTF-8 (*.csv)|*.csv|Unicode Text, UTF-8 (*.txt)|*.txt|";

enum class ResultsFileType { Csv, UnicodeText };

// Every row, ticked or not. CSV: a header line of the column captions, then one line per row,
// cells quoted as RFC 4180 has it. Unicode text: the text file's lines (each cell followed by a
// tab), in UTF-8. Lines end in CR LF.
[[nodiscard]] std::string UnicodeResultsFileBytes(const RowTable& table, ResultsFileType type);

// How many characters of the rows the text file in the ANSI code page would lose.
[[nodiscard]] std::size_t CharactersLostInAnsi(const RowTable& table, SaveFiles& files);
