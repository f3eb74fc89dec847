// The system's wording of error codes.
#include "win32/Win32Text.h"

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
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(error));
    return text + u" (" + Utf8ToText(code) + u").";
}
