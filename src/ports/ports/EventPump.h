// Port: lets the window answer the user while a long command runs.
#pragma once

class EventPump {
public:
    virtual ~EventPump() = default;

    // Answers the pending events. Throws ProgramEnding when the main window was closed meanwhile.
    virtual void Pump() = 0;
};
