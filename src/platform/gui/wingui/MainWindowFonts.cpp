// The main window's fonts at a DPI.
#include "wingui/MainWindowFonts.h"

#include "core/Text.h"
#include "win32/Win32Text.h"

namespace {

constexpr int kListFontCentipoints = 900;
constexpr int kButtonFontCentipoints = 1125;
constexpr int kCentipointsPerInch = 7200;

ScopedFont MakeFont(const Text& face, int centipoints, bool bold, DWORD charset, UINT dpi) {
    return ScopedFont(CreateFontW(-MulDiv(centipoints, static_cast<int>(dpi), kCentipointsPerInch),
                                  0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, charset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, WideOf(face)));
}

ScopedFont CreateArialBold(int centipoints, UINT dpi) {
    return MakeFont(u"Arial", centipoints, true, ANSI_CHARSET, dpi);
}

ScopedFont CreateVariant(HFONT font, bool underline, bool italic) {
    LOGFONTW look{};
    GetObjectW(font, sizeof(look), &look);
    look.lfUnderline = underline ? TRUE : FALSE;
    look.lfItalic = italic ? TRUE : FALSE;
    return ScopedFont(CreateFontIndirectW(&look));
}

}  // namespace

ListFonts CreateListFonts(UINT dpi) {
    ListFonts fonts;
    fonts.plain = CreateArialBold(kListFontCentipoints, dpi);
    fonts.itemsMark = CreateVariant(fonts.plain.get(), true, false);
    fonts.disabled = CreateVariant(fonts.plain.get(), false, true);
    fonts.disabledItemsMark = CreateVariant(fonts.plain.get(), true, true);
    return fonts;
}

ScopedFont CreateButtonFont(const std::optional<SkinFont>& skinFont, UINT dpi) {
    if (skinFont) {
        if (ScopedFont skinned = MakeFont(skinFont->face, skinFont->centipoints, skinFont->bold,
                                          DEFAULT_CHARSET, dpi)) {
            return skinned;
        }
    }
    return CreateArialBold(kButtonFontCentipoints, dpi);
}
