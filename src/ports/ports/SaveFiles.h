// Port: files being saved, and the system's ANSI code page that the text file is written in.
#pragma once

#include <memory>
#include <string>

#include "core/Text.h"

// A file being saved: nothing replaces the target until Commit, so a failed save loses nothing.
class SaveFile {
public:
    virtual ~SaveFile() = default;

    virtual void Write(const std::string& bytes) = 0;
    // Puts the written bytes in place of the target; throws Failure when it cannot.
    virtual void Commit() = 0;
};

class SaveFiles {
public:
    virtual ~SaveFiles() = default;

    // Starts saving to path, named any way the system takes (relative to the current folder, with
    // "/" or "\"); throws Failure when the path cannot be written.
    [[nodiscard]] virtual std::unique_ptr<SaveFile> Open(const Text& path) = 0;
    // Appends the text to bytes in the system's ANSI code page, with its substitute for what it
    // cannot hold.
    virtual void AppendAnsi(TextView text, std::string& bytes) = 0;
    // How many characters of the text (a surrogate pair is one) the ANSI code page cannot hold:
    // they would become its substitute or a look-alike.
    [[nodiscard]] virtual std::size_t CountUnwritableInAnsi(const Text& text) = 0;
};
