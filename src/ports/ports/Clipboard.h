// Port: the clipboard, one attempt at a time; the retries are the caller's.
#pragma once

#include <cstdint>

#include "core/Text.h"

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // One attempt each; false when another program has the clipboard open.
    [[nodiscard]] virtual bool TryEmpty() = 0;
    // Format 0 is the standard Unicode text format.
    [[nodiscard]] virtual bool TryPlaceText(const Text& text, std::uint32_t format) = 0;
    // The short wait between two attempts.
    virtual void WaitBeforeRetry() = 0;
};
