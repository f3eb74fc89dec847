// Port: the message boxes of the application, all modal to the main window.
#pragma once

#include "common/Text.h"

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The error report box: title "Application Error", exclamation icon, OK only.
    virtual void ShowErrorReport(const Text& message) = 0;
};
