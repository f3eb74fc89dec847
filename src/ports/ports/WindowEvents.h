// Port: what the window system tells of changes to one program's windows as they happen, and the
// user's wish to stop a command that runs until told (Ctrl+C, Ctrl+Break, the console closing).
#pragma once

#include <chrono>
#include <vector>

#include "ports/WindowSystem.h"

enum class WindowEventKind {
    Created,
    Destroyed,
    Text,   // the window's name (its text) changed
    Value,  // its value, or one of its items, changed
    Shown,
    Hidden,
    State,  // enabled, disabled, checked, ...
};

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::Created;
    WindowHandle window = 0;
};

// Which kinds of change the system was seen to report when tried: what it does not report has to
// be read again to be seen.
struct EventCoverage {
    bool structure = false;  // windows created and destroyed
    bool texts = false;
    bool states = false;  // shown, hidden, enabled and disabled

    [[nodiscard]] bool Complete() const noexcept { return structure && texts && states; }
};

struct EventWake {
    std::vector<WindowEvent> events;  // in the order they came
    bool stopAsked = false;
};

class WindowEvents {
public:
    virtual ~WindowEvents() = default;

    // Starts listening to the changes of the windows of the program that owns window: before
    // they are first read, so that no change falls between. Answers what the system reports.
    [[nodiscard]] virtual EventCoverage Listen(WindowHandle window) = 0;
    // Waits at most timeout; answers as soon as events came or a stop was asked, with all that
    // came since the last call.
    [[nodiscard]] virtual EventWake Wait(std::chrono::milliseconds timeout) = 0;
};
