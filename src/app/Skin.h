// The skin: a small INI-style file of colours and fonts for the main window, and the skin
// engine that loads it and applies it, driven by dispatch identifiers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/Files.h"
#include "common/Text.h"
#include "output/Automation.h"

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

// What a skin engine does to a window.
class SkinTarget {
public:
    virtual ~SkinTarget() = default;

    // Redraws window (its handle as a 32-bit value) with the skin; the flags choose the parts.
    virtual void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons,
                           bool lists, bool windowColour, bool fonts) = 0;
};

// Port: the skin engine as the load step drives it, by dispatch identifiers.
class SkinEngine {
public:
    virtual ~SkinEngine() = default;

    virtual void Invoke(int dispatchId, const AutomationArguments& arguments) = 0;
    [[nodiscard]] virtual std::int32_t GetProperty(int dispatchId) = 0;
    virtual void PutProperty(int dispatchId, const AutomationValue& value) = 0;
};

// Our skin engine. Methods: 2 loads a skin file (path, then an unused second text), 3 applies
// the loaded skin to a window (its handle). Properties: 1 the parts to skin (bit 0 the push
// buttons, bit 1 the lists; lists only at first), 5 whether the window's background takes the
// skin's colour, 10 whether the skin's fonts are used.
class SkinFramework : public SkinEngine {
public:
    SkinFramework(Files& files, SkinTarget& target) noexcept : m_files(files), m_target(target) {}

    void Invoke(int dispatchId, const AutomationArguments& arguments) override;
    std::int32_t GetProperty(int dispatchId) override;
    void PutProperty(int dispatchId, const AutomationValue& value) override;

private:
    Files& m_files;
    SkinTarget& m_target;
    std::optional<SkinDefinition> m_skin;
    std::int32_t m_parts = 2;
    bool m_windowColour = false;
    bool m_fonts = false;
};
