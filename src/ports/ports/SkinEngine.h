// Port: the skin engine as the load step drives it, by dispatch identifiers.
#pragma once

#include <cstdint>

#include "ports/Automation.h"

// The skin engine's members.
namespace SkinDispatch {
// Method: loads a skin file (its path, then a second text that is not used).
inline constexpr int kLoadSkin = 2;
// Method: applies the loaded skin to a window (its handle as a 32-bit value).
inline constexpr int kApplyWindow = 3;
// Property: the parts to skin, a set of the bits below; the lists only at first.
inline constexpr int kApplyOptions = 1;
// Property: whether the window's background takes the skin's colour.
inline constexpr int kWindowColour = 5;
// Property: whether the skin's fonts replace the controls' own.
inline constexpr int kFonts = 10;
}  // namespace SkinDispatch

// Bits of the parts-to-skin property.
namespace SkinPart {
inline constexpr std::int32_t kPushButtons = 1;
inline constexpr std::int32_t kLists = 2;
}  // namespace SkinPart

class SkinEngine {
public:
    virtual ~SkinEngine() = default;

    virtual void Invoke(int dispatchId, const AutomationArguments& arguments) = 0;
    [[nodiscard]] virtual std::int32_t GetProperty(int dispatchId) = 0;
    virtual void PutProperty(int dispatchId, const AutomationValue& value) = 0;
};
