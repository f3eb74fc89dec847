// Port: the desktop's window tree as the window system answers for it. Window-system calls
// report no errors: a handle that no longer names a window gives 0, false or empty answers.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "core/Text.h"

// How long one text message waits for its target. Windows itself calls a window hung only
// after five seconds; half a second keeps a walk over a hung application short.
inline constexpr std::chrono::milliseconds kTextMessageTimeout{500};

enum class Relation { Next = 2, Owner = 4, Child = 5 };

// How a conversation with another program's window ended.
enum class RemoteEnd {
    Answered,  // every message was answered
    TimedOut,  // a message was not answered in time
    Gone,      // the window, or its program, no longer exists (or its memory cannot be reached)
    Refused,   // the control answered that an item does not exist (it changed while read)
    Denied,    // the system refused the message or the program's opening: the program runs with
               // higher rights than the reader
};

// A number the window answered, and how the conversation ended; value is valid only when end is
// Answered.
struct RemoteNumber {
    std::int64_t value = 0;
    RemoteEnd end = RemoteEnd::Answered;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    [[nodiscard]] virtual WindowHandle DesktopWindow() = 0;
    [[nodiscard]] virtual WindowHandle Related(WindowHandle window, Relation relation) = 0;
    // The top-level window that holds window, through its parents (itself when it is one); 0 when
    // there is no window.
    [[nodiscard]] virtual WindowHandle TopLevelOf(WindowHandle window) = 0;
    // The window the user works in now; 0 when none is (the desktop has the focus).
    [[nodiscard]] virtual WindowHandle ForegroundWindow() = 0;
    // The deepest visible window at the point on screen, as picking chooses it; 0 when there is
    // none.
    [[nodiscard]] virtual WindowHandle DeepestWindowAt(std::int32_t x, std::int32_t y) = 0;
    [[nodiscard]] virtual bool IsVisible(WindowHandle window) = 0;
    // False once the handle no longer names a window.
    [[nodiscard]] virtual bool Exists(WindowHandle window) = 0;
    // The title, cut to capacity - 1 code units.
    [[nodiscard]] virtual Text Title(WindowHandle window, int capacity) = 0;
    // The class name, cut to capacity - 1 code units.
    [[nodiscard]] virtual Text ClassName(WindowHandle window, int capacity) = 0;
    // The window's style bits (GWL_STYLE); 0 when there is no window.
    [[nodiscard]] virtual std::uint32_t Style(WindowHandle window) = 0;
    // The thread that owns the window; 0 when there is no window.
    [[nodiscard]] virtual std::uint32_t ThreadOf(WindowHandle window) = 0;
    // WM_GETTEXTLENGTH: the window's answer, 0 from a window that no longer exists; end TimedOut
    // when it did not answer in time, Denied when the system refused the message.
    [[nodiscard]] virtual RemoteNumber SendTextLength(WindowHandle window) = 0;
    // WM_GETTEXT into buffer, its size passed as the capacity; answered as SendTextLength is.
    [[nodiscard]] virtual RemoteNumber SendGetText(WindowHandle window,
                                                   std::span<char16_t> buffer) = 0;
    // Whether the window's thread answers a message that asks nothing (WM_NULL) within the time-out
    // of a text message: false when it does not, or when there is no window.
    [[nodiscard]] virtual bool AnswersInTime(WindowHandle window) = 0;
};
