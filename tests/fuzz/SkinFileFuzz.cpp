// Fuzz target: any bytes as a skin file. The parser either gives a skin whose font can be used,
// or refuses with a description that no byte of the file can cut or garble.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Failure.h"
#include "skin/SkinFile.h"

namespace {

constexpr int kSmallestCentipoints = 400;
constexpr int kLargestCentipoints = 7200;

bool HasControl(const Text& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t unit) { return unit < 0x20 || unit == 0x7F; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const SkinDefinition skin = ParseSkin(text, u"o.cjs");
        if (skin.buttonFont &&
            (skin.buttonFont->centipoints < kSmallestCentipoints ||
             skin.buttonFont->centipoints > kLargestCentipoints || skin.buttonFont->face.empty() ||
             HasControl(skin.buttonFont->face))) {
            std::abort();
        }
    } catch (const Failure& failure) {
        if (HasControl(failure.Description())) {
            std::abort();
        }
    }
    return 0;
}
