// The event pump of long commands: answers the thread's pending messages, at most every few
// milliseconds, so a command that pumps once per cell stays fast and the window stays live, and
// brings the window's lists up to date once a second.
#pragma once

#include <windows.h>

#include <functional>

#include "ports/EventPump.h"

class MessagePump : public EventPump {
public:
    // beforeMessages brings the window up to date; dialogKeys lets the keyboard move between
    // controls and answers whether it used the message; ending answers whether the main window
    // has been closed, so that the command is unwound.
    MessagePump(std::function<void()> beforeMessages, std::function<bool(MSG&)> dialogKeys,
                std::function<bool()> ending)
        : m_beforeMessages(std::move(beforeMessages)),
          m_dialogKeys(std::move(dialogKeys)),
          m_ending(std::move(ending)) {}

    void Pump() override;
    void PumpFor(std::chrono::milliseconds wait) override;
    void Wake() noexcept override;

private:
    // Answers the pending messages now.
    void PumpNow();

    static constexpr ULONGLONG kPumpInterval = 10;    // milliseconds
    static constexpr ULONGLONG kSyncInterval = 1000;  // milliseconds

    std::function<void()> m_beforeMessages;
    std::function<bool(MSG&)> m_dialogKeys;
    std::function<bool()> m_ending;
    // The UI thread, whose message queue the pump answers.
    DWORD m_thread = GetCurrentThreadId();
    ULONGLONG m_lastPump = 0;
    ULONGLONG m_lastSync = 0;
};
