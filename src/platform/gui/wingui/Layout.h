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

struct ListPlace {
    int id;
    RECT twips;
    bool tickBoxes;
};
inline constexpr ListPlace kWindowListPlace{kWindowListId, {120, 120, 7920, 3345}, false};
inline constexpr ListPlace kResultsPlace{kResultsId, {8040, 120, 15840, 3345}, true};

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
