// UTF-8 and decimal conversions of the core's UTF-16 text.
#include "core/Text.h"

#include <charconv>
#include <limits>

#include "core/Failure.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(Text& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xE000;
}

// True when text holds a high surrogate at i followed by a low one: one character of two units.
bool IsPairAt(TextView text, std::size_t i) {
    return text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] < 0xE000;
}

}  // namespace

Text Utf8ToText(std::string_view utf8) {
    Text out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        const bool malformed = (lead >= 0x80 && lead < 0xC0) || i + extra >= utf8.size();
        if (malformed) {
            out.push_back(static_cast<char16_t>(kReplacement));
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (std::size_t k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        AppendCodePoint(out, cp);
        i += extra + 1;
    }
    return out;
}

std::string TextToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (IsPairAt(text, i)) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (IsSurrogate(text[i])) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::size_t CountLoneSurrogates(TextView text) {
    std::size_t lone = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsPairAt(text, i)) {
            ++i;
        } else if (IsSurrogate(text[i])) {
            ++lone;
        }
    }
    return lone;
}

Text DecimalText(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    return Text(digits, result.ptr);
}

Text Counted(std::size_t count, TextView one, TextView many) {
    return DecimalText(static_cast<std::int64_t>(count)) + u" " + Text(count == 1 ? one : many);
}

WindowHandle ParseHandle(TextView text) {
    std::string narrow;
    for (const char16_t unit : text) {
        if (unit > 0x7F) {
            narrow.clear();
            break;
        }
        narrow.push_back(static_cast<char>(unit));
    }
    std::int64_t value = 0;
    const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (narrow.empty() || result.ec != std::errc{} || result.ptr != narrow.data() + narrow.size() ||
        value < std::numeric_limits<WindowHandle>::min() ||
        value > std::numeric_limits<WindowHandle>::max()) {
        throw Failure(u"The selected row does not hold a valid window handle (\"" + Text(text) +
                      u"\").");
    }
    return static_cast<WindowHandle>(value);
}
