// Message boxes and files through the Win32 API.
#include "platform/win32/Win32Services.h"

#include <vector>

#include "common/Failure.h"
#include "platform/win32/Win32Text.h"

void Win32Dialogs::ShowErrorReport(const Text& message) {
    m_beforeShow();
    MessageBoxW(m_owner, WideOf(message), L"Application Error",
                MB_OK | MB_ICONEXCLAMATION | MB_APPLMODAL);
}

Text Win32Files::ApplicationFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw Failure(u"The program's own folder could not be found.");
        }
        if (length < path.size()) {
            const Text file = TextOf(path.data(), length);
            return file.substr(0, file.rfind(u'\\'));
        }
        path.resize(path.size() * 2);
    }
}

bool Win32Files::FileExists(const Text& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !path.empty() &&
           GetFileAttributesExW(WideOf(path), GetFileExInfoStandard, &data) != FALSE;
}
