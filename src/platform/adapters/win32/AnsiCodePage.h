// Conversion of UTF-16 text to the system's ANSI code page, and what it cannot hold.
#pragma once

#include <cstddef>
#include <string>

#include "core/Text.h"

class AnsiCodePage {
public:
    AnsiCodePage() noexcept;

    // Appends text to bytes in the code page, with its substitute for what it cannot hold.
    void Append(TextView text, std::string& bytes) const;
    // How many characters of text (a surrogate pair is one) the code page cannot hold.
    [[nodiscard]] std::size_t CountUnwritable(const Text& text) const;

private:
    // The most bytes the code page gives for one UTF-16 code unit.
    std::size_t m_mostBytesPerUnit = 2;
};
