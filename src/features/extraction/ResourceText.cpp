// Texts that name a resource.
#include "extraction/ResourceText.h"

#include "core/AsciiCase.h"

namespace {

// The first unit of a text that names a resource by its ordinal.
constexpr char16_t kOrdinalMark = u'\xFFFF';

}  // namespace

std::optional<std::uint16_t> ResourceOrdinalOf(TextView text) {
    if (text.size() != 2 || text[0] != kOrdinalMark || text[1] == u'\0') {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(text[1]);
}

ResourceKind ResourceKindOf(TextView className, std::uint32_t style) {
    if (LowerAscii(className).find(u"static") == Text::npos) {
        return ResourceKind::Other;
    }
    switch (style & kStaticTypeMask) {
        case kStaticIcon:
            return ResourceKind::Icon;
        case kStaticBitmap:
            return ResourceKind::Bitmap;
        default:
            return ResourceKind::Other;
    }
}

Text ResourceCaption(ResourceKind kind, std::uint16_t ordinal) {
    Text caption(kind == ResourceKind::Icon     ? u"(icon "
                 : kind == ResourceKind::Bitmap ? u"(bitmap "
                                                : u"(resource ");
    caption += DecimalText(ordinal);
    caption += u')';
    return caption;
}
