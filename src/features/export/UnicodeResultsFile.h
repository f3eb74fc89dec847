// The results in the Unicode file types of "Save Results As...": CSV and tab-separated text,
// both UTF-8 with a byte order mark.
#pragma once

#include <string>

#include "core/RowTable.h"
#include "ports/SaveFiles.h"

inline constexpr TextView kUnicodeResultsFileTypes =
    u"CSV, UTF-8 (*.csv)|*.csv|Unicode Text, UTF-8 (*.txt)|*.txt|";

// Csv and TabSeparated: the types of "Save Results As..."; UnicodeText: the text file's lines in
// UTF-8, for the text file that would lose characters in the ANSI code page.
enum class ResultsFileType { Csv, TabSeparated, UnicodeText };

// Every row, ticked or not. CSV: a header line of the column captions, then one line per row,
// cells quoted as RFC 4180 has it. Tab-separated: the text file's lines (each cell followed by a
// tab), cells escaped as AppendTabSeparatedCell has it, so that each line is one row. Unicode
// text: the text file's lines, cells as they are. All in UTF-8; lines end in CR LF.
[[nodiscard]] std::string UnicodeResultsFileBytes(const RowTable& table, ResultsFileType type);

// How many characters of the rows the text file in the ANSI code page would lose.
[[nodiscard]] std::size_t CharactersLostInAnsi(const RowTable& table, SaveFiles& files);
// How many characters of the rows no encoding can hold (lone surrogates): every file has U+FFFD,
// or the code page's substitute, in their place.
[[nodiscard]] std::size_t CharactersLostInAnyEncoding(const RowTable& table);
