// The main window's push buttons in the layout's order, and the look and font they are drawn in:
// the layout's, or the skin's where a skin gives them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "skin/SkinFile.h"
#include "win32/ScopedHandles.h"
#include "wingui/PushButton.h"

class ButtonRow {
public:
    // Creates the buttons as children of parent in the layout's order, which is their tab order;
    // pointerMove runs when the pointer moves over one.
    ButtonRow(HWND parent, const std::function<void()>& pointerMove);
    ButtonRow(const ButtonRow&) = delete;
    ButtonRow& operator=(const ButtonRow&) = delete;

    // The look the buttons are drawn in; its font is taken at the next LayOut.
    [[nodiscard]] SkinDefinition& Look() noexcept { return m_look; }
    // The button whose window control is; null when it is none of them.
    [[nodiscard]] const PushButton* ButtonOf(HWND control) const noexcept;

    // Takes the look's font at dpi and moves the buttons to their places in a client area grown
    // by stretch.
    void LayOut(UINT dpi, Stretch stretch);
    // Moves the buttons to their places in a client area grown by stretch.
    void Reposition(Stretch stretch) const noexcept;
    // The parent's WM_DRAWITEM for a button of the row.
    void Draw(const DRAWITEMSTRUCT& item) const noexcept;
    // While busy only the start button stays enabled, when the work can be stopped, and reads Stop.
    void SetBusy(bool busy, bool stoppable) const noexcept;

private:
    SkinDefinition m_look;
    ScopedFont m_font;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::vector<std::unique_ptr<PushButton>> m_buttons;
};
