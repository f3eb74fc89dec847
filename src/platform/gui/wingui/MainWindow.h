// The main window on screen: creates the controls of the layout at the display's DPI, routes
// each message to one named handler and the clicks to the main form, and is the window's port
// and the skin engine's target. Its jobs live in files of their own: MainWindow.cpp (creation,
// the messages), MainWindowLayout.cpp, MainWindowPlacement.cpp, MainWindowPort.cpp,
// MainWindowSkin.cpp and MainWindowCommands.cpp.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/Steps.h"

#include "gui/MainForm.h"
#include "gui/RememberedSettings.h"
#include "ports/FormWindow.h"
#include "ports/Settings.h"
#include "skin/SkinFramework.h"
#include "win32/ScopedHandles.h"
#include "wingui/ButtonRow.h"
#include "wingui/DialogFocus.h"
#include "wingui/FindDialog.h"
#include "wingui/FirstColumnFit.h"
#include "wingui/ItemsWindows.h"
#include "wingui/OwnedWindow.h"
#include "wingui/OwnerDataList.h"
#include "wingui/PickAndHighlight.h"
#include "wingui/PointerSetting.h"
#include "wingui/ResultsLook.h"
#include "wingui/StatusLine.h"

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

    // Routes the window's events to form from now on; the window keeps its place and its lists'
    // column widths in settings.
    void Attach(MainForm& form, Settings& settings) noexcept {
        m_form = &form;
        m_remembered.emplace(settings);
    }
    // Runs the form's load step, then shows the window where it was last closed, or else centred
    // on its screen.
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
    int MousePointer() const override { return m_pointer.Value(); }
    void SetMousePointer(int setting) override;
    void EndProgram() override;
    void SetBusy(bool busy, bool stoppable) override;
    void ShowStatusNote(const Text& note) override;

    void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons, bool lists,
                   bool windowColour, bool fonts) override;

private:
    template <typename Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // The window's events go to the form once it is attached.
    [[nodiscard]] bool ReadyForMessages() const noexcept { return m_form != nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // No background brush: the window paints its own in its colour.
    // Its background is painted around its controls, never over them.
    static constexpr OwnedWindowKind kKind{L"TessivaneMainWindow",
                                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, nullptr,
                                           u"The main window"};

    // One handler per message; picking, focus and the results list's look have their own.
    LRESULT OnFindMessage() noexcept;
    LRESULT OnCommand(WPARAM wParam) noexcept;
    LRESULT OnNotify(NMHDR& header) noexcept;
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) const noexcept;
    LRESULT OnEraseBackground(HDC dc) const noexcept;
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested);
    LRESULT OnMouseMove() noexcept;
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam) const noexcept;
    LRESULT OnClose() noexcept;
    LRESULT OnSize(WPARAM kind) noexcept;
    LRESULT OnGetMinMaxInfo(MINMAXINFO& limits) const noexcept;
    LRESULT OnTimer() noexcept;
    // The results list's double-click opens the row's items.
    LRESULT OnResultsDoubleClick(const NMITEMACTIVATE& activation) noexcept;
    // The dialog keys' commands: Esc (IDCANCEL) and Enter (IDOK).
    void OnEscape() noexcept;
    void OnEnter() noexcept;

    void CreateControls();

    // MainWindowLayout.cpp: the controls' fonts and places at a DPI.
    void LayOut(UINT dpi);
    // The layout's client area at the window's DPI, with the status line, and the window's outer
    // size for it.
    [[nodiscard]] SIZE ClientSize() const noexcept;
    [[nodiscard]] SIZE OuterSize() const noexcept;

    // MainWindowPlacement.cpp.
    // Where the window opens: its saved place, moved onto the screen, or else centred on the
    // screen at the laid-out size.
    [[nodiscard]] RECT OpeningPlace(const std::optional<WindowPlace>& saved) const noexcept;
    // Keeps the window's place and its lists' column widths for the next run.
    void RememberLayout() noexcept;

    // MainWindowPort.cpp.
    bool SetPointerShape(HWND over) const noexcept;

    // MainWindowSkin.cpp.
    // The window's look as it is now, skin included, for the items windows it opens.
    [[nodiscard]] SkinDefinition CurrentLook() const;

    // MainWindowCommands.cpp.
    // Runs a command of the form (a member, or a callable taking the form); an end of the program
    // unwinds it to here. Defined below.
    template <typename Command>
    void Run(Command command) noexcept;
    // Runs the menu's command with that id, chosen by its key or not; nothing for an id of no
    // menu item.
    void RunMenuCommand(int id, bool byKey) noexcept;
    // Opens the items of the selected results row, or beeps when it has none.
    void OpenItemsOfSelectedResult() noexcept;
    // Copy Path: the selected results row's path on the clipboard; a box says when its window
    // has closed, a beep when no row is selected.
    void CopyPathOfSelectedResult() noexcept;
    // Find Next: the last search again, or the Find dialog before the first.
    void FindNext() noexcept;
    // The View menu's ticks and the results' indents as the form has them.
    void ShowViewChoices() noexcept;

    // Not owned: the window lives until the UI thread ends (see the destructor).
    HWND m_window = nullptr;
    bool m_closed = false;
    MainForm* m_form = nullptr;
    std::optional<RememberedSettings> m_remembered;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    // How much larger than the layout's the client area is now.
    Stretch m_stretch;
    ScopedIcon m_bigIcon;
    ScopedIcon m_smallIcon;
    PointerSetting m_pointer;
    ScopedAccelerators m_menuKeys;
    DialogFocus m_focus;
    // The control that had the focus when a command disabled the buttons.
    HWND m_focusBeforeBusy = nullptr;
    COLORREF m_background = RGB(255, 255, 255);
    std::unique_ptr<OwnerDataList> m_windowList;
    std::unique_ptr<OwnerDataList> m_results;
    std::unique_ptr<ButtonRow> m_buttons;
    std::unique_ptr<ItemsWindows> m_items;
    std::unique_ptr<ResultsLook> m_resultsLook;
    std::unique_ptr<StatusLine> m_status;
    std::unique_ptr<FirstColumnFit> m_classColumn;
    FindDialog m_find;
    std::unique_ptr<PickAndHighlight> m_picking;
};

// Every file of the window runs the form's commands through this one.
template <typename Command>
void MainWindow::Run(Command command) noexcept {
    try {
        std::invoke(command, *m_form);
    } catch (const ProgramEnding&) {
        // The window is gone and the message loop ends next.
        return;
    } catch (...) {
        // Every command reports its failures through the step runner: what unwinds past it has no
        // step to be reported under, and nothing may escape to the window procedure.
    }
    SyncLists();
    // Rows a command brought in show their class names whole.
    m_classColumn->Fit();
}
