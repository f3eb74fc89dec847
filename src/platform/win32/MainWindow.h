// The main window on screen: creates the controls of the layout at the display's DPI, routes
// clicks to Form1 and implements the window's own port.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "app/Form1.h"
#include "app/FormWindow.h"
#include "app/ListView.h"
#include "app/Skin.h"
#include "platform/win32/ListViewControl.h"
#include "platform/win32/MessagePump.h"
#include "platform/win32/ScopedHandles.h"
#include "platform/win32/Win32Automation.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32WindowSystem.h"

class MainWindow : public FormWindow, public SkinTarget {
public:
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the load step, then shows the window centred on its screen.
    void LoadAndShow();
    // Lets the keyboard move between the controls; true when the message was used.
    bool TranslateDialogKeys(MSG& message) noexcept;

    void SetCaption(const Text& caption) override;
    void SetApplicationIcon() override;
    void SetCustomPointerImage(const Text& path) override;
    std::int32_t Handle() const override;
    void SetBackgroundColour(std::uint32_t colour) override;
    int MousePointer() const override { return m_pointer; }
    void SetMousePointer(int setting) override;
    void EndProgram() override;

    void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons, bool lists,
                   bool windowColour, bool fonts) override;

private:
    struct Button {
        int id;
        const wchar_t* caption;
        RECT twips;  // left, top, right, bottom in twips
        void (Form1::*click)();
        HWND handle = nullptr;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    void LayOut(UINT dpi);
    [[nodiscard]] RECT Pixels(const RECT& twips) const noexcept;
    void Click(int id) noexcept;
    void DrawButton(const DRAWITEMSTRUCT& item) const noexcept;
    [[nodiscard]] ScopedFont CreateButtonFont() const;
    void SyncLists() noexcept;
    [[nodiscard]] HCURSOR PointerShape() const noexcept;
    bool SetPointerShape(HWND over) const noexcept;

    HWND m_window = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    ScopedFont m_windowFont;
    ScopedFont m_buttonFont;
    ScopedIcon m_bigIcon;
    ScopedIcon m_smallIcon;
    ScopedIcon m_handPointer;
    HWND m_lastFocus = nullptr;
    int m_pointer = kDefaultPointer;
    HWND m_hotButton = nullptr;
    // The buttons' look and font: the layout's, or the skin's where a skin applies them.
    SkinDefinition m_look;
    COLORREF m_background = RGB(255, 255, 255);
    std::array<Button, 6> m_buttons;

    std::unique_ptr<ListViewControl> m_listControl1;
    std::unique_ptr<ListViewControl> m_listControl2;
    std::unique_ptr<ListView> m_listView1;
    std::unique_ptr<ListView> m_listView2;
    std::unique_ptr<Win32Dialogs> m_dialogs;
    std::unique_ptr<Win32Clipboard> m_clipboard;
    Win32SaveFiles m_saveFiles;
    Win32Files m_files;
    std::unique_ptr<MessagePump> m_pump;
    Win32WindowSystem m_windows;
    Win32Automation m_automation;
    SkinFramework m_skinFramework{m_files, *this};
    std::unique_ptr<Form1> m_form;
};
