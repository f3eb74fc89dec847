// The window text read: one window's own text as it answers WM_GETTEXT, within the time-out,
// and never asking again a thread that did not answer during the same walk.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "ports/WindowSystem.h"

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
