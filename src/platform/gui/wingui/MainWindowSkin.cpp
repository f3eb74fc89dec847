// The main window as the skin engine's target, and its look as it is now for the items windows.
#include "wingui/MainWindow.h"

#include <commctrl.h>

#include "core/Failure.h"
#include "win32/Win32Text.h"

void MainWindow::ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons,
                           bool lists, bool windowColour, bool fonts) {
    if (HwndOf(window) != m_window) {
        throw Failure(u"The skin can only be applied to the main window.");
    }
    SkinDefinition& look = m_buttons->Look();
    if (buttons) {
        look.normal = skin.normal;
        look.hot = skin.hot;
        look.pressed = skin.pressed;
        look.focusBorder = skin.focusBorder;
    }
    if (fonts) {
        look.buttonFont = skin.buttonFont;
    }
    if (windowColour) {
        m_background = skin.windowBackground;
    }
    if (lists) {
        m_windowList->SetColours(skin.listBackground, skin.listText);
        m_results->SetColours(skin.listBackground, skin.listText);
    }
    LayOut(m_dpi);
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

SkinDefinition MainWindow::CurrentLook() const {
    SkinDefinition look = m_buttons->Look();
    look.windowBackground = m_background;
    look.listBackground = ListView_GetBkColor(m_results->Handle());
    look.listText = ListView_GetTextColor(m_results->Handle());
    return look;
}
