// Entry point of Tessivane.exe: the main window and the message loop of the one UI thread.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "platform/win32/MainWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One single-threaded apartment for the UI thread, for the spreadsheet's automation.
    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxW(nullptr, L"Tessivane Window Text Reader could not start OLE.",
                    L"Application Error", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    try {
        INITCOMMONCONTROLSEX controls{sizeof(controls),
                                      ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        MainWindow window;
        window.LoadAndShow();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!window.TranslateDialogKeys(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        return static_cast<int>(message.wParam);
    } catch (...) {
        MessageBoxW(nullptr, L"Tessivane Window Text Reader could not start its main window.",
                    L"Application Error", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
}
