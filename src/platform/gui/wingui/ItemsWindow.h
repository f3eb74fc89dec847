// An items window on screen: a resizable top-level window, owned by the main window, that shows
// the items of one control in a list with the Copy, Save As and Refresh buttons under it and a
// status bar; it routes each message to one named handler and the commands to its ItemsForm.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/ItemsForm.h"
#include "skin/SkinFile.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Clipboard.h"
#include "win32/Win32Dialogs.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32SaveFiles.h"
#include "wingui/DialogFocus.h"
#include "wingui/ItemsListView.h"
#include "wingui/OwnedWindow.h"
#include "wingui/PushButton.h"

// The window class, and the ids of the controls and commands, which the buttons and the keys
// (Ctrl+C, Ctrl+S, F5, Ctrl+A; Esc closes) share.
inline constexpr wchar_t kItemsWindowClass[] = L"TessivaneItemsWindow";
inline constexpr int kItemsListId = 201;
inline constexpr int kItemsStatusBarId = 202;
inline constexpr int kItemsCopyCommand = 2001;
inline constexpr int kItemsSaveAsCommand = 2002;
inline constexpr int kItemsRefreshCommand = 2003;
inline constexpr int kItemsSelectAllCommand = 2004;

// The layout, in twips (1/1440 inch) at the window's DPI: the list fills the client area above
// a row of buttons, left-aligned, over the status bar.
inline constexpr int kItemsMarginTwips = 120;
inline constexpr int kItemsButtonWidthTwips = 1500;
inline constexpr int kItemsButtonHeightTwips = 405;
// The buttons' size; the window places them itself, along its bottom edge.
inline constexpr RECT kItemsButtonTwips{0, 0, kItemsButtonWidthTwips, kItemsButtonHeightTwips};
inline constexpr std::array<ButtonPlace, 3> kItemsButtons{{
    {kItemsCopyCommand, L"Copy", kItemsButtonTwips, nullptr},
    {kItemsSaveAsCommand, L"Save As...", kItemsButtonTwips, nullptr},
    {kItemsRefreshCommand, L"Refresh", kItemsButtonTwips, nullptr},
}};
inline constexpr SIZE kItemsClientTwips{10800, 6480};
inline constexpr SIZE kItemsSmallestClientTwips{5400, 2160};
// The read's note takes this share of the status bar, the last command's note the rest.
inline constexpr int kItemsReadNotePercent = 60;

class ItemsWindow {
public:
    // Creates and shows the window for source's control, owned by owner and over it (cascade
    // steps in: the number of items windows open), in its owner's look (buttons, fonts and
    // colours), and starts reading its items; closed runs when the user has closed the window,
    // for closed's owner to destroy this object and the window with it. Throws Failure when it
    // cannot be created.
    ItemsWindow(HWND owner, int cascade, ItemsSource source, const SkinDefinition& look,
                std::function<void(ItemsWindow&)> closed);
    ItemsWindow(const ItemsWindow&) = delete;
    ItemsWindow& operator=(const ItemsWindow&) = delete;

    [[nodiscard]] HWND Window() const noexcept { return m_window.get(); }
    [[nodiscard]] WindowHandle Control() const noexcept { return m_form->Source().control; }

private:
    void PlaceOver(HWND owner, int cascade) const noexcept;
    template <typename Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // The messages go to the handlers once the controls are made.
    [[nodiscard]] bool ReadyForMessages() const noexcept { return m_list != nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // One handler per message.
    LRESULT OnCommand(WPARAM wParam) noexcept;
    LRESULT OnNotify(NMHDR& header) noexcept;
    LRESULT OnSize() noexcept;
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept;
    LRESULT OnEraseBackground(HDC dc) const noexcept;
    LRESULT OnGetMinMaxInfo(MINMAXINFO& limits) const noexcept;
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested) noexcept;
    LRESULT OnReadEnded() noexcept;
    LRESULT OnClose() noexcept;

    void CreateControls();
    // Takes the fonts for dpi and moves the controls to their places in the client area.
    void LayOut(UINT dpi);
    void PlaceControls() const noexcept;
    // Brings the title, the status bar and the Refresh button up to date with the form.
    void ShowState() noexcept;
    void Refresh() noexcept;
    [[nodiscard]] int Pixels(int twips) const noexcept;
    // Runs closed, whose owner destroys this object: nothing here may touch it after that.
    void Dismiss() noexcept;

    std::function<void(ItemsWindow&)> m_closed;
    SkinDefinition m_look;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    ScopedFont m_listFont;
    ScopedFont m_buttonFont;
    // The ports the form reads and writes through; the reading thread uses m_remote alone.
    Win32RemoteItems m_remote;
    std::optional<Win32Clipboard> m_clipboard;
    std::optional<Win32Dialogs> m_dialogs;
    Win32SaveFiles m_saveFiles;
    std::unique_ptr<ItemsForm> m_form;
    std::unique_ptr<ItemsListView> m_list;
    std::vector<std::unique_ptr<PushButton>> m_buttons;
    HWND m_statusBar = nullptr;
    DialogFocus m_focus;
    // The user closed the window while a read ran: it is hidden and goes once the read has
    // stopped.
    bool m_closing = false;
    // Last, so that the window goes first, before the objects its messages reach.
    ScopedOwnedWindow m_window;
};
