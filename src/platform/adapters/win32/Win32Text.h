// Conversions between the core's UTF-16 text and handles and their Win32 forms.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "core/Text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

[[nodiscard]] inline const wchar_t* WideOf(const Text& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

[[nodiscard]] inline Text TextOf(const wchar_t* text, std::size_t length) {
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

[[nodiscard]] inline Text TextOf(const wchar_t* text) {
    return TextOf(text, wcslen(text));
}

// The text in units up to its first NUL and at most length units.
[[nodiscard]] inline Text TextUpTo(const char16_t* units, std::size_t length) {
    const std::size_t end = std::find(units, units + length, u'\0') - units;
    return Text(units, end);
}

// Copies text into a buffer of capacity units that a control handed over, cut to fit before its
// terminating NUL; nothing for a buffer without room.
void CopyToBuffer(TextView text, wchar_t* buffer, int capacity) noexcept;

// Window handles are 32-bit values on every Windows, sign-extended in a 64-bit HWND.
[[nodiscard]] inline HWND HwndOf(WindowHandle window) noexcept {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}

[[nodiscard]] inline WindowHandle HandleOf(HWND window) noexcept {
    return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

// The system's own sentence for an error code (GetLastError or an HRESULT), with its code.
[[nodiscard]] Text SystemMessage(DWORD error);
