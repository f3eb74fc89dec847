// The main window's layout at a DPI: its controls' fonts and places, and the sizes of its laid-out
// client area and of the window around it.
#include "wingui/MainWindow.h"

#include "wingui/Layout.h"
#include "wingui/MainWindowFonts.h"

void MainWindow::LayOut(UINT dpi) {
    m_dpi = dpi;
    // The new fonts are in use before the old ones go.
    ListFonts listFonts = CreateListFonts(dpi);
    const HFONT listFont = listFonts.plain.get();
    SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), FALSE);
    m_windowList->LayOut(dpi, listFont, m_stretch);
    m_results->LayOut(dpi, listFont, m_stretch);
    m_buttons->LayOut(dpi, m_stretch);
    m_status->LayOut(listFont);
    m_resultsLook->UseFonts(std::move(listFonts));
}

SIZE MainWindow::ClientSize() const noexcept {
    // The window grows by its status line under the layout.
    return SIZE{TwipsToPixels(kClientTwips.cx, m_dpi),
                TwipsToPixels(kClientTwips.cy, m_dpi) + m_status->Height()};
}

SIZE MainWindow::OuterSize() const noexcept {
    const SIZE client = ClientSize();
    RECT outer{0, 0, client.cx, client.cy};
    // The window grows by its menu bar; the client area stays the layout's.
    AdjustWindowRectExForDpi(&outer, kKind.style, TRUE, kKind.exStyle, m_dpi);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}
