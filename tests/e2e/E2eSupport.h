// What the end-to-end tests use to drive the real tool as a person would, from another process:
// start programs, find their windows, read and select list rows, click buttons and answer
// message boxes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// The folder of the test programs, where Tessivane.exe and the fixture are built too.
[[nodiscard]] std::filesystem::path BuildFolder();
// The folder for the files a run of the tests writes: build/e2e-tmp, or a folder of the group's
// own in it when the group runs beside others (TESSIVANE_TEST_GROUP names it).
[[nodiscard]] std::filesystem::path ScratchRoot();

// Polls until condition holds or timeout passes; answers whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 20s);

// A folder of its own for a test's files, removed at its end.
class ScratchFolder {
public:
    explicit ScratchFolder(std::filesystem::path path) : m_path(std::move(path)) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return m_path; }
    // The names of the files in it.
    [[nodiscard]] std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().wstring());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

// An environment variable set for the programs a test starts, and unset after it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::wstring& name, const std::wstring& value) : m_name(name) {
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(m_name.c_str(), nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring m_name;
};

// Where the automation double runs: in the tool's process, or in a process of its own as the real
// spreadsheet application does; or registered both ways, for the tool to choose.
enum class SpreadsheetServer { kInProcess, kLocal, kBoth };

// Our automation double stands in for the spreadsheet application while this lives: it is
// registered as "Excel.Application" (in HKLM, the only place where Wine reads ProgIDs). A local
// server is registered under a class of its own each time, which it is told on its command
// line: a server ended by a test leaves its class behind in the system, and no later test may
// find it there.
class RegisteredSpreadsheet {
public:
    explicit RegisteredSpreadsheet(SpreadsheetServer server = SpreadsheetServer::kInProcess);
    ~RegisteredSpreadsheet();
    RegisteredSpreadsheet(const RegisteredSpreadsheet&) = delete;
    RegisteredSpreadsheet& operator=(const RegisteredSpreadsheet&) = delete;

private:
    std::wstring m_classKey;
};

// A program started for one test and ended with it.
class Process {
public:
    explicit Process(const std::wstring& commandLine);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    [[nodiscard]] DWORD Id() const noexcept { return m_info.dwProcessId; }
    [[nodiscard]] HANDLE Handle() const noexcept { return m_info.hProcess; }
    [[nodiscard]] bool HasExited(std::chrono::milliseconds wait = 0ms) const;

private:
    PROCESS_INFORMATION m_info{};
};

// A visible top-level window of the process whose class and title match (empty: any).
[[nodiscard]] HWND FindTopLevel(DWORD processId, const std::wstring& className,
                                const std::wstring& title = L"");
[[nodiscard]] std::wstring WindowText(HWND window);

// A list view of another process, read and changed with memory in that process.
class RemoteList {
public:
    RemoteList(HWND list, HANDLE process) : m_list(list), m_process(process) {}

    [[nodiscard]] int RowCount() const;
    [[nodiscard]] int ColumnCount() const;
    [[nodiscard]] std::wstring Header(int column) const;
    [[nodiscard]] int ColumnWidth(int column) const;
    [[nodiscard]] std::wstring Cell(int row, int column) const;
    [[nodiscard]] std::vector<std::vector<std::wstring>> Rows() const;
    [[nodiscard]] bool Ticked(int row) const;
    // The indent of the row's first cell (LVM_GETITEM with LVIF_INDENT).
    [[nodiscard]] int Indent(int row) const;
    void Select(int row) const;
    // Clicks the row's tick box with the mouse.
    void ClickTick(int row) const;
    // Clicks the row's cell in column (its first cell by default), or double-clicks the first
    // cell, with the mouse.
    void Click(int row, int column = 0) const;
    void DoubleClick(int row) const;
    // Presses Enter on the list.
    void PressEnter() const;
    // The row's whole width, or its first cell's text (LVIR_LABEL), in the list's client
    // coordinates.
    [[nodiscard]] RECT RowBounds(int row, int part = LVIR_BOUNDS) const;
    // Clicks the column's header with the mouse; the image its header shows (-1: none).
    void ClickHeader(int column) const;
    [[nodiscard]] int HeaderImage(int column) const;

private:
    // The middle of the row's cell in column, in the list's client coordinates.
    [[nodiscard]] LPARAM RowPoint(int row, int column = 0) const;

