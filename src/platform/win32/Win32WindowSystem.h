// The desktop's window tree through user32; text messages go out with a time-out.
#pragma once

#include "ports/WindowSystem.h"

class Win32WindowSystem : public WindowSystem {
public:
    WindowHandle DesktopWindow() override;
    WindowHandle Related(WindowHandle window, Relation relation) override;
    bool IsVisible(WindowHandle window) override;
    bool Exists(WindowHandle window) override;
    Text Title(WindowHandle window, int capacity) override;
    Text ClassName(WindowHandle window, int capacity) override;
    std::uint32_t ThreadOf(WindowHandle window) override;
    std::optional<std::int64_t> SendTextLength(WindowHandle window) override;
    std::optional<std::int64_t> SendGetText(WindowHandle window,
                                            std::span<char16_t> buffer) override;
};
