// The items of another program's controls through their own messages, with memory in the
// control's program for the messages that carry a structure, laid out for that program's
// bitness.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "ports/RemoteItems.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32WindowSystem.h"

class Win32RemoteItems final : public RemoteItems {
public:
    // Each message waits at most timeout for its answer.
    explicit Win32RemoteItems(std::chrono::milliseconds timeout = kTextMessageTimeout) noexcept
        : m_timeout(timeout) {}

    RemoteNumber Count(WindowHandle control, ItemCount query) override;
    bool KeepsStrings(WindowHandle control, ItemsKind kind) override;
    RemoteTexts ListTexts(WindowHandle control, ItemsKind kind, std::size_t first,
                          std::size_t count, std::size_t maxUnits) override;
    RemoteNumber ListViewColumnWidth(WindowHandle control, int column) override;
    RemoteNumber TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) override;
    RemoteTexts ConsoleLines(WindowHandle console, std::size_t maxUnits) override;
    RemoteTexts ItemTexts(WindowHandle control, ItemText what, std::span<const ItemRef> items,
                          std::size_t maxUnits) override;

private:
    // The program of the control last asked: opened once for a control's whole read.
    struct Target {
        DWORD processId = 0;
        ScopedKernelHandle process;
        bool is32Bit = false;
    };
    // The control's program, or nullptr when it cannot be opened (it is gone).
    Target* TargetOf(HWND control);

    Target m_target;
    std::chrono::milliseconds m_timeout;
};
