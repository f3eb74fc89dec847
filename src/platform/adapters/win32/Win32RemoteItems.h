// The items of another program's controls through their own messages, with memory in the
// control's program for the messages that carry a structure, laid out for that program's
// bitness. The texts read through that memory are RemoteItemTexts' job, and the menus, which
// the system's menu functions read, are in Win32RemoteMenus.cpp.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "ports/RemoteItems.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32WindowSystem.h"

// Why a control's program could not be opened, by the error OpenProcess left: refused for access
// (it runs with higher rights), else gone.
[[nodiscard]] RemoteEnd UnopenedEnd(DWORD error) noexcept;

// Why a menu call failed, by the error it left: refused for access, else the menu is no menu this
// program may read (another program's menu on a system that keeps menus apart, or one destroyed).
[[nodiscard]] RemoteEnd UnreadMenuEnd(DWORD error) noexcept;

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
    RemoteNumber MenuBar(WindowHandle window) override;
    RemoteNumber MenuItemCount(std::uint64_t menu) override;
    RemoteMenuItem MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) override;
    RemoteNumber AccessibleChildCount(WindowHandle window) override;
    std::optional<RemoteNumber> KnownAccessibleChildCount(WindowHandle window) override;
    std::unique_ptr<AccessibleTree> OpenAccessibleTree(WindowHandle window,
                                                       RemoteEnd& end) override;

private:
    // The program of the control last asked: opened once for a control's whole read.
    struct Target {
        DWORD processId = 0;
        ScopedKernelHandle process;
        bool is32Bit = false;
    };
    // The control's program, or no target and why it cannot be opened.
    struct Opened {
        Target* target = nullptr;
        RemoteEnd end = RemoteEnd::Gone;
    };
    Opened TargetOf(HWND control);

    Target m_target;
    std::chrono::milliseconds m_timeout;
};
