// Texts that name a resource instead of saying something: a static control made with an icon or
// a bitmap from the program's resources answers its text as U+FFFF followed by the resource's
// ordinal, the way a dialog template writes it. Such a text is shown as what it stands for.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Text.h"

// A static control's own styles that say what it shows (SS_TYPEMASK, SS_ICON, SS_BITMAP).
inline constexpr std::uint32_t kStaticTypeMask = 0x1F;
inline constexpr std::uint32_t kStaticIcon = 0x3;
inline constexpr std::uint32_t kStaticBitmap = 0xE;

enum class ResourceKind {
    Icon,
    Bitmap,
    Other,  // a window other than an icon or bitmap static whose text names a resource
};

// The resource ordinal that text names: exactly two code units, U+FFFF and a nonzero ordinal.
// Any other text, U+FFFF alone or followed by more, says nothing of a resource.
[[nodiscard]] std::optional<std::uint16_t> ResourceOrdinalOf(TextView text);

// What a window of that class and style shows from a resource: a static (a class whose name
// holds "static") by its SS_ICON or SS_BITMAP type, anything else Other.
[[nodiscard]] ResourceKind ResourceKindOf(TextView className, std::uint32_t style);

// The text shown for the resource: "(icon 2)", "(bitmap 2)", "(resource 2)".
[[nodiscard]] Text ResourceCaption(ResourceKind kind, std::uint16_t ordinal);
