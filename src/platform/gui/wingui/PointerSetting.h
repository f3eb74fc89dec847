// The main window's pointer setting, as the form sets it (the default arrow, the hourglass or the
// custom image), and the shape it shows.
#pragma once

#include <windows.h>

#include "core/Text.h"
#include "ports/FormWindow.h"
#include "win32/ScopedHandles.h"

class PointerSetting {
public:
    [[nodiscard]] int Value() const noexcept { return m_value; }
    void Set(int value) noexcept { m_value = value; }
    // The hourglass governs the lists too, not only the window's surface and buttons.
    [[nodiscard]] bool Busy() const noexcept { return m_value == kBusyPointer; }
    // Loads a cursor file as the custom image; throws Failure when it cannot.
    void LoadCustomImage(const Text& path);
    // The arrow where the custom image is set but none was loaded.
    [[nodiscard]] HCURSOR Shape() const noexcept;

private:
    int m_value = kDefaultPointer;
    ScopedIcon m_customImage;
};
