// The event pump of long commands: answers the thread's pending messages, at most every few
// milliseconds, so a command that pumps once per cell stays fast and the window stays live.
#pragma once

#include <windows.h>

#include <functional>

#include "output/Ports.h"

class MessagePump : public EventPump {
public:
    // beforeMessages brings the window up to date; dialogKeys lets the keyboard move between
    // controls and answers whether it used the message.
    MessagePump(std::function<void()> beforeMessages, std::function<bool(MSG&)> dialogKeys)
        : m_beforeMessages(std::move(beforeMessages)), m_dialogKeys(std::move(dialogKeys)) {}

    void Pump() override;

private:
    static constexpr ULONGLONG kInterval = 10;  // milliseconds

    std::function<void()> m_beforeMessages;
    std::function<bool(MSG&)> m_dialogKeys;
    ULONGLONG m_last = 0;
};
