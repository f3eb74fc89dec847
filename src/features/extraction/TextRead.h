// The window text read: one window's own text as it answers WM_GETTEXT, within the time-out,
// never asking again a thread that did not answer during the same walk (until it answers a probe
// at the walk's end), and never holding more than a cap of what a window claims.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

#include "ports/WindowSystem.h"

// A text is read up to this many UTF-16 code units (8 MB), whatever its window claims.
inline constexpr std::size_t kTextCap = std::size_t{1} << 22;
// The first read's buffer: a text shorter than this comes whole in one message.
inline constexpr std::size_t kFirstReadUnits = 512;
// A long text that changes between its messages is read again, at most this many times in all.
inline constexpr int kTextReadAttempts = 3;

// What one walk has learnt about its targets: the threads that did not answer in time are not
// asked again during that walk, and each is probed at most once whether it answers again. Holds
// the buffer of long reads, so it is allocated once a walk.
class TextReadSession {
public:
    explicit TextReadSession(WindowSystem& windows) noexcept : m_windows(windows) {}

    [[nodiscard]] WindowSystem& Windows() noexcept { return m_windows; }
    [[nodiscard]] bool IsHung(WindowHandle window);
    void MarkHung(WindowHandle window);
    // Whether window may be asked for its text again: true unless its thread did not answer in
    // time. Such a thread is asked once, with a message that asks nothing, whether it answers
    // now; if it does, it is no longer taken for hung.
    [[nodiscard]] bool AnswersAgain(WindowHandle window);
    // Whether window's own text message went unanswered earlier in the walk (rather than being
    // left unasked because its thread had not answered another).
    [[nodiscard]] bool LeftUnanswered(WindowHandle window) const {
        return m_unansweredWindows.contains(window);
    }
    // For a window that left its text unanswered again after its thread answered a probe: true
    // when the thread answers one more, so that the window alone is at fault (an answer the
    // system could not carry back); its thread is then taken as answering again, and may be
    // probed once more should it stall later.
    [[nodiscard]] bool AloneAtFault(WindowHandle window);
    // A buffer of units code units, valid until the next call.
    [[nodiscard]] std::span<char16_t> Buffer(std::size_t units);

private:
    WindowSystem& m_windows;
    std::unordered_set<std::uint32_t> m_hungThreads;
    std::unordered_set<std::uint32_t> m_probedThreads;
    std::unordered_set<WindowHandle> m_unansweredWindows;
    std::vector<char16_t> m_buffer;
};

enum class TextReadStatus {
    Read,      // the whole text
    TimedOut,  // the window did not answer in time, now or earlier in the walk
    Cut,       // the window claimed more than kTextCap, or answered a count beyond its text's
               // first NUL or below zero: the text up to there, at most kTextCap units; or the
               // window alone left its text unanswered while its thread answered: empty
    Changing,  // the text changed between the messages of every attempt: the last attempt's
    Denied,    // the system refused the message: the window's program runs with higher rights
};

struct WindowText {
    Text text;
    TextReadStatus status = TextReadStatus::Read;
};

// The window's own text as it answers WM_GETTEXT, up to its first NUL: one message when the
// text is shorter than kFirstReadUnits - 1, else its length and the text up to kTextCap units,
// in up to kTextReadAttempts attempts while the text changes between those messages. Each read
// shows only what the window wrote in it. A window that answers a count beyond what its buffer
// holds, or below zero, is not believed.
[[nodiscard]] WindowText ReadWindowText(WindowHandle window, TextReadSession& session);
