// Running a console program with its output in files.
#include "tests/e2e/ConsoleRun.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "tests/e2e/E2eSupport.h"

namespace {

// How often a run's output is looked at while lines are awaited.
constexpr DWORD kLinePollMs = 50;

// A file the started program inherits as one of its standard handles.
class InheritedFile {
public:
    explicit InheritedFile(const std::filesystem::path& path) : m_path(path) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        m_handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle == INVALID_HANDLE_VALUE) {
            throw std::runtime_error("cannot make a file for the program's output");
        }
    }
    ~InheritedFile() {
        CloseHandle(m_handle);
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;

    [[nodiscard]] HANDLE Handle() const noexcept { return m_handle; }
    [[nodiscard]] std::string Bytes() const { return FileBytes(m_path); }

private:
    std::filesystem::path m_path;
    HANDLE m_handle;
};

}  // namespace

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// The start of the names of a new run's files, in the folder for them.
std::filesystem::path RunStem() {
    static int runs = 0;
    const std::filesystem::path files = ScratchRoot();
    std::filesystem::create_directories(files);
    return files /
           (L"console-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs));
}

// The files a run's standard handles go to, named after the run.
struct RunFiles {
    explicit RunFiles(const std::filesystem::path& stem = RunStem())
        : out(stem.wstring() + L".out"),
          error(stem.wstring() + L".err"),
          input(stem.wstring() + L".in") {}

    InheritedFile out;
    InheritedFile error;
    InheritedFile input;
};

// Starts the program with these standard handles; answers its process.
PROCESS_INFORMATION Start(const std::filesystem::path& program, const std::wstring& arguments,
                          HANDLE input, HANDLE out, HANDLE error,
                          const std::filesystem::path& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = out;
    startup.hStdError = error;
    std::wstring line = L"\"" + program.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        (folder.empty() ? BuildFolder() : folder).c_str(), &startup, &started)) {
        throw std::runtime_error("cannot start the console program: error " +
                                 std::to_string(GetLastError()));
    }
    return started;
}

// Waits at most limit for the process to end, ends it when it does not; answers how it went.
ConsoleRun Finish(const PROCESS_INFORMATION& started, std::chrono::milliseconds limit) {
    ConsoleRun run;
    run.finished =
        WaitForSingleObject(started.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
    if (!run.finished) {
        TerminateProcess(started.hProcess, 1);
        WaitForSingleObject(started.hProcess, INFINITE);
    }
    GetExitCodeProcess(started.hProcess, &run.exitCode);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return run;
}

}  // namespace

ConsoleRun RunConsoleProgram(const std::filesystem::path& program, const std::wstring& arguments,
                             std::chrono::milliseconds limit, const std::filesystem::path& folder) {
    const RunFiles files;
    const PROCESS_INFORMATION started = Start(program, arguments, files.input.Handle(),
                                              files.out.Handle(), files.error.Handle(), folder);
    ConsoleRun run = Finish(started, limit);
    run.out = files.out.Bytes();
    run.error = files.error.Bytes();
    return run;
}

ConsoleRun RunConsoleProgramAfterLines(const std::filesystem::path& program,
                                       const std::wstring& arguments,
                                       std::chrono::milliseconds limit, std::size_t lines,
                                       const std::function<void(const RunningProgram&)>& then) {
    const RunFiles files;
    const PROCESS_INFORMATION started = Start(program, arguments, files.input.Handle(),
                                              files.out.Handle(), files.error.Handle(), {});
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    while (GetTickCount64() < end &&
           static_cast<std::size_t>(std::ranges::count(files.out.Bytes(), '\n')) < lines &&
           WaitForSingleObject(started.hProcess, kLinePollMs) == WAIT_TIMEOUT) {
    }
    then({started.hProcess, [&files] { return files.out.Bytes(); }});
    const ULONGLONG now = GetTickCount64();
    ConsoleRun run = Finish(started, std::chrono::milliseconds(now < end ? end - now : 1));
    run.out = files.out.Bytes();
    run.error = files.error.Bytes();
    return run;
}

ConsoleRun RunConsoleProgramReadingOneLine(const std::filesystem::path& program,
                                           const std::wstring& arguments,
                                           std::chrono::milliseconds limit) {
    const RunFiles files;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, &inherit, 0)) {
        throw std::runtime_error("cannot make a pipe for the program's output");
    }
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    const PROCESS_INFORMATION started =
        Start(program, arguments, files.input.Handle(), writer, files.error.Handle(), {});
    // Only the program holds the writing end now, so the pipe ends when it does.
    CloseHandle(writer);
    std::string line;
    char byte = 0;
    DWORD read = 0;
    while (!line.ends_with('\n') && ReadFile(reader, &byte, 1, &read, nullptr) && read == 1) {
        line += byte;
    }
    CloseHandle(reader);
    ConsoleRun run = Finish(started, limit);
    run.out = line;
    run.error = files.error.Bytes();
    return run;
}

struct ConsoleSession::Files {
    InheritedFile error{RunStem().wstring() + L".err"};
};

namespace {

// A pipe whose one end the started program inherits: inheritedWrites, the writing end.
std::pair<HANDLE, HANDLE> InheritedPipe(bool inheritedWrites) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, &inherit, 0)) {
        throw std::runtime_error("cannot make a pipe for a console program");
    }
    SetHandleInformation(inheritedWrites ? reader : writer, HANDLE_FLAG_INHERIT, 0);
    return {reader, writer};
}

}  // namespace

ConsoleSession::ConsoleSession(const std::filesystem::path& program, const std::wstring& arguments)
    : m_files(std::make_unique<Files>()) {
    const auto [inputReader, inputWriter] = InheritedPipe(false);
    const auto [outputReader, outputWriter] = InheritedPipe(true);
    m_input = inputWriter;
    m_output = outputReader;
    m_process = Start(program, arguments, inputReader, outputWriter, m_files->error.Handle(), {});
    // Only the program holds its ends now, so each pipe ends when it does.
    CloseHandle(inputReader);
    CloseHandle(outputWriter);
}

ConsoleSession::~ConsoleSession() {
    if (!m_finished) {
        static_cast<void>(Finish(std::chrono::milliseconds(0)));
    }
}

bool ConsoleSession::Write(std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(m_input, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
               FALSE &&
           written == bytes.size();
}

std::string ConsoleSession::ReadLine() {
    constexpr DWORD kBlock = 1 << 16;
    std::size_t end = m_pending.find('\n');
    while (end == std::string::npos) {
        const std::size_t had = m_pending.size();
        m_pending.resize(had + kBlock);
        DWORD read = 0;
        const bool more =
            ReadFile(m_output, m_pending.data() + had, kBlock, &read, nullptr) && read > 0;
        m_pending.resize(had + read);
        if (!more) {
            return std::exchange(m_pending, {});
        }
        end = m_pending.find('\n', had);
    }
    std::string line = m_pending.substr(0, end + 1);
    m_pending.erase(0, end + 1);
    return line;
}

ConsoleRun ConsoleSession::Finish(std::chrono::milliseconds limit) {
    m_finished = true;
    CloseHandle(m_input);
    ConsoleRun run = ::Finish(m_process, limit);
    run.out = std::exchange(m_pending, {});
    CloseHandle(m_output);
    run.error = m_files->error.Bytes();
    return run;
}
