// Running a console program with its output in files.
#include "tests/e2e/ConsoleRun.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/e2e/E2eSupport.h"

namespace {

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

ConsoleRun RunConsoleProgram(const std::filesystem::path& program, const std::wstring& arguments,
                             std::chrono::milliseconds limit, const std::filesystem::path& folder) {
    static int runs = 0;
    const std::filesystem::path files = BuildFolder() / L"e2e-tmp";
    std::filesystem::create_directories(files);
    const std::wstring stem =
        L"console-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
    const InheritedFile out(files / (stem + L".out"));
    const InheritedFile error(files / (stem + L".err"));
    const InheritedFile input(files / (stem + L".in"));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Handle();
    startup.hStdOutput = out.Handle();
    startup.hStdError = error.Handle();
    std::wstring line = L"\"" + program.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        (folder.empty() ? BuildFolder() : folder).c_str(), &startup, &started)) {
        throw std::runtime_error("cannot start the console program");
    }
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
    run.out = out.Bytes();
    run.error = error.Bytes();
    return run;
}
