// The text file's bytes.
#pragma once

#include <string>

#include "core/RowTable.h"
#include "ports/SaveFiles.h"

// Every row, ticked or not, each cell followed by a tab and each line by CR LF, in the system's
// ANSI code page.
[[nodiscard]] std::string TextFileBytes(const RowTable& table, SaveFiles& files);
