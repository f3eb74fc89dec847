// The main window on screen: creates the controls of the layout at the display's DPI, routes
// each message to one named handler and the clicks to the main form, and is the window's port
// and the skin engine's target.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "gui/MainForm.h"
#include "gui/RowState.h"
#include "ports/FormWindow.h"
#include "skin/SkinFramework.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32WindowDetails.h"
#include "win32/Win32WindowSystem.h"
#include "wingui/DialogFocus.h"
#include "wingui/FindDialog.h"
#include "wingui/HighlightFrame.h"
#include "wingui/ItemsWindows.h"
#include "wingui/OwnerDataList.h"
#include "wingui/PushButton.h"
#include "wingui/WindowPicker.h"

class MainWindow : public FormWindow, public SkinTarget {
public:
    // Creates the window and its controls, hidden; throws Failure when it cannot.
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    [[nodiscard]] HWND Window() const noexcept { return m_window; }
    // True once the user has closed the window: the program is ending.
    [[nodiscard]] bool Closed() const noexcept { return m_closed; }
    [[nodiscard]] RowTable& WindowList() noexcept { return m_windowList->Rows(); }
    [[nodiscard]] RowTable& Results() noexcept { return m_results->Rows(); }

    // Routes the window's events to form from now on.
    void Attach(MainForm& form) noexcept { m_form = &form; }
    // Runs the form's load step, then shows the window centred on its screen.
    void LoadAndShow();
    // Lets the keyboard move between the controls, here and in the items windows; true when the
    // message was used.
    bool TranslateDialogKeys(MSG& message) noexcept;
    // Brings both lists' row counts up to date with their rows.
    void SyncLists() noexcept;

    void SetCaption(const Text& caption) override;
    void SetApplicationIcon() override;
    void SetCustomPointerImage(const Text& path) override;
    std::int32_t Handle() const override;
    void SetBackgroundColour(std::uint32_t colour) override;
    int MousePointer() const override { return m_pointer; }
    void SetMousePointer(int setting) override;
    void EndProgram() override;
    void SetBusy(bool busy, bool stoppable) override;

    void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons, bool lists,
                   bool windowColour, bool fonts) override;

private:
    template <typename Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void WindowCreated(HWND window) noexcept { m_window = window; }
    // The window's events go to the form once it is attached.
    [[nodiscard]] bool ReadyForMessages() const noexcept { return m_form != nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // One handler per message.
    LRESULT OnCommand(WPARAM wParam) noexcept;
    LRESULT OnNotify(NMHDR& header) noexcept;
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept;
    LRESULT OnEraseBackground(HDC dc) const noexcept;
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested);
    LRESULT OnMouseMove() noexcept;
    LRESULT OnLeftButtonUp() noexcept;
    LRESULT OnCaptureChanged() noexcept;
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam) const noexcept;
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnSetFocus() noexcept;
    LRESULT OnClose() noexcept;
    // The results list's notifications that open a row's items, word its info tip and mark the
    // rows whose windows have items.
    LRESULT OnResultsDoubleClick(const NMITEMACTIVATE& activation) noexcept;
    LRESULT OnResultsInfoTip(NMLVGETINFOTIPW& tip) noexcept;
    LRESULT OnResultsCustomDraw(NMLVCUSTOMDRAW& draw) noexcept;
    // One results row newly selected alone: its window is outlined for a moment.
    LRESULT OnResultsItemChanged(const NMLISTVIEW& change) noexcept;

    void CreateControls();
    void LayOut(UINT dpi);
    // The window's outer size for the layout's client area at the window's DPI.
    [[nodiscard]] SIZE OuterSize() const noexcept;
    // Runs a command of the form (a member, or a callable taking the form); an end of the program
    // unwinds it to here.
    template <typename Command>
    void Run(Command command) noexcept;
    [[nodiscard]] ScopedFont CreateButtonFont() const;
    [[nodiscard]] HCURSOR PointerShape() const noexcept;
    bool SetPointerShape(HWND over) const noexcept;
    [[nodiscard]] bool IsPushButton(HWND control) const noexcept;
    // Opens the items window of the results row at index; false when its window has no items.
    bool OpenItemsOfResult(int index) noexcept;
    // Opens the items of the selected results row, or beeps when it has none.
    void OpenItemsOfSelectedResult() noexcept;
    // Runs the menu's command with that id, chosen by its key or not; false when the menu has
    // none.
    bool RunMenuCommand(int id, bool byKey) noexcept;
    // Starts picking; by its key with the pointer over another program's window, picks that
    // window at once.
    void StartPicking(bool byKey) noexcept;
    // The form's pick of window; nothing when no window was picked.
    void Picked(HWND window) noexcept;
    // Outlines the window of the results row at index for a moment; false when it is not shown.
    bool HighlightResult(std::size_t index) noexcept;
    // Outlines the window of the selected results row, or beeps when there is none to outline.
    void HighlightSelectedResult() noexcept;
    // Find Next: the last search again, or the Find dialog before the first.
    void FindNext() noexcept;

    HWND m_window = nullptr;
    bool m_closed = false;
    MainForm* m_form = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    ScopedFont m_windowFont;
    // The lists' font underlined: the mark of a results row whose window may have items.
    ScopedFont m_itemsMarkFont;
    // The lists' font in italic, and underlined too: the rows of disabled windows.
    ScopedFont m_disabledFont;
    ScopedFont m_disabledItemsMarkFont;
    // The look of the results row being drawn, from its item's paint to its cells'.
    RowLook m_drawnRowLook = RowLook::Plain;
    // The results rows' windows as they are now, for their look and info tips.
    Win32WindowSystem m_windowSystem;
    Win32WindowDetails m_windowDetails;
    ScopedFont m_buttonFont;
    ScopedIcon m_bigIcon;
    ScopedIcon m_smallIcon;
    ScopedIcon m_handPointer;
    ScopedAccelerators m_menuKeys;
    DialogFocus m_focus;
    // The control that had the focus when a command disabled the buttons.
    HWND m_focusBeforeBusy = nullptr;
    int m_pointer = kDefaultPointer;
    // The buttons' look and font: the layout's, or the skin's where a skin applies them.
    SkinDefinition m_look;
    COLORREF m_background = RGB(255, 255, 255);
    std::unique_ptr<OwnerDataList> m_windowList;
    std::unique_ptr<OwnerDataList> m_results;
    std::vector<std::unique_ptr<PushButton>> m_buttons;
    std::unique_ptr<ItemsWindows> m_items;
    FindDialog m_find;
    std::unique_ptr<HighlightFrame> m_frame;
    std::unique_ptr<WindowPicker> m_picker;
};
