// The items windows of the main window: opens one for a results row whose control has items,
// words the results rows' info tips, and lets the keyboard reach the open ones.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/RowTable.h"
#include "core/Text.h"
#include "skin/SkinFile.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32RemoteItems.h"
#include "wingui/ItemsWindow.h"

class ItemsWindows {
public:
    // The items windows are owned by owner: above it on screen, minimised with it, and each opens
    // in the look that look gives then.
    ItemsWindows(HWND owner, std::function<SkinDefinition()> look);
    ItemsWindows(const ItemsWindows&) = delete;
    ItemsWindows& operator=(const ItemsWindows&) = delete;

    // Opens an items window for the control that a results row (class name, handle, text) names,
    // or brings the one open for it to the front; false when the control has no items.
    bool Open(std::span<const Text> cells);
    // Opens the items window of the row at index (0-based) of rows; false when there is no such
    // row, its control has no items, or the window could not be made.
    bool OpenOfRow(const RowTable& rows, int index) noexcept;
    // What a results row's control holds, for the row's info tip; nothing when it has no items.
    [[nodiscard]] std::optional<Text> TipOf(std::span<const Text> cells);
    // Whether a results row is marked as one that opens items: see RowMayHaveItems.
    [[nodiscard]] bool MayOpen(std::span<const Text> cells) {
        return RowMayHaveItems(cells, m_probe);
    }
    // The keys of the items windows: Ctrl+C, Ctrl+S, F5, Ctrl+A, and the dialog keys (Tab, Enter,
    // Esc); true when the message was one of theirs and was used.
    bool TranslateKeys(MSG& message) noexcept;

private:
    HWND m_owner;
    std::function<SkinDefinition()> m_look;
    // The UI thread's own, for the counts that tell whether a control has items.
    Win32RemoteItems m_probe;
    ScopedAccelerators m_keys;
    std::vector<std::unique_ptr<ItemsWindow>> m_windows;
};