    HWND m_list;
    HANDLE m_process;
};

// A message box shown by the tool.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    bool hasExclamationIcon = false;
    std::vector<std::wstring> buttons;  // captions in control order
};

// A box shown where none should be: a failure of the test in the tests, a line on standard
// error in the showcase (each program defines it).
void ReportUnexpectedBox();

// Checks a box's caption, text, icon and buttons, then saves its picture as artefact.
void ExpectBox(const MessageBoxSeen& box, const std::wstring& caption, const std::wstring& text,
               bool exclamationIcon, const std::vector<std::wstring>& buttons,
               const std::wstring& screenshotName = L"");

// Whether a tool starts with the settings that the user's earlier runs kept, or without any, so
// that no test's window place or column widths change another test's layout.
enum class KeptSettings { kForgotten, kKept };

// The tool's button that extracts the window chosen in its list, and its results list's id.
inline constexpr wchar_t kStartButton[] = L"Start Extracting From Selected Window (Above)";
inline constexpr int kResultsId = 103;

// The running tool: its main window and controls.
class Tool {
public:
    // Starts the program built beside the tests, or the one at program.
    explicit Tool(const std::filesystem::path& program = BuildFolder() / L"Tessivane.exe",
                  KeptSettings settings = KeptSettings::kForgotten);

    [[nodiscard]] HWND Main() const noexcept { return m_main; }
    [[nodiscard]] Process& Program() noexcept { return m_process; }
    [[nodiscard]] RemoteList WindowList() const;
    [[nodiscard]] RemoteList Results() const;
    [[nodiscard]] HWND Button(const std::wstring& caption) const;

    // Clicks a button from another thread, so the test can answer the boxes the command shows.
    std::future<void> Click(const std::wstring& caption) const;
    // Waits for the next message box of the tool; nothing when none shows within timeout.
    [[nodiscard]] std::optional<MessageBoxSeen> WaitForMessageBox(
        std::chrono::milliseconds timeout = 20s) const;
    // Waits for a dialog of the tool with that title.
    [[nodiscard]] HWND WaitForDialog(const std::wstring& title) const;
    // Presses the box's button with that id (IDOK, IDYES, IDNO) and waits until it is gone.
    static void Answer(const MessageBoxSeen& box, int buttonId);
    // Clicks and waits for the command to finish; a box that shows meanwhile is reported by
    // ReportUnexpectedBox and closed.
    void ClickAndWait(const std::wstring& caption) const;

private:
    Process m_process;
    HWND m_main = nullptr;
};

// Fills in the tool's save dialog with that title: chooses the type at typeIndex as a click on
// the type list does, types name and saves; answers the types the dialog offered (none when no
// such dialog showed).
std::vector<std::wstring> SaveThroughDialog(const Tool& tool, const std::wstring& title,
                                            const std::filesystem::path& name, int typeIndex);
// The bytes of a file that a program is writing, once it has some.
[[nodiscard]] std::string WrittenFileBytes(const std::filesystem::path& file);

// The Unicode text on the clipboard.
[[nodiscard]] std::wstring ClipboardText();

// The text of the main window's status line, which its control answers and the system does not
// keep.
[[nodiscard]] std::wstring StatusLineText(HWND main);

// The pointer shape shown now by the foreground window's thread. Cursors cannot be looked
// into from another process under Wine, so tests compare the handles.
[[nodiscard]] HCURSOR ShownCursor();

// Moves the pointer onto the middle of control, lets it rest there and answers the shape shown.
[[nodiscard]] HCURSOR PointerRestingOn(HWND control);

// Saves the screen area of a window's client area as a 24-bit BMP, for people to look at.
void SaveScreenshot(HWND window, const std::filesystem::path& file);
