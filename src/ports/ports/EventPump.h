// Port: lets the window answer the user while a long command runs.
#pragma once

#include <chrono>

class EventPump {
public:
    virtual ~EventPump() = default;

    // Answers the pending events. Throws ProgramEnding when the main window was closed meanwhile.
    virtual void Pump() = 0;
    // Waits up to wait for events to come and answers them, as Pump does.
    virtual void PumpFor(std::chrono::milliseconds wait) = 0;
    // From any thread: ends the wait of a PumpFor now.
    virtual void Wake() noexcept = 0;
};
