// Port: the standard output and standard error of a command-line program. Both take UTF-8: a
// file or pipe gets the bytes, a console shows the text as Unicode.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/Failure.h"

// The reader of the standard output has gone (a pipe closed at its other end): nobody wants the
// rest, which is no failure of the command.
class OutputClosed final : public Failure {
public:
    using Failure::Failure;
};

// The width that help is wrapped to where the output is no console: a file, a pipe.
inline constexpr std::size_t kDefaultTextWidth = 80;

class Console {
public:
    virtual ~Console() = default;

    // The most characters a line of the standard output holds without the console wrapping it;
    // kDefaultTextWidth when the output is no console.
    [[nodiscard]] virtual std::size_t TextWidth() const noexcept { return kDefaultTextWidth; }

    // Throws OutputClosed when the reader has gone, Failure when the output cannot be written
    // (a full disk).
    virtual void Out(std::string_view utf8) = 0;
    // Never fails: a message that cannot be shown is lost.
    virtual void Error(std::string_view utf8) noexcept = 0;
};
