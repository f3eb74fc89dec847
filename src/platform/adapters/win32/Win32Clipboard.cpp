// Unicode text on the clipboard.
#include "win32/Win32Clipboard.h"

#include <chrono>
#include <cstring>

#include "core/Failure.h"
#include "win32/ScopedHandles.h"

bool Win32Clipboard::TryEmpty() {
    const ClipboardSession clipboard(m_owner);
    return clipboard.Opened() && EmptyClipboard() != FALSE;
}

bool Win32Clipboard::TryPlaceText(const Text& text, std::uint32_t format) {
    // Opened first, so that a busy clipboard costs no copy of the text per attempt.
    const ClipboardSession clipboard(m_owner);
    if (!clipboard.Opened()) {
        return false;
    }
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* const copy = memory ? GlobalLock(memory.get()) : nullptr;
    if (copy == nullptr) {
        throw Failure(u"There is not enough memory to put the results on the clipboard.");
    }
    std::memcpy(copy, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (EmptyClipboard() == FALSE ||
        SetClipboardData(format == 0 ? CF_UNICODETEXT : format, memory.get()) == nullptr) {
        return false;
    }
    // The clipboard owns the memory once it is placed.
    memory.release();
    return true;
}

void Win32Clipboard::WaitBeforeRetry() {
    // The shortest wait there is: the program that holds the clipboard lets go of it in moments.
    constexpr std::chrono::milliseconds kRetryAfter{1};
    if (m_pump != nullptr) {
        m_pump->PumpFor(kRetryAfter);
    } else {
        Sleep(static_cast<DWORD>(kRetryAfter.count()));
    }
}
