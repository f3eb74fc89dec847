// Whole writes through WriteFile.
#include "win32/HandleWrites.h"

#include <algorithm>

DWORD WriteError(BOOL written, DWORD count) noexcept {
    if (!written) {
        return GetLastError();
    }
    return count == 0 ? static_cast<DWORD>(ERROR_WRITE_FAULT) : static_cast<DWORD>(ERROR_SUCCESS);
}

DWORD WriteWhole(HANDLE handle, std::string_view bytes) noexcept {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kWriteChunkUnits));
        DWORD written = 0;
        const BOOL done = WriteFile(handle, bytes.data(), chunk, &written, nullptr);
        if (const DWORD error = WriteError(done, written); error != ERROR_SUCCESS) {
            return error;
        }
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}
