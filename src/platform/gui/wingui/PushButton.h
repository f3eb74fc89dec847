// An owner-drawn push button of the main window: a standard BUTTON (so Tab, Space and Enter work)
// drawn in the window's button look, and hot while the pointer is over it.
#pragma once

#include <windows.h>

#include <functional>

#include "skin/SkinFile.h"
#include "wingui/Layout.h"

class PushButton {
public:
    // Creates the button as a child of parent; pointerMove runs when the pointer moves over it.
    PushButton(HWND parent, const ButtonPlace& place, std::function<void()> pointerMove);
    ~PushButton();
    PushButton(const PushButton&) = delete;
    PushButton& operator=(const PushButton&) = delete;

    [[nodiscard]] HWND Handle() const noexcept { return m_button; }
    [[nodiscard]] const ButtonPlace& Place() const noexcept { return m_place; }

    // Moves the button to its place at dpi in a client area grown by stretch, with font.
    void LayOut(UINT dpi, HFONT font, Stretch stretch) const noexcept;
    // Moves the button to its place at dpi in a client area grown by stretch.
    void Reposition(UINT dpi, Stretch stretch) const noexcept;
    // Draws the button in look (face, text and border for its state) with font.
    void Draw(const DRAWITEMSTRUCT& item, const SkinDefinition& look, HFONT font,
              UINT dpi) const noexcept;

private:
    static LRESULT CALLBACK SubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);

    const ButtonPlace& m_place;
    HWND m_button = nullptr;
    bool m_hot = false;
    std::function<void()> m_pointerMove;
};
