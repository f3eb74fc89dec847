// Standard input, from a pipe, a file or a console.
#include "win32/Win32StandardInput.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/Failure.h"
#include "win32/Win32Text.h"

namespace {

constexpr std::size_t kConsoleReadUnits = 4096;

bool IsHighSurrogate(char16_t unit) noexcept {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

[[noreturn]] void ThrowReadFailure(DWORD error) {
    throw Failure(u"The standard input could not be read: " + SystemMessage(error));
}

}  // namespace

Win32StandardInput::Win32StandardInput() noexcept : m_handle(GetStdHandle(STD_INPUT_HANDLE)) {
    DWORD mode = 0;
    m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                GetConsoleMode(m_handle, &mode) != FALSE;
}

std::size_t Win32StandardInput::Read(std::span<char> buffer) {
    if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE || buffer.empty()) {
        // Started without a standard input: there is nothing to read.
        return 0;
    }
    if (m_console) {
        return ReadTyped(buffer);
    }
    DWORD read = 0;
    if (ReadFile(m_handle, buffer.data(),
                 static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD)), &read,
                 nullptr) == FALSE) {
        const DWORD error = GetLastError();
        // The writer closed its end of the pipe: the input has ended.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return 0;
        }
        ThrowReadFailure(error);
    }
    return read;
}

std::size_t Win32StandardInput::ReadTyped(std::span<char> buffer) {
    while (m_typed.empty()) {
        std::array<wchar_t, kConsoleReadUnits> units{};
        DWORD read = 0;
        if (ReadConsoleW(m_handle, units.data(), static_cast<DWORD>(units.size()), &read,
                         nullptr) == FALSE) {
            ThrowReadFailure(GetLastError());
        }
        if (read == 0) {
            return 0;
        }
        Text text;
        if (m_highSurrogate != 0) {
            text.push_back(m_highSurrogate);
            m_highSurrogate = 0;
        }
        text += TextOf(units.data(), read);
        if (IsHighSurrogate(text.back())) {
            m_highSurrogate = text.back();
            text.pop_back();
        }
        m_typed = TextToUtf8(text);
    }
    const std::size_t handed = std::min(buffer.size(), m_typed.size());
    std::memcpy(buffer.data(), m_typed.data(), handed);
    m_typed.erase(0, handed);
    return handed;
}
