// The system's wording of error codes.
#include "win32/Win32Text.h"

#include <algorithm>
#include <cstdio>

#include "win32/ScopedHandles.h"

Text SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const ScopedLocal<wchar_t> message(buffer);
    Text text = message ? TextOf(message.get()) : Text(u"Error");
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ' ||
                             text.back() == u'.')) {
        text.pop_back();
    }
    // "0x" and eight hexadecimal digits, with room to spare.
    constexpr std::size_t kCodeRoom = 16;
    char code[kCodeRoom];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(error));
    return text + u" (" + Utf8ToText(code) + u").";
}

void CopyToBuffer(TextView text, wchar_t* buffer, int capacity) noexcept {
    if (buffer == nullptr || capacity <= 0) {
        return;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
    std::copy_n(text.data(), length, reinterpret_cast<char16_t*>(buffer));
    buffer[length] = L'\0';
}
