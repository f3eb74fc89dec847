// The dump command run in the benchmark's own process, as tessivane-cli runs it: what a command
// line process costs beyond it shows against this.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "win32/Win32Files.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32SaveFiles.h"
#include "win32/Win32WindowDetails.h"
#include "win32/Win32WindowSystem.h"

// A standard output that keeps the document.
class KeptOutput final : public Console {
public:
    void Out(std::string_view utf8) override { document += utf8; }
    void Error(std::string_view) noexcept override {}
    std::string document;
};

// Runs the command line's arguments (a dump) in this process; answers the document it wrote,
// empty when it did not end with 0.
inline std::string DumpInThisProcess(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    Win32WindowSystem windows(MessageTimeout(*parsed.request));
    Win32WindowDetails details;
    Win32RemoteItems items;
    Win32SaveFiles files;
    Win32Files readFiles;
    KeptOutput output;
    CliServices services{
        windows, details, items, files, readFiles, output, std::chrono::steady_clock::now};
    return RunRequest(*parsed.request, services) == 0 ? std::move(output.document) : std::string();
}
