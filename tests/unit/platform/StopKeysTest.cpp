// The window events adapter's stop keys: Ctrl+C and Ctrl+Break sent to the process's console end a
// wait with a wish to stop. A program can send only these two: a console's closing is the user's,
// and the watch's end with its last line on a stop is checked through the port (WatchTest).
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "win32/Win32WindowEvents.h"

namespace {

// Set in the copy of the tests that runs in a console of its own.
constexpr wchar_t kOwnConsole[] = L"TESSIVANE_STOP_KEYS_CONSOLE";
// The copy's exit code once each key it could send was heard: a key that no handler takes ends
// the program with another code, 0 under Wine.
constexpr int kKeysHeard = 42;

// Runs this test again in a copy of the program with a console of its own, which no other program
// shares to hear the keys; answers its exit code.
DWORD RunInAConsoleOfItsOwn() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    std::wstring line = L"\"" + path + L"\" --gtest_filter=StopKeys.*";
    SetEnvironmentVariableW(kOwnConsole, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                                   CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &started);
    SetEnvironmentVariableW(kOwnConsole, nullptr);
    DWORD exitCode = 1;
    // Only a hang fails here.
    if (ok && WaitForSingleObject(started.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(started.hProcess, &exitCode);
    }
    if (ok) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    return exitCode;
}

}  // namespace

TEST(StopKeys, CtrlCAndCtrlBreakEndAWaitAsAStop) {
    if (GetEnvironmentVariableW(kOwnConsole, nullptr, 0) == 0) {
        EXPECT_EQ(RunInAConsoleOfItsOwn(), static_cast<DWORD>(kKeysHeard));
        return;
    }
    SetConsoleCtrlHandler(nullptr, FALSE);
    for (const DWORD key : {CTRL_C_EVENT, CTRL_BREAK_EVENT}) {
        SCOPED_TRACE(key);
        Win32WindowEvents events;
        EXPECT_FALSE(events.Wait(std::chrono::milliseconds(0)).stopAsked);
        // Wine 8 sends Ctrl+C but refuses Ctrl+Break (ERROR_INVALID_HANDLE); Windows sends both.
        if (!GenerateConsoleCtrlEvent(key, 0)) {
            EXPECT_EQ(key, static_cast<DWORD>(CTRL_BREAK_EVENT)) << GetLastError();
            continue;
        }
        // Only a hang fails here: the key's handler runs on a thread of its own.
        EXPECT_TRUE(events.Wait(std::chrono::seconds(20)).stopAsked);
    }
    std::_Exit(HasFailure() ? 1 : kKeysHeard);
}
