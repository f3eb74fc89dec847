// The main window's layout: its client size and every control's place, in twips (1/1440 inch),
// turned into pixels at the window's DPI. Creation order is the tab order.
#pragma once

#include <windows.h>

#include <array>

#include "gui/MainForm.h"

inline constexpr int kTwipsPerInch = 1440;

[[nodiscard]] inline int TwipsToPixels(int twips, UINT dpi) noexcept {
    return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

// left, top, right, bottom in twips, in pixels at dpi.
[[nodiscard]] inline RECT TwipsToPixels(const RECT& twips, UINT dpi) noexcept {
    return RECT{TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
                TwipsToPixels(twips.right, dpi), TwipsToPixels(twips.bottom, dpi)};
}

inline constexpr SIZE kClientTwips{15960, 4485};

// The controls' ids, below the menu commands' ids.
inline constexpr int kWindowListId = 101;
inline constexpr int kResultsId = 103;
inline constexpr int kRefreshListButtonId = 1001;
inline constexpr int kExtractButtonId = 1002;
inline constexpr int kSaveAsSpreadsheetButtonId = 1003;
inline constexpr int kCopyButtonId = 1004;
inline constexpr int kClearButtonId = 1005;
inline constexpr int kSaveAsTextFileButtonId = 1006;

// How a list's columns take the width the list gains when the window grows.
enum class ColumnGrowth { kInProportion, kLastColumn };

struct ListPlace {
    int id;
    RECT twips;
    bool tickBoxes;
    ColumnGrowth growth;
};
inline constexpr ListPlace kWindowListPlace{
    kWindowListId, {120, 120, 7920, 3345}, false, ColumnGrowth::kInProportion};
inline constexpr ListPlace kResultsPlace{
    kResultsId, {8040, 120, 15840, 3345}, true, ColumnGrowth::kLastColumn};

// How much larger than the layout's the client area is, in pixels.
struct Stretch {
    int width = 0;
    int height = 0;
};

// A control's place in pixels at dpi in a client area grown by stretch. The two lists share the
// extra width in proportion to their widths and take all the extra height; the margins and the
// gap between the lists keep their sizes; the buttons keep their rows under the lists, and each
// stretches with the list it stands under. Without stretch it is the layout's place exactly.
[[nodiscard]] inline RECT StretchedPlace(const RECT& twips, UINT dpi, Stretch stretch) noexcept {
    const RECT left = TwipsToPixels(kWindowListPlace.twips, dpi);
    const RECT right = TwipsToPixels(kResultsPlace.twips, dpi);
    const LONG leftWidth = left.right - left.left;
    const LONG rightWidth = right.right - right.left;
    const LONG leftExtra = MulDiv(stretch.width, leftWidth, leftWidth + rightWidth);
    const LONG rightExtra = stretch.width - leftExtra;
    const auto x = [&](LONG pixels) -> LONG {
        if (pixels <= left.left) {
            return pixels;
        }
        if (pixels <= left.right) {
            return left.left + MulDiv(pixels - left.left, leftWidth + leftExtra, leftWidth);
        }
        if (pixels < right.left) {
            return pixels + leftExtra;
        }
        return right.left + leftExtra +
               MulDiv(pixels - right.left, rightWidth + rightExtra, rightWidth);
    };
    const LONG listHeight = left.bottom - left.top;
    const auto y = [&](LONG pixels) -> LONG {
        if (pixels <= left.top) {
            return pixels;
        }
        if (pixels <= left.bottom) {
            return left.top + MulDiv(pixels - left.top, listHeight + stretch.height, listHeight);
        }
        return pixels + stretch.height;
    };
    const RECT place = TwipsToPixels(twips, dpi);
    return RECT{x(place.left), y(place.top), x(place.right), y(place.bottom)};
}

struct ButtonPlace {
    int id;
    const wchar_t* caption;
    RECT twips;
    void (MainForm::*command)();
};
// The start button's caption while a walk runs.
inline constexpr wchar_t kStopCaption[] = L"Stop";

inline constexpr std::array<ButtonPlace, 6> kButtonPlaces{{
    {kRefreshListButtonId, L"Refresh List", {120, 3450, 7920, 3855}, &MainForm::RefreshList},
    {kExtractButtonId,
     L"Start Extracting From Selected Window (Above)",
     {120, 3975, 7920, 4380},
     &MainForm::ExtractSelectedWindow},
    {kSaveAsTextFileButtonId,
     L"Save Results As Text File",
     {8040, 3450, 11880, 3855},
     &MainForm::SaveResultsAsTextFile},
    {kSaveAsSpreadsheetButtonId,
     L"Save Results As Excel File",
     {12000, 3450, 15840, 3855},
     &MainForm::SaveResultsAsSpreadsheet},
    {kCopyButtonId,
     L"Copy Results To Clipboard",
     {8040, 3975, 11880, 4380},
     &MainForm::CopyResultsToClipboard},
    {kClearButtonId, L"Clear Results", {12000, 3975, 15840, 4380}, &MainForm::ClearResults},
}};
