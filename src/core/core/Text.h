// The text type of the core: UTF-16 code units on every platform, so lengths and widths
// agree between Windows (16-bit wchar_t) and Linux (32-bit wchar_t).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using Text = std::u16string;
using TextView = std::u16string_view;

// The end of a line in the files, the clipboard and the exports the tool writes.
inline constexpr TextView kLineEnd = u"\r\n";

// Window handles as the window system gives them: 32-bit values, 0 for no window.
using WindowHandle = std::int32_t;

[[nodiscard]] Text Utf8ToText(std::string_view utf8);
// A lone surrogate (half of a pair without its other half) becomes U+FFFD.
[[nodiscard]] std::string TextToUtf8(TextView text);

// How many lone surrogates text holds: code units that no encoding can hold as they are.
[[nodiscard]] std::size_t CountLoneSurrogates(TextView text);

// Signed decimal without leading zeros, blanks or prefix.
[[nodiscard]] Text DecimalText(std::int64_t value);

// The count in decimal, a blank, then the words for one or those for many.
[[nodiscard]] Text Counted(std::size_t count, TextView one, TextView many);

// Parses the decimal text of a window handle; throws Failure when it is not one.
[[nodiscard]] WindowHandle ParseHandle(TextView text);
