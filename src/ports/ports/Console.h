// Port: the standard output and standard error of a command-line program. Both take UTF-8: a
// file or pipe gets the bytes, a console shows the text as Unicode.
#pragma once

#include <string_view>

class Console {
public:
    virtual ~Console() = default;

    // Throws Failure when the output cannot be written (a closed pipe, a full disk).
    virtual void Out(std::string_view utf8) = 0;
    // Never fails: a message that cannot be shown is lost.
    virtual void Error(std::string_view utf8) noexcept = 0;
};
