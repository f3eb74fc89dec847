// The window system's events (SetWinEventHook, out of context: nothing is loaded into the target)
// for the windows of one program, and Ctrl+C, Ctrl+Break and the console's closing as a wish to
// stop. One at a time in a process: the hook's callback and the console's handler reach it
// through a static.
#pragma once

#include <windows.h>

#include <vector>

#include "ports/WindowEvents.h"
#include "win32/ScopedHandles.h"

class Win32WindowEvents final : public WindowEvents {
public:
    Win32WindowEvents();
    ~Win32WindowEvents() override;
    Win32WindowEvents(const Win32WindowEvents&) = delete;
    Win32WindowEvents& operator=(const Win32WindowEvents&) = delete;

    [[nodiscard]] EventCoverage Listen(WindowHandle window) override;
    [[nodiscard]] EventWake Wait(std::chrono::milliseconds timeout) override;

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    static BOOL WINAPI OnConsoleControl(DWORD control);
    // Hooks the events of the process; answers the hook, nullptr when the system refused.
    static HWINEVENTHOOK Hook(DWORD processId);
    // Tries each kind of change on a window of its own and answers which the system reported.
    EventCoverage ProbeCoverage();
    // Answers the thread's messages, through which the events come.
    static void PumpMessages();

    std::vector<WindowEvent> m_events;
    HWINEVENTHOOK m_hook = nullptr;
    // Set by the console's handler; the handler of a closing console waits for finished.
    ScopedKernelHandle m_stop;
    ScopedKernelHandle m_finished;
};
