// The event pump of long commands.
#include "win32/MessagePump.h"

#include "core/Steps.h"

void MessagePump::Pump() {
    // Closed from a message box's own loop, whose end may have taken the quit with it.
    if (m_ending()) {
        PostQuitMessage(0);
        throw ProgramEnding();
    }
    if (GetTickCount64() - m_lastPump >= kPumpInterval) {
        PumpNow();
    }
}

void MessagePump::PumpFor(std::chrono::milliseconds wait) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    PumpNow();
}

void MessagePump::Wake() noexcept {
    PostThreadMessageW(m_thread, WM_NULL, 0, 0);
}

void MessagePump::PumpNow() {
    const ULONGLONG now = GetTickCount64();
    // Showing new rows costs a repaint of the lists, which competes with the walk for the
    // processor: once a second is enough to watch them come.
    if (now - m_lastSync >= kSyncInterval) {
        m_beforeMessages();
        m_lastSync = now;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: the message loop gets the quit again and ends the program
            // once the command has unwound.
            PostQuitMessage(static_cast<int>(message.wParam));
            throw ProgramEnding();
        }
        if (!m_dialogKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // The window closed by that message: the quit it posted may come only later.
        if (m_ending()) {
            throw ProgramEnding();
        }
    }
    // Counted from the end, so that a pump that took long leaves the command its share.
    m_lastPump = GetTickCount64();
}
