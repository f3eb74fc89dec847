// The standard output and error of tessivane-cli: UTF-8 bytes to a file or pipe, Unicode text to
// a console (WriteConsoleW), so that no character is lost either way.
#pragma once

#include <windows.h>

#include <string>

#include "ports/Console.h"

class Win32Console final : public Console {
public:
    Win32Console() noexcept;

    void Out(std::string_view utf8) override;
    void Error(std::string_view utf8) noexcept override;
    std::size_t TextWidth() const noexcept override;

private:
    struct Stream {
        HANDLE handle = nullptr;
        bool console = false;
        // The first bytes of a character whose last ones have not come yet.
        std::string partial;
    };
    static Stream Open(DWORD which) noexcept;
    // The system's error when the stream could not take the bytes, else ERROR_SUCCESS.
    static DWORD Write(Stream& stream, std::string_view utf8);

    Stream m_out;
    Stream m_error;
};
