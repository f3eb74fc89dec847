// The main window's status line under its buttons: the results' counts, kept up to date a few
// times a second, and at its right end the finder mark, dragged onto a window to pick it.
#pragma once

#include <windows.h>

#include <functional>

#include "core/RowTable.h"
#include "core/Text.h"
#include "gui/ResultsCounts.h"
#include "win32/ScopedHandles.h"

class StatusLine {
public:
    // Creates the status bar as the last child of parent, counting results' rows; finderPressed
    // runs when the left button goes down on the finder mark. Throws Failure when it cannot.
    StatusLine(HWND parent, const RowTable& results, std::function<void()> finderPressed);
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    [[nodiscard]] HWND Handle() const noexcept { return m_bar; }
    // Its height in pixels with font, at the bottom of its parent's client area.
    void LayOut(HFONT font) noexcept;
    [[nodiscard]] int Height() const noexcept;
    // Follows a change of its parent's size.
    void Reposition() const noexcept;
    // While reading, the count of the windows read so far rather than the rows and ticks; a walk
    // that starts ends the note of the command before.
    void SetReading(bool reading) noexcept;
    // Shows note in place of the counts until they change.
    void ShowNote(const Text& note);
    // The counts as they are now; a text that did not change is not set again.
    void ShowCounts() noexcept;

private:
    static LRESULT CALLBACK FinderProc(HWND finder, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR line);
    void CreateFinder();
    static void PaintFinder(HWND finder) noexcept;

    HWND m_bar = nullptr;
    HWND m_finder = nullptr;
    ScopedWindow m_finderTip;
    std::function<void()> m_finderPressed;
    const RowTable& m_results;
    bool m_reading = false;
    StatusNote m_note;
    Text m_shownCounts;
};
