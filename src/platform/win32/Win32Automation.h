// OLE automation through IDispatch, every member looked up by name.
#pragma once

#include "ports/Automation.h"

class Win32Automation : public Automation {
public:
    std::unique_ptr<AutomationObject> Create(const Text& progId) override;
};
