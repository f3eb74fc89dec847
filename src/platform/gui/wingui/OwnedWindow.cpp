// The program's own top-level windows: their classes and the failures of making them.
#include "wingui/OwnedWindow.h"

#include "core/Failure.h"
#include "core/Text.h"
#include "win32/Win32Text.h"
#include "wingui/Resources.h"

void RegisterOwnedWindowClass(const OwnedWindowKind& kind, WNDPROC procedure) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kind.className, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = kind.background;
    windowClass.lpszClassName = kind.className;
    if (RegisterClassExW(&windowClass) == 0) {
        const DWORD error = GetLastError();
        throw Failure(Text(kind.name) + u"'s class could not be registered: " +
                      SystemMessage(error));
    }
}

void ThrowWindowNotCreated(const OwnedWindowKind& kind, DWORD error) {
    throw Failure(Text(kind.name) + u" could not be created: " + SystemMessage(error));
}
