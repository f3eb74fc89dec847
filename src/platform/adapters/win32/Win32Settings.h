// The user's settings in the registry: values under the program's own key of HKEY_CURRENT_USER,
// numbers as REG_DWORD and texts as REG_SZ.
#pragma once

#include "ports/Settings.h"

// The program's key under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Tessivane\\Window Text Reader";

class Win32Settings : public Settings {
public:
    std::optional<std::int32_t> ReadNumber(TextView name) noexcept override;
    std::optional<Text> ReadText(TextView name) noexcept override;
    void WriteNumber(TextView name, std::int32_t value) noexcept override;
    void WriteText(TextView name, const Text& value) noexcept override;
};
