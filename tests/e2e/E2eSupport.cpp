// Driving the real tool from another process.
#include "tests/e2e/E2eSupport.h"

#include "tests/e2e/TruthFormat.h"
#include "win32/Win32Settings.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

// Memory in another process, freed with the object.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : m_process(process),
          m_address(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        if (m_address == nullptr) {
            throw std::runtime_error("VirtualAllocEx failed");
        }
    }
    ~RemoteMemory() { VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE); }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    template <typename T>
    T* At(std::size_t offset = 0) const {
        return reinterpret_cast<T*>(static_cast<char*>(m_address) + offset);
    }
    void Write(const void* data, std::size_t size, std::size_t offset = 0) const {
        WriteProcessMemory(m_process, At<char>(offset), data, size, nullptr);
    }
    void Read(void* data, std::size_t size, std::size_t offset = 0) const {
        ReadProcessMemory(m_process, At<char>(offset), data, size, nullptr);
    }

private:
    HANDLE m_process;
    void* m_address;
};

constexpr std::size_t kTextUnits = 1 << 16;

}  // namespace

std::filesystem::path BuildFolder() {
    wchar_t path[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path ScratchRoot() {
    // Groups that run side by side, each in a Wine prefix of its own, may see the same process
    // ids: each keeps its files in a folder named after it.
    wchar_t group[64] = L"";
    GetEnvironmentVariableW(L"TESSIVANE_TEST_GROUP", group, static_cast<DWORD>(std::size(group)));
    return BuildFolder() / L"e2e-tmp" / group;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

namespace {

constexpr wchar_t kClassesKey[] = L"Software\\Classes\\CLSID\\";
constexpr wchar_t kDoubleClass[] = L"{7E1B3C42-5A4D-4E57-9C1A-2B7F0D6E9A11}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Excel.Application";

// A new class identifier in its registry form.
std::wstring NewClass() {
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t text[40] = L"";
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                    nullptr);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

}  // namespace

RegisteredSpreadsheet::RegisteredSpreadsheet(SpreadsheetServer server) {
    const bool local = server != SpreadsheetServer::kInProcess;
    const std::wstring classId = local ? NewClass() : kDoubleClass;
    m_classKey = kClassesKey + classId;
    SetValue(std::wstring(kProgIdKey) + L"\\CLSID", nullptr, classId);
    if (local) {
        SetValue(
            m_classKey + L"\\LocalServer32", nullptr,
            L"\"" + (BuildFolder() / L"AutomationServerDouble.exe").wstring() + L"\" " + classId);
    }
    if (server != SpreadsheetServer::kLocal) {
        SetValue(m_classKey + L"\\InprocServer32", nullptr,
                 (BuildFolder() / L"AutomationDouble.dll").wstring());
        SetValue(m_classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
}

RegisteredSpreadsheet::~RegisteredSpreadsheet() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_classKey.c_str());
}

Process::Process(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // Under a loaded Wine a start can fail for a moment just after a large program ended (seen
    // once in CI after a 2,001-window target); a few tries over 5 s tell that from a real fault.
    DWORD error = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::wstring line = commandLine;
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           BuildFolder().c_str(), &startup, &m_info)) {
            return;
        }
        error = GetLastError();
        std::fprintf(stderr, "CreateProcess failed with error %lu, attempt %d\n", error,
                     attempt + 1);
        Sleep(500);
    }
    throw std::runtime_error("CreateProcess failed with error " + std::to_string(error));
}

Process::~Process() {
    if (!HasExited()) {
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool Process::HasExited(std::chrono::milliseconds wait) const {
    return WaitForSingleObject(m_info.hProcess, static_cast<DWORD>(wait.count())) == WAIT_OBJECT_0;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

}  // namespace

HWND FindTopLevel(DWORD processId, const std::wstring& className, const std::wstring& title) {
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) && ClassOf(window) == className &&
            (title.empty() || WindowText(window) == title)) {
            return window;
        }
    }
    return nullptr;
}

