// What the target fixture's modes share: failing with an exit code, the truth file, windows.
#include "tests/e2e/FixtureSupport.h"

#include <cstdint>
#include <string>

#include "tests/e2e/TruthFormat.h"

namespace {

// Stored in GWLP_USERDATA of the one window whose WM_CLOSE ends the program.
constexpr LONG_PTR kMainWindowMark = 1;

// A GUI program has no console; stderr is still useful when the test driver redirects it.
void WriteStdErr(std::wstring_view message) {
    HANDLE errorOutput = GetStdHandle(STD_ERROR_HANDLE);
    if (errorOutput == nullptr || errorOutput == INVALID_HANDLE_VALUE) return;
    const std::string bytes = ToUtf8(message);
    DWORD written = 0;
    WriteFile(errorOutput, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void Fail(int exitCode, std::wstring_view what) {
    std::wstring message = L"TargetFixture: ";
    message += what;
    message += L'\n';
    WriteStdErr(message);
    ExitProcess(static_cast<UINT>(exitCode));
}

void FailApi(int exitCode, std::wstring_view what) {
    const DWORD error = GetLastError();
    Fail(exitCode, std::wstring(what) + L" (error " + std::to_wstring(error) + L")");
}

std::wstring HandleField(HWND window) {
    return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)));
}

void WriteTruthFile(const std::wstring& path, std::wstring_view content) {
    const std::string bytes = ToUtf8(content);
    if (bytes.empty() && !content.empty()) Fail(kExitTruth, L"cannot encode the truth as UTF-8");
    const std::wstring tempPath = path + L".tmp";
    HANDLE file = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) FailApi(kExitTruth, L"cannot create " + tempPath);
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    if (!wrote || !closed || written != bytes.size()) {
        FailApi(kExitTruth, L"cannot write " + tempPath);
    }
    if (!MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        FailApi(kExitTruth, L"cannot rename " + tempPath + L" to " + path);
    }
}

LRESULT CALLBACK FixtureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && GetWindowLongPtrW(window, GWLP_USERDATA) == kMainWindowMark) {
        // No DestroyWindow: destroying the tree would have to wait for a hung thread to destroy
        // its child, which it never does. Process exit cleans up.
        PostQuitMessage(kExitOk);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFixtureClass(const Fixture& fixture, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = fixture.instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        FailApi(kExitSetup, std::wstring(L"cannot register class ") + className);
    }
}

HWND CreateWindowChecked(const Fixture& fixture, DWORD exStyle, const wchar_t* className,
                         const std::wstring& text, DWORD style, Placement at, HWND parent) {
    HWND window = CreateWindowExW(exStyle, className, text.c_str(), style, at.x, at.y, at.width,
                                  at.height, parent, nullptr, fixture.instance, nullptr);
    if (window == nullptr) {
        FailApi(kExitSetup, std::wstring(L"cannot create a window of class ") + className);
    }
    return window;
}

void MarkMainWindow(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, kMainWindowMark);
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return kExitOk;
        if (result == -1) FailApi(kExitSetup, L"GetMessageW failed");
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
