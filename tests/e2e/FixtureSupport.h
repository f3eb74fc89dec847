// What the target fixture's modes share: its options, failing with an exit code that names the
// stage, the truth file, window creation and the message loop.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitSetup = 3;
inline constexpr int kExitTruth = 4;
inline constexpr int kExitMismatch = 5;

inline constexpr int kDefaultBenchCount = 20000;
inline constexpr int kDefaultHoldMs = 5000;

struct Options {
    std::wstring mode;
    std::wstring truthPath;
    int wide = 0;
    bool hung = false;
    bool states = false;  // tree mode: a hidden edit and a disabled edit too
    bool menu = false;    // tree mode: a menu bar on the top window
    int count = kDefaultBenchCount;
    int holdMs = kDefaultHoldMs;
    std::wstring kind;  // hostile modes: how the windows or controls misbehave
    int rows = 0;       // items mode: rows of the report list view (0: its usual dozen)
    int treeItems = 0;  // items mode: items of the tree view (0: its usual few)
    int nodes = 0;      // accessible mode: nodes of the generated tree (0: the usual tree)
};

struct Fixture {
    HINSTANCE instance = nullptr;
    std::wstring longClassName;
};

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Exit codes tell the test driver which stage failed; stderr says why.
[[noreturn]] void Fail(int exitCode, std::wstring_view what);
// Fail with GetLastError's code added.
[[noreturn]] void FailApi(int exitCode, std::wstring_view what);

// Handles are 32 bits significant even in 64-bit processes; this is the form the tool prints.
[[nodiscard]] std::wstring HandleField(HWND window);

// Written to a temporary file and renamed so a poller never sees a partial truth file.
void WriteTruthFile(const std::wstring& path, std::wstring_view content);

// The window procedure of the fixture's plain windows: WM_CLOSE of the main window ends the
// program.
LRESULT CALLBACK FixtureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RegisterFixtureClass(const Fixture& fixture, const wchar_t* className,
                          WNDPROC procedure = FixtureWindowProc);
HWND CreateWindowChecked(const Fixture& fixture, DWORD exStyle, const wchar_t* className,
                         const std::wstring& text, DWORD style, Placement at, HWND parent);
// The one window whose WM_CLOSE ends the program.
void MarkMainWindow(HWND window);

// Runs until WM_QUIT; answers the exit code.
int RunMessageLoop();