int RemoteList::RowCount() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteList::ColumnCount() const {
    const auto header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::wstring RemoteList::Header(int column) const {
    RemoteMemory memory(m_process, sizeof(LVCOLUMNW) + 512 * sizeof(wchar_t));
    LVCOLUMNW request{};
    request.mask = LVCF_TEXT;
    request.pszText = memory.At<wchar_t>(sizeof(LVCOLUMNW));
    request.cchTextMax = 512;
    memory.Write(&request, sizeof(request));
    SendMessageW(m_list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(memory.At<LVCOLUMNW>()));
    wchar_t text[512] = L"";
    memory.Read(text, sizeof(text), sizeof(LVCOLUMNW));
    text[511] = L'\0';
    return text;
}

int RemoteList::ColumnWidth(int column) const {
    return static_cast<int>(
        SendMessageW(m_list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::wstring RemoteList::Cell(int row, int column) const {
    RemoteMemory memory(m_process, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = memory.At<wchar_t>(sizeof(LVITEMW));
    request.cchTextMax = static_cast<int>(kTextUnits);
    memory.Write(&request, sizeof(request));
    const auto length =
        static_cast<std::size_t>(SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(memory.At<LVITEMW>())));
    std::wstring text(length, L'\0');
    memory.Read(text.data(), length * sizeof(wchar_t), sizeof(LVITEMW));
    return text;
}

std::vector<std::vector<std::wstring>> RemoteList::Rows() const {
    std::vector<std::vector<std::wstring>> rows;
    const int columns = ColumnCount();
    for (int row = 0, count = RowCount(); row < count; ++row) {
        auto& cells = rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            cells.push_back(Cell(row, column));
        }
    }
    return rows;
}

bool RemoteList::Ticked(int row) const {
    const auto state = static_cast<UINT>(
        SendMessageW(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

int RemoteList::Indent(int row) const {
    RemoteMemory memory(m_process, sizeof(LVITEMW));
    LVITEMW request{};
    request.mask = LVIF_INDENT;
    request.iItem = row;
    memory.Write(&request, sizeof(request));
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.At<LVITEMW>()));
    memory.Read(&request, sizeof(request));
    return request.iIndent;
}

void RemoteList::Select(int row) const {
    RemoteMemory memory(m_process, sizeof(LVITEMW));
    LVITEMW request{};
    request.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    request.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory.Write(&request, sizeof(request));
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(memory.At<LVITEMW>()));
}

void RemoteList::ClickTick(int row) const {
    RemoteMemory memory(m_process, sizeof(LVHITTESTINFO) + sizeof(RECT));
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    memory.Write(&bounds, sizeof(bounds));
    SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(memory.At<RECT>()));
    memory.Read(&bounds, sizeof(bounds));
    // Find the tick box along the row the way the control itself sees it.
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, (bounds.top + bounds.bottom) / 2};
        memory.Write(&hit, sizeof(hit), sizeof(RECT));
        SendMessageW(m_list, LVM_HITTEST, 0,
                     reinterpret_cast<LPARAM>(memory.At<LVHITTESTINFO>(sizeof(RECT))));
        memory.Read(&hit, sizeof(hit), sizeof(RECT));
        if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
            const LPARAM point = MAKELPARAM(x, hit.pt.y);
            SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageW(m_list, WM_LBUTTONUP, 0, point);
            return;
        }
    }
    throw std::runtime_error("no tick box found on the row");
}

RECT RemoteList::RowBounds(int row, int part) const {
    RemoteMemory memory(m_process, sizeof(RECT));
    RECT bounds{part, 0, 0, 0};
    memory.Write(&bounds, sizeof(bounds));
    SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(memory.At<RECT>()));
    memory.Read(&bounds, sizeof(bounds));
    return bounds;
}

void RemoteList::ClickHeader(int column) const {
    const HWND header = ListView_GetHeader(m_list);
    RemoteMemory memory(m_process, sizeof(RECT));
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(memory.At<RECT>()));
    RECT bounds{};
    memory.Read(&bounds, sizeof(bounds));
    const LPARAM point =
        MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(header, WM_LBUTTONUP, 0, point);
}

