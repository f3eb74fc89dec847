// Port: what the main window's load and unload steps change on the real window.
#pragma once

#include "common/Text.h"

class FormWindow {
public:
    virtual ~FormWindow() = default;

    virtual void SetCaption(const Text& caption) = 0;
    virtual void SetApplicationIcon() = 0;
    // Loads a cursor file as the window's custom pointer image; throws when it cannot.
    virtual void SetCustomPointerImage(const Text& path) = 0;
    // Ends the process at once.
    virtual void EndProgram() = 0;
};
