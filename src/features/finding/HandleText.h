// Window handles and process ids as text: read from a request's arguments, and a handle written
// in hexadecimal.
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

// The handle's 32 bits as "0x" and eight upper-case hexadecimal digits.
[[nodiscard]] std::string HexHandle(WindowHandle handle);
