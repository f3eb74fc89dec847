// Our skin engine: loads a skin file and applies it to the main window, driven by dispatch
// identifiers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "ports/Files.h"
#include "ports/SkinEngine.h"
#include "skin/SkinFile.h"

// A skin file is read only up to this size: a skin is a few lines.
inline constexpr std::size_t kLargestSkinMegabytes = 1;

// What a skin engine does to a window.
class SkinTarget {
public:
    virtual ~SkinTarget() = default;

    // Redraws window (its handle as a 32-bit value) with the skin; the flags choose the parts.
    virtual void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons,
                           bool lists, bool windowColour, bool fonts) = 0;
};

// Our skin engine, with the members that SkinDispatch names.
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
    std::int32_t m_parts = SkinPart::kLists;
    bool m_windowColour = false;
    bool m_fonts = false;
};
