// A window's text as the screen shows it: the controls that draw mnemonics underline the letter
// after a single "&" and leave the "&" out, and show "&&" as one "&".
#pragma once

#include <cstdint>
#include <optional>

#include "core/Text.h"

// A static control's style bit (SS_NOPREFIX) that draws every "&" as it is.
inline constexpr std::uint32_t kStaticNoPrefix = 0x80;

// Whether a window of the class and style draws its text's "&" as the next letter's underline:
// buttons (group boxes too), statics without kStaticNoPrefix, tab controls, headers and menus.
[[nodiscard]] bool DrawsMnemonics(TextView className, std::uint32_t style);

// The text as a control that draws mnemonics shows it: "&x" shows x, "&&" shows "&", and a lone
// "&" at the end, which marks no letter, shows as it is.
[[nodiscard]] Text ShownText(TextView text);

// The window's text as shown, when it differs from the text itself; nothing otherwise.
[[nodiscard]] std::optional<Text> ShownTextOf(TextView className, std::uint32_t style,
                                              TextView text);
