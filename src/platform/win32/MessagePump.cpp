// The event pump of long commands.
#include "win32/MessagePump.h"

#include "core/Steps.h"

void MessagePump::Pump() {
    const ULONGLONG now = GetTickCount64();
    if (now - m_lastPump < kPumpInterval) {
        return;
    }
    // Showing the rows costs a repaint of the lists: a few times a second is enough to watch.
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
