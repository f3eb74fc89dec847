// The process's last exception filter and the report of the fault it ends the program with.
#include "FaultExit.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t kReceiverClass[] = L"TessivaneFaultExit";
constexpr wchar_t kTitle[] = L"Application Error";
// The message that asks the UI thread to show the report and end the program.
constexpr UINT kReportFault = WM_APP;
// How long the faulting thread waits for the UI thread to take the report over before it shows
// the report itself (the UI thread may be the one stuck).
constexpr DWORD kUiTakesOverWithinMs = 3000;

// Made before any fault: a fault may come when no more memory can be had.
HWND g_receiver = nullptr;
DWORD g_uiThread = 0;
HANDLE g_takenOver = nullptr;
wchar_t g_report[2048] = L"";
DWORD g_exitCode = 0;

const wchar_t* FaultName(DWORD code) noexcept {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return L"an access violation";
        case EXCEPTION_STACK_OVERFLOW:
            return L"a stack overflow";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return L"an illegal instruction";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return L"a division by zero";
        case EXCEPTION_IN_PAGE_ERROR:
            return L"a page that could not be read in";
        default:
            return L"an exception it did not handle";
    }
}

// The report, written into memory kept for it: the module where the fault happened, what it was
// and where.
void WriteReport(const EXCEPTION_RECORD& fault) noexcept {
    wchar_t module[MAX_PATH] = L"an unknown module";
    HMODULE faulting = nullptr;
    if (GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(fault.ExceptionAddress), &faulting)) {
        GetModuleFileNameW(faulting, module, static_cast<DWORD>(std::size(module)));
    }
    std::swprintf(g_report, std::size(g_report),
                  L"Tessivane Window Text Reader has to close: %ls failed with %ls (exception "
                  L"0x%08lX at address %p).\r\n\r\nResults that were not saved are lost.",
                  module, FaultName(fault.ExceptionCode),
                  static_cast<unsigned long>(fault.ExceptionCode), fault.ExceptionAddress);
    g_exitCode = fault.ExceptionCode;
}

[[noreturn]] void ShowReportAndEnd() noexcept {
    // A task-modal box holds back every window of the thread that shows it.
    if (MessageBoxW(nullptr, g_report, kTitle,
                    MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND) == 0) {
        OutputDebugStringW(g_report);
    }
    TerminateProcess(GetCurrentProcess(), g_exitCode);
    // TerminateProcess of the own process does not come back.
    for (;;) {
        Sleep(INFINITE);
    }
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReportFault) {
        SetEvent(g_takenOver);
        ShowReportAndEnd();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LONG WINAPI EndOnUnhandledFault(EXCEPTION_POINTERS* fault) {
    // Only the first fault is reported; a thread faulting meanwhile waits for the end.
    static LONG reported = 0;
    if (InterlockedExchange(&reported, 1) != 0) {
        Sleep(INFINITE);
    }
    WriteReport(*fault->ExceptionRecord);
    if (GetCurrentThreadId() != g_uiThread && g_receiver != nullptr &&
        PostMessageW(g_receiver, kReportFault, 0, 0) &&
        WaitForSingleObject(g_takenOver, kUiTakesOverWithinMs) == WAIT_OBJECT_0) {
        Sleep(INFINITE);
    }
    ShowReportAndEnd();
}

}  // namespace

void InstallFaultExit() noexcept {
    g_uiThread = GetCurrentThreadId();
    SetUnhandledExceptionFilter(&EndOnUnhandledFault);
    WNDCLASSEXW receiverClass{};
    receiverClass.cbSize = sizeof(receiverClass);
    receiverClass.lpfnWndProc = &ReceiverProc;
    receiverClass.hInstance = GetModuleHandleW(nullptr);
    receiverClass.lpszClassName = kReceiverClass;
    g_takenOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_takenOver != nullptr && RegisterClassExW(&receiverClass) != 0) {
        g_receiver = CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     receiverClass.hInstance, nullptr);
    }
}
