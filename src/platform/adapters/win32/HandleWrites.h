// Writes to a file, pipe or console handle that end only when everything is taken or one fails.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

// Handed to the system at once: a larger write gains nothing and holds more memory in flight.
inline constexpr std::size_t kWriteChunkUnits = std::size_t{1} << 20;

// The system's error of a write that failed (read right after it), ERROR_WRITE_FAULT for one that
// took nothing, ERROR_SUCCESS otherwise.
[[nodiscard]] DWORD WriteError(BOOL written, DWORD count) noexcept;
// Writes every byte; answers the first write's error that was not ERROR_SUCCESS, else that.
[[nodiscard]] DWORD WriteWhole(HANDLE handle, std::string_view bytes) noexcept;