int RemoteList::HeaderImage(int column) const {
    RemoteMemory memory(m_process, sizeof(HDITEMW));
    HDITEMW request{};
    request.mask = HDI_FORMAT | HDI_IMAGE;
    memory.Write(&request, sizeof(request));
    SendMessageW(ListView_GetHeader(m_list), HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(memory.At<HDITEMW>()));
    memory.Read(&request, sizeof(request));
    return (request.fmt & HDF_IMAGE) != 0 ? request.iImage : -1;
}

LPARAM RemoteList::RowPoint(int row, int column) const {
    RECT bounds = RowBounds(row, LVIR_LABEL);
    if (column > 0) {
        RemoteMemory memory(m_process, sizeof(RECT));
        bounds = RECT{LVIR_LABEL, column, 0, 0};
        memory.Write(&bounds, sizeof(bounds));
        SendMessageW(m_list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(memory.At<RECT>()));
        memory.Read(&bounds, sizeof(bounds));
    }
    return MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
}

void RemoteList::Click(int row, int column) const {
    const LPARAM point = RowPoint(row, column);
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(m_list, WM_LBUTTONUP, 0, point);
}

void RemoteList::DoubleClick(int row) const {
    Click(row);
    const LPARAM point = RowPoint(row);
    SendMessageW(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(m_list, WM_LBUTTONUP, 0, point);
}

// Posted, as a key press is: the tool's message loop gives its dialog keys their meaning.
void RemoteList::PressEnter() const {
    PostMessageW(m_list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(m_list, WM_KEYUP, VK_RETURN, 1);
}

namespace {

// The command line that starts program, with the settings of earlier runs forgotten first when
// they are not to be kept: the program reads them as it starts.
std::wstring StartingWithSettings(const std::filesystem::path& program, KeptSettings settings) {
    if (settings == KeptSettings::kForgotten) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }
    return L"\"" + program.wstring() + L"\"";
}

}  // namespace

Tool::Tool(const std::filesystem::path& program, KeptSettings settings)
    : m_process(StartingWithSettings(program, settings)) {
    // The first program of a new Wine prefix waits for the prefix's services to start, and groups
    // that run side by side start theirs at once: a minute, as the fixture's truth has two. (A
    // window that has not shown by then did not show in two minutes either.)
    WaitUntil(
        [&] { return (m_main = FindTopLevel(m_process.Id(), L"TessivaneMainWindow")) != nullptr; },
        60s);
    if (m_main == nullptr) {
        // What it shows instead, if anything, says where its start stopped.
        const HWND box = FindTopLevel(m_process.Id(), L"#32770");
        DWORD exitCode = 0;
        GetExitCodeProcess(m_process.Handle(), &exitCode);
        throw std::runtime_error(
            "the tool's main window did not show" +
            (box != nullptr ? "; it shows a box: " + ToUtf8(WindowText(box)) + ": " +
                                  ToUtf8(WindowText(GetDlgItem(box, 0xFFFF)))
             : exitCode == STILL_ACTIVE ? std::string("; it runs and shows no box")
                                        : "; it ended with exit code " + std::to_string(exitCode)));
    }
}

RemoteList Tool::WindowList() const {
    return RemoteList(GetDlgItem(m_main, 101), m_process.Handle());
}

RemoteList Tool::Results() const {
    return RemoteList(GetDlgItem(m_main, 103), m_process.Handle());
}

HWND Tool::Button(const std::wstring& caption) const {
    for (HWND child = GetWindow(m_main, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button" && WindowText(child) == caption) {
            return child;
        }
    }
    throw std::runtime_error("no such button");
}

std::future<void> Tool::Click(const std::wstring& caption) const {
    const HWND button = Button(caption);
    return std::async(std::launch::async, [button] { SendMessageW(button, BM_CLICK, 0, 0); });
}

std::optional<MessageBoxSeen> Tool::WaitForMessageBox(std::chrono::milliseconds timeout) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindTopLevel(m_process.Id(), L"#32770")) != nullptr; },
                   timeout)) {
        return std::nullopt;
    }
    // The box fills itself in as it shows; give it a moment to settle.
    std::this_thread::sleep_for(100ms);
    MessageBoxSeen seen;
    seen.window = box;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, 0xFFFF));
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button") {
            seen.buttons.push_back(WindowText(child));
        } else if (ClassOf(child) == L"Static" && GetDlgCtrlID(child) != 0xFFFF &&
                   (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            seen.hasExclamationIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        }
    }
    return seen;
}

