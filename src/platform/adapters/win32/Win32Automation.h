// OLE automation through IDispatch, every member looked up by name, every call made on a thread
// of its own.
#pragma once

#include <memory>

#include "ports/Automation.h"
#include "ports/EventPump.h"
#include "win32/AutomationApartment.h"

class Win32Automation : public Automation {
public:
    // pump answers the window while a call waits.
    explicit Win32Automation(EventPump& pump) noexcept : m_pump(pump) {}

    std::unique_ptr<AutomationObject> Create(const Text& progId, AutomationWait& wait) override;

private:
    EventPump& m_pump;
    // The thread of the applications created; a new one after a call was left to it.
    std::shared_ptr<AutomationApartment> m_apartment;
};
