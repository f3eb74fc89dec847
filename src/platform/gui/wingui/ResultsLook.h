// The results list's look: each row drawn in its window's state as it is now, the class name of a
// row whose window may have items underlined, and row tips that tell the window's state and what
// its control holds.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "gui/RowState.h"
#include "win32/Win32WindowDetails.h"
#include "win32/Win32WindowSystem.h"
#include "wingui/FindDialog.h"
#include "wingui/ItemsWindows.h"
#include "wingui/MainWindowFonts.h"
#include "wingui/OwnerDataList.h"
#include "wingui/RowTip.h"

class ResultsLook {
public:
    // Looks after results, whose rows' items windows items words, found by find; all outlive
    // this.
    // Throws Failure when the rows' tip cannot be made.
    ResultsLook(OwnerDataList& results, ItemsWindows& items, const FindDialog& find);
    ResultsLook(const ResultsLook&) = delete;
    ResultsLook& operator=(const ResultsLook&) = delete;

    // Draws with fonts from now on, once the lists use them; the fonts before go.
    void UseFonts(ListFonts fonts) noexcept { m_fonts = std::move(fonts); }
    // The results list's NM_CUSTOMDRAW.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept;
    // The path of the row's window (row from 1) below the extracted window, asked of the system
    // now; nothing once either has closed.
    [[nodiscard]] std::optional<Text> PathOfRow(std::size_t row);

private:
    // The tip of the row at index (from 0); nothing for no row.
    [[nodiscard]] std::optional<Text> TipOfRow(int index);
    // A selected row is drawn in the selection's colours while the Find dialog has the focus,
    // where the control would draw it pale for a list without the focus.
    void MarkFoundRow(NMLVCUSTOMDRAW& draw) const noexcept;

    OwnerDataList& m_results;
    ItemsWindows& m_items;
    const FindDialog& m_find;
    // The rows' windows as they are now.
    Win32WindowSystem m_windowSystem;
    Win32WindowDetails m_windowDetails;
    ListFonts m_fonts;
    // Made last: it asks for the tips of rows.
    RowTip m_tip;
    // The look of the row being drawn, from its item's paint to its cells'.
    RowLook m_drawnRowLook = RowLook::Plain;
};
