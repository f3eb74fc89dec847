// The user's settings in the registry.
#include "win32/Win32Settings.h"

#include <windows.h>

#include <vector>

#include "win32/Win32Text.h"

namespace {

// A text longer than this is no setting of the program's.
constexpr DWORD kLongestTextBytes = 65536;

// The value's bytes, when the program's key has a value of that name and type; false otherwise.
bool ReadValue(TextView name, DWORD type, void* data, DWORD& bytes) noexcept {
    try {
        const Text valueName(name);
        return RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, WideOf(valueName),
                            type == REG_DWORD ? RRF_RT_REG_DWORD : RRF_RT_REG_SZ, nullptr, data,
                            &bytes) == ERROR_SUCCESS;
    } catch (...) {
        // No memory for the name: as for a value that cannot be read.
        return false;
    }
}

// Sets the value, making the program's key when it is not there yet; a value that cannot be
// written is not kept.
void WriteValue(TextView name, DWORD type, const void* data, DWORD bytes) noexcept {
    try {
        const Text valueName(name);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        RegSetValueExW(key, WideOf(valueName), 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    } catch (...) {
        // No memory for the name: the value is not kept.
    }
}

}  // namespace

std::optional<std::int32_t> Win32Settings::ReadNumber(TextView name) noexcept {
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (!ReadValue(name, REG_DWORD, &value, bytes)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<Text> Win32Settings::ReadText(TextView name) noexcept {
    try {
        DWORD bytes = 0;
        if (!ReadValue(name, REG_SZ, nullptr, bytes) || bytes > kLongestTextBytes) {
            return std::nullopt;
        }
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (!ReadValue(name, REG_SZ, text.data(), bytes)) {
            return std::nullopt;
        }
        return TextOf(text.data());
    } catch (...) {
        // No memory for the text: as for a value that cannot be read.
        return std::nullopt;
    }
}

void Win32Settings::WriteNumber(TextView name, std::int32_t value) noexcept {
    const DWORD data = static_cast<DWORD>(value);
    WriteValue(name, REG_DWORD, &data, sizeof(data));
}

void Win32Settings::WriteText(TextView name, const Text& value) noexcept {
    WriteValue(name, REG_SZ, WideOf(value),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
