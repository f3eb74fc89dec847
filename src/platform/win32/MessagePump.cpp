// The event pump of long commands.
#include "platform/win32/MessagePump.h"

void MessagePump::Pump() {
    const ULONGLONG now = GetTickCount64();
    if (now - m_last < kInterval) {
        return;
    }
    m_last = now;
    m_beforeMessages();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!m_dialogKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
