// The standard input of tessivane-cli: the bytes of a pipe or file as they come, or a console's
// typed text as UTF-8.
#pragma once

#include <windows.h>

#include <string>

#include "ports/InputStream.h"

class Win32StandardInput final : public InputStream {
public:
    Win32StandardInput() noexcept;

    std::size_t Read(std::span<char> buffer) override;

private:
    // A console's text read, made UTF-8, of which not all has been handed on yet.
    std::size_t ReadTyped(std::span<char> buffer);

    HANDLE m_handle = nullptr;
    bool m_console = false;
    std::string m_typed;
    // The first half of a UTF-16 pair whose second half comes with the next read.
    char16_t m_highSurrogate = 0;
};
