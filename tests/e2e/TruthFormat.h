// The text the end-to-end doubles write for the tests to read: UTF-8 lines of tab-separated fields.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

// Each character that would split a field or a line, and the letter standing for it after a
// backslash; one table so that writers and readers cannot disagree.
inline constexpr std::pair<wchar_t, wchar_t> kFieldEscapes[] = {
    {L'\\', L'\\'}, {L'\t', L't'}, {L'\r', L'r'}, {L'\n', L'n'}};

// Without WC_ERR_INVALID_CHARS an unpaired surrogate becomes U+FFFD instead of costing the whole
// text. Answers "" for empty text and when the conversion fails.
inline std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Malformed bytes become U+FFFD. UTF-8 never takes fewer bytes than UTF-16 takes code units, so
// one pass into a buffer as long as the input is enough.
inline std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    const int converted =
        bytes.empty()
            ? 0
            : MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(converted > 0 ? converted : 0));
    return text;
}

inline std::wstring EscapeField(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t character : text) {
        wchar_t letter = L'\0';
        for (const auto& [raw, code] : kFieldEscapes) {
            if (raw == character) {
                letter = code;
            }
        }
        if (letter == L'\0') {
            escaped += character;
        } else {
            escaped += L'\\';
            escaped += letter;
        }
    }
    return escaped;
}

// A backslash before a letter the table does not know stands for that letter; one at the very end
// stands for itself.
inline std::wstring UnescapeField(std::wstring_view field) {
    std::wstring text;
    text.reserve(field.size());
    for (std::size_t index = 0; index < field.size(); ++index) {
        wchar_t character = field[index];
        if (character == L'\\' && index + 1 < field.size()) {
            character = field[++index];
            for (const auto& [raw, code] : kFieldEscapes) {
                if (code == character) {
                    character = raw;
                    break;
                }
            }
        }
        text += character;
    }
    return text;
}
