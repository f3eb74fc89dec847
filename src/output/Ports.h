// Ports of the output commands: the clipboard, the event pump and the file being saved.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Text.h"

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // One attempt each; false when another program has the clipboard open.
    [[nodiscard]] virtual bool TryEmpty() = 0;
    // Format 0 is the standard Unicode text format.
    [[nodiscard]] virtual bool TryPlaceText(const Text& text, std::uint32_t format) = 0;
    // The short wait between two attempts.
    virtual void WaitBeforeRetry() = 0;
};

// Lets the window answer the user while a long command runs.
class EventPump {
public:
    virtual ~EventPump() = default;

    virtual void Pump() = 0;
};

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

    // Starts saving to path; throws Failure when the path cannot be written.
    [[nodiscard]] virtual std::unique_ptr<SaveFile> Open(const Text& path) = 0;
    // The text in the system's ANSI code page, with its substitute for what it cannot hold.
    [[nodiscard]] virtual std::string ToAnsi(const Text& text) = 0;
};
