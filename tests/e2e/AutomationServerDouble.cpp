// The automation double as a local server, out of process as the real spreadsheet application
// is: AutomationServerDouble.exe, started by COM as "AutomationServerDouble.exe {class}
// -Embedding" with the class it was registered under. It serves until every object it made is
// released and it has been idle a while. With
// TESSIVANE_AUTOMATION_NEVER_REGISTER set it starts but never offers its class, like a server
// that hangs as it starts.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "tests/e2e/AutomationDouble.h"

namespace {

constexpr wchar_t kNeverRegisterVariable[] = L"TESSIVANE_AUTOMATION_NEVER_REGISTER";
// Idle this long after its last object went, the server ends; a client that comes back at once
// still finds it.
constexpr ULONGLONG kIdleBeforeEndMs = 3000;
constexpr DWORD kLookEveryMs = 100;

// Answers the thread's messages (the calls of COM) until the server has served all and stayed
// idle.
void Serve() {
    constexpr long kFactoriesHeld = 1;
    ULONGLONG idleSince = 0;
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookEveryMs, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!AutomationDoubleServedAll(kFactoriesHeld)) {
            idleSince = 0;
        } else if (idleSince == 0) {
            idleSince = GetTickCount64();
        } else if (GetTickCount64() - idleSince >= kIdleBeforeEndMs) {
            return;
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* const arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    CLSID served{};
    const bool named =
        arguments != nullptr && count >= 2 && SUCCEEDED(CLSIDFromString(arguments[1], &served));
    LocalFree(arguments);
    if (!named || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    if (GetEnvironmentVariableW(kNeverRegisterVariable, nullptr, 0) != 0) {
        WaitForHangRelease();
    } else {
        IUnknown* factory = nullptr;
        DWORD registration = 0;
        if (SUCCEEDED(
                NewAutomationDoubleFactory(IID_IUnknown, reinterpret_cast<void**>(&factory))) &&
            SUCCEEDED(CoRegisterClassObject(served, factory, CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &registration))) {
            Serve();
            CoRevokeClassObject(registration);
        }
        if (factory != nullptr) {
            factory->Release();
        }
    }
    CoUninitialize();
    return 0;
}
