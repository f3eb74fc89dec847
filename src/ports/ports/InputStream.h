// Port: the standard input of a command-line program, as the bytes come (UTF-8 from a pipe, or
// what is typed in a console).
#pragma once

#include <cstddef>
#include <span>

class InputStream {
public:
    virtual ~InputStream() = default;

    // Waits for bytes and puts up to buffer.size() of them in buffer; answers how many, and 0 once
    // the input has closed (its writer has gone, or it was never open). Throws Failure when it
    // cannot be read.
    virtual std::size_t Read(std::span<char> buffer) = 0;
};
