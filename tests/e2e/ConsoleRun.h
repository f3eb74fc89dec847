// Runs a console program as a script would: its standard output and error into files, its exit
// code, and a bound on how long it may take.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

struct ConsoleRun {
    DWORD exitCode = 0;
    std::string out;    // the bytes written to standard output
    std::string error;  // the bytes written to standard error
    bool finished = false;
};

// Runs program with the arguments (a command line to put after its quoted path) in folder (empty:
// the build folder), waiting at most limit; a program still running then is ended and not
// finished.
[[nodiscard]] ConsoleRun RunConsoleProgram(const std::filesystem::path& program,
                                           const std::wstring& arguments,
                                           std::chrono::milliseconds limit,
                                           const std::filesystem::path& folder = {});

// Runs program as RunConsoleProgram does, its standard output a pipe of which only the first line
// is read before the pipe is closed, as `program | head -1` does; out holds that line.
[[nodiscard]] ConsoleRun RunConsoleProgramReadingOneLine(const std::filesystem::path& program,
                                                         const std::wstring& arguments,
                                                         std::chrono::milliseconds limit);

// A program that RunConsoleProgramAfterLines started, while it runs.
struct RunningProgram {
    HANDLE process = nullptr;
    std::function<std::string()> out;  // what it has written to its standard output so far
};

// Runs program as RunConsoleProgram does; once its standard output holds lines lines (or it has
// ended), calls then, and goes on waiting.
[[nodiscard]] ConsoleRun RunConsoleProgramAfterLines(
    const std::filesystem::path& program, const std::wstring& arguments,
    std::chrono::milliseconds limit, std::size_t lines,
    const std::function<void(const RunningProgram&)>& then);

// The bytes of a file, or "" when it cannot be read.
[[nodiscard]] std::string FileBytes(const std::filesystem::path& file);
