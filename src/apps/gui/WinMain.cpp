// Entry point of Tessivane.exe: the platform's services, the main window and its form, and the
// message loop of the one UI thread.
#include <windows.h>
#include <commctrl.h>

#include <new>
#include <string>

#include "FaultExit.h"
#include "Version.h"
#include "core/Failure.h"
#include "gui/MainForm.h"
#include "skin/SkinFramework.h"
#include "win32/MessagePump.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Automation.h"
#include "win32/Win32Clipboard.h"
#include "win32/Win32Dialogs.h"
#include "win32/Win32Files.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32SaveFiles.h"
#include "win32/Win32Settings.h"
#include "win32/Win32Text.h"
#include "win32/Win32WindowSystem.h"
#include "wingui/MainWindow.h"

namespace {

constexpr wchar_t kStartFailureTitle[] = L"Application Error";
constexpr int kStartFailedExitCode = 1;

// Says why the program could not start, in a box; when not even a box can be shown (the system
// has no window left to give, say), to a debugger or a log of debug output.
int ShowStartFailure(const std::wstring& message) {
    if (MessageBoxW(nullptr, message.c_str(), kStartFailureTitle,
                    MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND) == 0) {
        const DWORD error = GetLastError();
        OutputDebugStringW((std::wstring(kStartFailureTitle) + L": " + message +
                            L" (no box could be shown: " + WideOf(SystemMessage(error)) + L")\n")
                               .c_str());
    }
    return kStartFailedExitCode;
}

// The window, the services it offers the form, and the message loop; answers the exit code.
int RunMainWindow() {
    MainWindow window;
    const auto syncLists = [&window] { window.SyncLists(); };
    Win32Dialogs dialogs(window.Window(), syncLists);
    Win32Files files;
    Win32SaveFiles saveFiles;
    Win32WindowSystem windows;
    MessagePump pump(
        syncLists, [&window](MSG& message) { return window.TranslateDialogKeys(message); },
        [&window] { return window.Closed(); });
    Win32Clipboard clipboard(window.Window(), &pump);
    Win32Automation automation(pump);
    SkinFramework skin(files, window);
    Win32Settings settings;
    Win32RemoteItems items;
    MainForm form(window.WindowList(), window.Results(),
                  MainFormServices{window, dialogs, files, windows, clipboard, pump, saveFiles,
                                   automation, skin, settings, items},
                  kProductName, u"" TESSIVANE_VERSION_TEXT);
    window.Attach(form, settings);
    window.LoadAndShow();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.TranslateDialogKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    InstallFaultExit();
    // One single-threaded apartment for the UI thread, for the save dialog and to look up the
    // spreadsheet application's name; its calls are made on a thread of their own.
    const OleSession ole;
    if (!ole.Started()) {
        return ShowStartFailure(
            L"Tessivane Window Text Reader could not start OLE: " +
            std::wstring(WideOf(SystemMessage(static_cast<DWORD>(ole.Result())))));
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // No exception may leave the entry point: whatever stopped the window is told.
    constexpr wchar_t kNoWindow[] = L"Tessivane Window Text Reader could not start its main window";
    try {
        return RunMainWindow();
    } catch (const Failure& failure) {
        return ShowStartFailure(kNoWindow + (L": " + std::wstring(WideOf(failure.Description()))));
    } catch (const std::bad_alloc&) {
        return ShowStartFailure(kNoWindow + std::wstring(L": there is not enough memory."));
    } catch (...) {
        return ShowStartFailure(kNoWindow + std::wstring(L"."));
    }
}
