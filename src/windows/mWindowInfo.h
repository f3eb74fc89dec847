// The extraction walk: a window and all its descendants, depth first in pre-order, one row each
// (class name, handle, text) in the results list.
#pragma once

#include <chrono>
#include <cstdint>
#include <unordered_set>

#include "app/Dialogs.h"
#include "app/ListView.h"
#include "windows/WindowSystem.h"

// Class names are read into 256 code units, so at most 255 are kept.
inline constexpr int kClassNameCapacity = 256;

// How long one text message waits for its target. Windows itself calls a window hung only
// after five seconds; half a second keeps a walk over a hung application short.
inline constexpr std::chrono::milliseconds kTextMessageTimeout{500};

// A target that claims more text than this is read up to this length.
inline constexpr std::int64_t kMaxTextLength = std::int64_t{1} << 27;

// What one walk has learnt about its targets: the threads that did not answer in time are not
// asked again during that walk.
class TextReadSession {
public:
    explicit TextReadSession(WindowSystem& windows) noexcept : m_windows(windows) {}

    [[nodiscard]] WindowSystem& Windows() noexcept { return m_windows; }
    [[nodiscard]] bool IsHung(WindowHandle window);
    void MarkHung(WindowHandle window);

private:
    WindowSystem& m_windows;
    std::unordered_set<std::uint32_t> m_hungThreads;
};

// The window's own text, exactly as it answers WM_GETTEXT; empty when it has none, did not
// answer in time, or its thread did not answer earlier in this walk.
[[nodiscard]] Text ReadWindowText(WindowHandle window, TextReadSession& session);

// Appends the rows of window and its descendants to list. Failures are reported under
// WindowInfo's own location and the walk goes on.
void WindowInfo(WindowHandle window, ListView& list, WindowSystem& windows, Dialogs& dialogs);
