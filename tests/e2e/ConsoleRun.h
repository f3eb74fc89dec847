// Runs a console program as a script would: its standard output and error into files, its exit
// code, and a bound on how long it may take.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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

// A console program that runs while its standard input and output are pipes of this process: lines
// written to it, lines read from it, as an agent host talks to a server.
class ConsoleSession {
public:
    // Starts program with the arguments in the build folder; its standard error goes to a file.
    ConsoleSession(const std::filesystem::path& program, const std::wstring& arguments);
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    // Writes the bytes to the program's standard input; false when it has gone.
    bool Write(std::string_view bytes);
    // The next line of its standard output, with its line feed; what came before the output ended
    // when it ends first.
    [[nodiscard]] std::string ReadLine();
    // Closes its standard input and waits at most limit for it to end, as RunConsoleProgram does;
    // out holds what it wrote and was not read.
    [[nodiscard]] ConsoleRun Finish(std::chrono::milliseconds limit);

private:
    struct Files;
    std::unique_ptr<Files> m_files;
    HANDLE m_input = nullptr;
    HANDLE m_output = nullptr;
    PROCESS_INFORMATION m_process{};
    std::string m_pending;
    bool m_finished = false;
};

// The bytes of a file, or "" when it cannot be read.
[[nodiscard]] std::string FileBytes(const std::filesystem::path& file);
