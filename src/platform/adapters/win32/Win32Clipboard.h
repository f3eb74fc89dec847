// The clipboard through user32: Unicode text placed whole, or not at all.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ports/Clipboard.h"
#include "ports/EventPump.h"

class Win32Clipboard : public Clipboard {
public:
    // The clipboard is opened on behalf of owner. With a pump, the waits between attempts answer
    // the window's messages, so that it stays live while another program holds the clipboard.
    explicit Win32Clipboard(HWND owner, EventPump* pump = nullptr) noexcept
        : m_owner(owner), m_pump(pump) {}

    bool TryEmpty() override;
    bool TryPlaceText(const Text& text, std::uint32_t format) override;
    void WaitBeforeRetry() override;

private:
    HWND m_owner;
    EventPump* m_pump;
};
