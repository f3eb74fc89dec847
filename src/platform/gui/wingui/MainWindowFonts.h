// The main window's fonts at a DPI: the lists' font and its variants that mark the results rows'
// looks, and the buttons' font.
#pragma once

#include <windows.h>

#include <optional>

#include "skin/SkinFile.h"
#include "win32/ScopedHandles.h"

struct ListFonts {
    // "Arial" 9 pt bold: the window's own font, for the lists.
    ScopedFont plain;
    // Underlined: the mark of a results row whose window may have items.
    ScopedFont itemsMark;
    // In italic, and underlined too: the rows of disabled windows.
    ScopedFont disabled;
    ScopedFont disabledItemsMark;
};

[[nodiscard]] ListFonts CreateListFonts(UINT dpi);
// The skin's button font when it gives one that can be made, else "Arial" 11.25 pt bold.
[[nodiscard]] ScopedFont CreateButtonFont(const std::optional<SkinFont>& skinFont, UINT dpi);
