// The skin file: a small INI-style file of colours and fonts for the main window.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/Text.h"

// Colours as 0x00BBGGRR, the Windows COLORREF order.
using Colour = std::uint32_t;

struct SkinFont {
    Text face;
    int centipoints = 0;  // hundredths of a point
    bool bold = false;
};

struct ButtonLook {
    Colour face = 0;
    Colour text = 0;
    Colour border = 0;
};

// Starts as the window's own look; a skin file changes what it names.
struct SkinDefinition {
    Colour windowBackground = 0xFFFFFF;
    ButtonLook normal{0xFFFFFF, 0x000000, 0xADADAD};
    ButtonLook hot{0xFBF1E5, 0x000000, 0xD77800};
    ButtonLook pressed{0xF7E4CC, 0x000000, 0x995400};
    Colour focusBorder = 0xD77800;
    std::optional<SkinFont> buttonFont;
    Colour listBackground = 0xFFFFFF;
    Colour listText = 0x000000;
};

// Reads a skin file's text; throws Failure naming the file, the line and what is wrong.
[[nodiscard]] SkinDefinition ParseSkin(std::string_view text, const Text& fileName);
