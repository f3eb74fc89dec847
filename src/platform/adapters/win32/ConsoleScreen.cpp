// Console windows' lines, read by a helper process that attaches to their console.
#include "win32/ConsoleScreen.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

#include "win32/ScopedHandles.h"
#include "win32/Win32Text.h"

namespace {

// How often the reader looks whether the helper has written more or ended.
constexpr DWORD kPollMs = 10;

using ScopedFile = ScopedFileHandle<KernelHandleDeleter>;

// The path of tessivane-cli.exe beside the running program.
std::wstring HelperPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"tessivane-cli.exe";
}

// Whether this process is now attached to the console that window shows.
bool AttachedTo(DWORD processId, HWND window) {
    if (!AttachConsole(processId)) {
        return false;
    }
    if (GetConsoleWindow() == window) {
        return true;
    }
    FreeConsole();
    return false;
}

// Attaches to the console of the process that owns window, or else to that of each process in
// turn until one is window's.
bool AttachToConsoleOf(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    FreeConsole();
    if (owner != 0 && AttachedTo(owner, window)) {
        return true;
    }
    const ScopedKernelHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!processes || processes.get() == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(processes.get(), &entry); more;
         more = Process32NextW(processes.get(), &entry)) {
        if (entry.th32ProcessID != GetCurrentProcessId() && entry.th32ProcessID != owner &&
            AttachedTo(entry.th32ProcessID, window)) {
            return true;
        }
    }
    return false;
}

void WriteAll(HANDLE out, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD now = 0;
        if (!WriteFile(out, bytes.data() + written, static_cast<DWORD>(bytes.size() - written),
                       &now, nullptr) ||
            now == 0) {
            return;
        }
        written += now;
    }
}

// The helper's output, its lines split; each ends with a line feed.
std::vector<Text> LinesOf(const std::string& bytes) {
    std::vector<Text> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string::npos;
         start = end + 1, end = bytes.find('\n', start)) {
        lines.push_back(Utf8ToText(std::string_view(bytes).substr(start, end - start)));
    }
    return lines;
}

}  // namespace

int WriteConsoleLines(HWND console, std::size_t maxUnits) {
    // The standard output this process was given, before attaching could change it.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!AttachToConsoleOf(console)) {
        return kConsoleNotFound;
    }
    const ScopedFile screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!screen.Valid() || !GetConsoleScreenBufferInfo(screen.Get(), &info)) {
        FreeConsole();
        return kConsoleNotFound;
    }
    const SMALL_RECT shown = info.srWindow;
    std::vector<Text> lines;
    for (SHORT row = shown.Top; row <= shown.Bottom; ++row) {
        std::wstring line(static_cast<std::size_t>(shown.Right - shown.Left + 1), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen.Get(), line.data(), static_cast<DWORD>(line.size()),
                                    COORD{shown.Left, row}, &read);
        line.resize(std::min<std::size_t>(read, maxUnits));
        line.erase(line.find_last_not_of(L' ') + 1);
        // A cell may hold any character: a line feed in one would split the line.
        for (wchar_t& cell : line) {
            if (cell == L'\n' || cell == L'\r') {
                cell = L' ';
            }
        }
        lines.push_back(TextOf(line.data(), line.size()));
    }
    FreeConsole();
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    std::string bytes;
    for (const Text& line : lines) {
        bytes += TextToUtf8(line) + "\n";
    }
    WriteAll(out, bytes);
    return kConsoleLinesRead;
}

RemoteTexts ReadConsoleLines(HWND console, std::size_t maxUnits) {
    RemoteTexts read;
    read.end = RemoteEnd::Gone;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, &inherit, 0)) {
        return read;
    }
    const ScopedKernelHandle ownedReader(reader);
    ScopedKernelHandle ownedWriter(writer);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = writer;
    std::wstring line = L"\"" + HelperPath() + L"\" " + kConsoleLinesOption + L" " +
                        std::to_wstring(HandleOf(console)) + L" " + std::to_wstring(maxUnits);
    PROCESS_INFORMATION started{};
    // Started without a console of its own, so that it may attach to the one it reads.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &started)) {
        return read;
    }
    const ScopedKernelHandle process(started.hProcess);
    CloseHandle(started.hThread);
    // Only the helper writes to the pipe now, so it ends when the helper does.
    ownedWriter.reset();
    std::string bytes;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(kConsoleReadBound.count());
    for (;;) {
        DWORD waiting = 0;
        const bool open = PeekNamedPipe(reader, nullptr, 0, nullptr, &waiting, nullptr) != 0;
        if (waiting > 0) {
            std::string block(waiting, '\0');
            DWORD got = 0;
            if (ReadFile(reader, block.data(), waiting, &got, nullptr)) {
                bytes.append(block, 0, got);
            }
            continue;
        }
        if (!open) {
            break;  // the helper has ended and everything it wrote was read
        }
        if (GetTickCount64() >= end) {
            TerminateProcess(process.get(), 1);
            read.end = RemoteEnd::TimedOut;
            return read;
        }
        Sleep(kPollMs);
    }
    WaitForSingleObject(process.get(), static_cast<DWORD>(kConsoleReadBound.count()));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    if (exitCode != kConsoleLinesRead) {
        return read;
    }
    read.texts = LinesOf(bytes);
    read.end = RemoteEnd::Answered;
    return read;
}
