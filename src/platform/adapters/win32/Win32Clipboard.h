// The clipboard through user32: Unicode text placed whole, or not at all.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ports/Clipboard.h"

class Win32Clipboard : public Clipboard {
public:
    // The clipboard is opened on behalf of owner.
    explicit Win32Clipboard(HWND owner) noexcept : m_owner(owner) {}

    bool TryEmpty() override;
    bool TryPlaceText(const Text& text, std::uint32_t format) override;
    void WaitBeforeRetry() override;

private:
    HWND m_owner;
};
