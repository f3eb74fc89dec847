// A window's state and place on screen, and its program, through user32 and kernel32.
#pragma once

#include "ports/WindowDetails.h"

class Win32WindowDetails final : public WindowDetails {
public:
    std::int64_t ControlId(WindowHandle window) override;
    std::optional<WindowFacts> FactsWithId(WindowHandle window, std::int64_t controlId) override;
    WindowHandle ParentOf(WindowHandle window) override;
    std::uint32_t ProcessOf(WindowHandle window) override;
    Text ImageName(std::uint32_t processId) override;
};
