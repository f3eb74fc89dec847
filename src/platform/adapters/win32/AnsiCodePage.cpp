// Text in the system's ANSI code page, through WideCharToMultiByte.
#include "win32/AnsiCodePage.h"

#include <windows.h>

#include <algorithm>

#include "win32/Win32Text.h"

namespace {

// The first code unit that is not ASCII.
constexpr char16_t kFirstNonAscii = 0x80;
// Room for one character in any code page, whose characters are at most 4 bytes.
constexpr std::size_t kCharacterRoom = 8;

}  // namespace

AnsiCodePage::AnsiCodePage() noexcept {
    CPINFO codePage{};
    if (GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 0) {
        m_mostBytesPerUnit = codePage.MaxCharSize;
    }
}

void AnsiCodePage::Append(TextView text, std::string& bytes) const {
    if (text.empty()) {
        return;
    }
    // Converted once into room for the most bytes it can take, then cut to what it took.
    const std::size_t at = bytes.size();
    const std::size_t room = text.size() * m_mostBytesPerUnit;
    bytes.resize(at + room);
    const int written = WideCharToMultiByte(
        CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
        bytes.data() + at, static_cast<int>(room), nullptr, nullptr);
    bytes.resize(at + static_cast<std::size_t>(std::max(written, 0)));
}

std::size_t AnsiCodePage::CountUnwritable(const Text& text) const {
    std::size_t unwritable = 0;
    for (std::size_t at = 0; at < text.size();) {
        // A character whose units are ASCII is written as it is in every ANSI code page.
        const bool pair =
            IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
        const int units = pair ? 2 : 1;
        if (text[at] >= kFirstNonAscii) {
            char bytes[kCharacterRoom];
            BOOL substituted = FALSE;
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, WideOf(text) + at, units, bytes,
                                sizeof(bytes), nullptr, &substituted);
            unwritable += substituted ? 1 : 0;
        }
        at += static_cast<std::size_t>(units);
    }
    return unwritable;
}
