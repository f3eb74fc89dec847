// The window list: the desktop's application windows (visible, unowned, titled), or every
// top-level window.
#pragma once

#include "core/Reporter.h"
#include "core/RowSink.h"
#include "ports/WindowSystem.h"

// Titles are read into 80 code units, so at most 79 are kept.
inline constexpr int kTitleCapacity = 80;

// Why the window list leaves a top-level window out; none set when it lists the window.
struct NotListed {
    bool untitled = false;
    bool hidden = false;
    bool owned = false;

    [[nodiscard]] bool Any() const noexcept { return untitled || hidden || owned; }
};

// Empties rows and fills them with one row per application window, in Z order: its title, then
// its handle in decimal. With all, every top-level window has a row, those the list would leave
// out marked with why (see MarkedTitle).
void FillWindowList(RowSink& rows, WindowSystem& windows, Reporter& reporter, bool all = false);

// Appends the row of one top-level window as the list with all shows it; returns its row.
std::size_t AppendWindowRow(RowSink& rows, WindowSystem& windows, WindowHandle window);

// Each condition of the window list on its own, the others waived; title is the window's, as
// read already.
[[nodiscard]] NotListed WhyNotListed(WindowSystem& windows, WindowHandle window, const Text& title);

// The first cell of a window's row in the list with all: its title, or its class name in
// brackets when it has none, then why the plain list leaves it out: "(IME) [untitled, hidden]".
[[nodiscard]] Text MarkedTitle(WindowSystem& windows, WindowHandle window, const Text& title,
                               const NotListed& notListed);

// Each flag, when true, waives one condition of the test. Failures inside are ignored.
[[nodiscard]] bool IsApplicationWindow(WindowSystem& windows, WindowHandle window,
                                       bool includeUntitled, bool includeInvisible,
                                       bool includeOwned);
