// Port: what the main window's load and unload steps change on the real window.
#pragma once

#include <cstdint>

#include "core/Text.h"

// Values of the window's pointer setting.
inline constexpr int kDefaultPointer = 0;
inline constexpr int kBusyPointer = 11;
inline constexpr int kCustomPointer = 99;

class FormWindow {
public:
    virtual ~FormWindow() = default;

    virtual void SetCaption(const Text& caption) = 0;
    virtual void SetApplicationIcon() = 0;
    // Loads a cursor file as the window's custom pointer image; throws when it cannot.
    virtual void SetCustomPointerImage(const Text& path) = 0;
    // The window's pointer setting: the default arrow, the hourglass or the custom image.
    [[nodiscard]] virtual int MousePointer() const = 0;
    virtual void SetMousePointer(int setting) = 0;
    // The window's handle as a 32-bit value, for the skin engine.
    [[nodiscard]] virtual std::int32_t Handle() const = 0;
    // An OLE colour: 0x00BBGGRR, or a system colour with the high bit set (0x8000000F).
    virtual void SetBackgroundColour(std::uint32_t colour) = 0;
    // Ends the program: its message loop ends next, and a command that is letting events through
    // is unwound.
    virtual void EndProgram() = 0;
    // While busy, the buttons of the other commands are disabled; when stoppable too, the start
    // button reads "Stop" and stays enabled, and Esc stops the command.
    virtual void SetBusy(bool busy, bool stoppable) = 0;
    // How the last command ended ("Stopped after 12 windows"), shown on the status line in place
    // of the results' counts until they change.
    virtual void ShowStatusNote(const Text& note) = 0;
};
