// Files saved whole or not at all, and the ANSI code page the text file is written in.
#pragma once

#include <memory>
#include <string>

#include "ports/SaveFiles.h"
#include "win32/AnsiCodePage.h"

class Win32SaveFiles : public SaveFiles {
public:
    std::unique_ptr<SaveFile> Open(const Text& path) override;
    void AppendAnsi(TextView text, std::string& bytes) override { m_ansi.Append(text, bytes); }
    std::size_t CountUnwritableInAnsi(const Text& text) override {
        return m_ansi.CountUnwritable(text);
    }

private:
    AnsiCodePage m_ansi;
};
