// The system's wording of error codes.
#include "platform/win32/Win32Text.h"

#include <cstdio>

Text SystemMessage(DWORD error) {
    wchar_t* message = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    Text text = message != nullptr ? TextOf(message) : Text(u"Error");
    LocalFree(message);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ' ||
                             text.back() == u'.')) {
        text.pop_back();
    }
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(error));
    return text + u" (" + Utf8ToText(code) + u").";
}
