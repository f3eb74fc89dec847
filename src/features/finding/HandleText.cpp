// Window handles and process ids read from text, and a handle written as text.
#include "finding/HandleText.h"

#include <charconv>
#include <limits>

namespace {

constexpr std::string_view kHexPrefix = "0x";
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;
// A handle's 32 bits in hexadecimal.
constexpr std::size_t kHexDigits = 8;

// The whole text as a number within [minimum, maximum], in decimal or after "0x" in hexadecimal.
std::optional<std::int64_t> ParseNumber(std::string_view text, std::int64_t minimum,
                                        std::int64_t maximum) {
    int base = kDecimalBase;
    if (text.starts_with(kHexPrefix) || text.starts_with("0X")) {
        text.remove_prefix(kHexPrefix.size());
        base = kHexBase;
        // from_chars would take a sign after the prefix.
        if (text.starts_with('-') || text.starts_with('+')) {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        value < minimum || value > maximum) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<WindowHandle> ParseHandleArgument(std::string_view text) {
    const bool hex = text.starts_with(kHexPrefix) || text.starts_with("0X");
    // In hexadecimal all 32 bits, as the system shows handles; in decimal the signed value, as
    // the window list shows them.
    const std::optional<std::int64_t> value =
        hex ? ParseNumber(text, 0, std::numeric_limits<std::uint32_t>::max())
            : ParseNumber(text, std::numeric_limits<WindowHandle>::min(),
                          std::numeric_limits<WindowHandle>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<WindowHandle>(static_cast<std::uint32_t>(*value));
}

std::optional<std::uint32_t> ParseProcessIdArgument(std::string_view text) {
    const std::optional<std::int64_t> value =
        ParseNumber(text, 0, std::numeric_limits<std::uint32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

std::optional<ScreenPoint> ParsePointArgument(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.starts_with("0x") || text.starts_with("0X")) {
        return std::nullopt;
    }
    const std::string_view yText = text.substr(comma + 1);
    if (yText.starts_with("0x") || yText.starts_with("0X")) {
        return std::nullopt;
    }
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
    const auto x = ParseNumber(text.substr(0, comma), kLowest, kHighest);
    const auto y = ParseNumber(yText, kLowest, kHighest);
    if (!x || !y) {
        return std::nullopt;
    }
    return ScreenPoint{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y)};
}

std::string HexHandle(WindowHandle handle) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(handle);
    std::string hex(kHexDigits, '0');
    for (auto digit = hex.rbegin(); digit != hex.rend(); ++digit) {
        *digit = kDigits[bits % kDigits.size()];
        bits /= kDigits.size();
    }
    return "0x" + hex;
}
