// Window handles, process ids and points on screen as text: read from a request's arguments, and
// a handle written in hexadecimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"

// "123", "-123" (as the window list prints handles) or "0x1A2B", within 32 bits; nothing for
// anything else.
[[nodiscard]] std::optional<WindowHandle> ParseHandleArgument(std::string_view text);
// A process id in decimal or "0x" hexadecimal; nothing for anything else.
[[nodiscard]] std::optional<std::uint32_t> ParseProcessIdArgument(std::string_view text);

// A point in screen coordinates.
struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};
// "X,Y" in decimal, either negative on a screen left of or above the main one ("-1280,40");
// nothing for anything else.
[[nodiscard]] std::optional<ScreenPoint> ParsePointArgument(std::string_view text);

// The handle's 32 bits as "0x" and eight upper-case hexadecimal digits.
[[nodiscard]] std::string HexHandle(WindowHandle handle);