HWND Tool::WaitForDialog(const std::wstring& title) const {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindTopLevel(m_process.Id(), L"#32770", title)) != nullptr; });
    return dialog;
}

void Tool::Answer(const MessageBoxSeen& box, int buttonId) {
    PostMessageW(GetDlgItem(box.window, buttonId), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

void Tool::ClickAndWait(const std::wstring& caption) const {
    std::future<void> click = Click(caption);
    while (click.wait_for(50ms) != std::future_status::ready) {
        if (const HWND box = FindTopLevel(m_process.Id(), L"#32770")) {
            ReportUnexpectedBox();
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
    }
}

std::wstring ClipboardText() {
    std::wstring text;
    WaitUntil([] { return OpenClipboard(nullptr) != FALSE; });
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::wstring StatusLineText(HWND main) {
    constexpr int kStatusLineId = 104;
    wchar_t text[256] = L"";
    SendMessageW(GetDlgItem(main, kStatusLineId), WM_GETTEXT, std::size(text),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

HCURSOR ShownCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    GetCursorInfo(&info);
    return info.hCursor;
}

HCURSOR PointerRestingOn(HWND control) {
    RECT bounds;
    GetWindowRect(control, &bounds);
    SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    Sleep(400);
    return ShownCursor();
}

void SaveScreenshot(HWND window, const std::filesystem::path& file) {
    // The client area, with the menu bar above it: without a window manager nobody draws the
    // frame, but the system draws the menu bar.
    RECT bounds;
    GetClientRect(window, &bounds);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    // The menu lives in the tool's process, so its bar's height is what the frame adds for one.
    if (GetMenu(window) != nullptr) {
        const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        RECT withMenu{};
        RECT withoutMenu{};
        AdjustWindowRectEx(&withMenu, style, TRUE, 0);
        AdjustWindowRectEx(&withoutMenu, style, FALSE, 0);
        bounds.top -= withoutMenu.top - withMenu.top;
    }
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(height);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

namespace {

// The save dialog's type list and file name box.
constexpr int kFileTypes = 0x470;
constexpr int kFileName = 0x47C;

}  // namespace

std::vector<std::wstring> SaveThroughDialog(const Tool& tool, const std::wstring& title,
                                            const std::filesystem::path& name, int typeIndex) {
    const HWND dialog = tool.WaitForDialog(title);
    if (dialog == nullptr) {
        return {};
    }
    std::this_thread::sleep_for(300ms);  // the dialog fills itself in just after it shows
    const HWND types = GetDlgItem(dialog, kFileTypes);
    std::vector<std::wstring> offered;
    for (int type = 0; type < SendMessageW(types, CB_GETCOUNT, 0, 0); ++type) {
        wchar_t entry[128] = L"";
        SendMessageW(types, CB_GETLBTEXT, type, reinterpret_cast<LPARAM>(entry));
        offered.emplace_back(entry);
    }
    // Chosen as a click on the list does: the selection, then the change and its end.
    SendMessageW(types, CB_SETCURSEL, typeIndex, 0);
    for (const WORD notification : {CBN_SELCHANGE, CBN_SELENDOK}) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, notification),
                     reinterpret_cast<LPARAM>(types));
    }
    const HWND box = FindWindowExW(GetDlgItem(dialog, kFileName), nullptr, nullptr, nullptr);
    const HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    SendMessageW(edit != nullptr ? edit : box, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(dialog); });
    return offered;
}

std::string WrittenFileBytes(const std::filesystem::path& file) {
    std::string bytes;
    WaitUntil([&] {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return !bytes.empty();
    });
    return bytes;
}
