// The desktop's window tree through user32; text messages go out with a time-out.
#pragma once

#include <windows.h>

#include <chrono>

#include "ports/WindowSystem.h"

// How a message that SendMessageTimeoutW did not deliver ended, by the error it left: refused for
// access (the target runs with higher rights), else timed out while the window exists, else gone.
[[nodiscard]] RemoteEnd UnansweredEnd(DWORD error, bool windowExists) noexcept;

// Sends a message that the target must answer within timeout; a target that does not answer in
// time, or is already known to the system as hung, is not waited for.
[[nodiscard]] RemoteNumber SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           std::chrono::milliseconds timeout = kTextMessageTimeout);

class Win32WindowSystem : public WindowSystem {
public:
    // Each text message waits at most textTimeout for its answer.
    explicit Win32WindowSystem(std::chrono::milliseconds textTimeout = kTextMessageTimeout) noexcept
        : m_textTimeout(textTimeout) {}

    WindowHandle DesktopWindow() override;
    WindowHandle Related(WindowHandle window, Relation relation) override;
    WindowHandle TopLevelOf(WindowHandle window) override;
    WindowHandle ForegroundWindow() override;
    WindowHandle DeepestWindowAt(std::int32_t x, std::int32_t y) override;
    bool IsVisible(WindowHandle window) override;
    bool Exists(WindowHandle window) override;
    Text Title(WindowHandle window, int capacity) override;
    Text ClassName(WindowHandle window, int capacity) override;
    std::uint32_t Style(WindowHandle window) override;
    std::uint32_t ThreadOf(WindowHandle window) override;
    RemoteNumber SendTextLength(WindowHandle window) override;
    RemoteNumber SendGetText(WindowHandle window, std::span<char16_t> buffer) override;
    bool AnswersInTime(WindowHandle window) override;

private:
    std::chrono::milliseconds m_textTimeout;
};
