// The frame that outlines a window on screen: a topmost layered window whose inside is
// see-through, which takes neither the focus nor clicks.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

#include "win32/ScopedHandles.h"

// How long a highlight stays before it hides itself.
inline constexpr std::chrono::milliseconds kHighlightDuration{2000};

class HighlightFrame {
public:
    // Creates the frame's window, hidden; throws Failure when it cannot.
    HighlightFrame();

    // Outlines target's window rectangle, moving the frame from where it was; for a time it hides
    // itself after that, else it stays until Hide. Meanwhile it follows target as it moves or is
    // sized, and hides once target is hidden or closed. A window that is hidden or gone is not
    // outlined: the frame hides and this answers false.
    bool Outline(HWND target,
                 std::optional<std::chrono::milliseconds> time = std::nullopt) noexcept;
    void Hide() noexcept;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ScopedWindow m_window;
};
