// Where a command writes its document: the standard output, or a file that replaces its target
// only once it is whole. Bytes are gathered and handed on in blocks, so a long document is
// written as it is made.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "ports/Console.h"
#include "ports/SaveFiles.h"

class Output {
public:
    // An empty path: the standard output. Throws Failure when the file cannot be written.
    Output(Console& console, SaveFiles& files, const Text& path);

    // A failure to write is kept: the rest is dropped, and Failed() says so.
    void Write(std::string_view bytes);
    // Hands on what was written so far, for a command whose lines must not wait for more.
    void Flush();
    // Hands on what is left; puts the file in place of its target. Throws Failure when the
    // document could not be written whole, unless only because its reader went.
    void Finish();
    // Nothing more is written: it failed, or its reader has gone.
    [[nodiscard]] bool Failed() const noexcept { return m_readerGone || !m_failure.empty(); }
    // The standard output's reader has gone (a pipe's other end closed): what it read was all it
    // wanted.
    [[nodiscard]] bool ReaderGone() const noexcept { return m_readerGone; }

private:
    Console& m_console;
    std::unique_ptr<SaveFile> m_file;
    std::string m_pending;
    Text m_failure;
    bool m_readerGone = false;
};
