// The automation double that stands in for "Excel.Application" in the tests: its classes, and
// what the in-process and the local server made of it need.
#pragma once

#include <windows.h>

// {7E1B3C42-5A4D-4E57-9C1A-2B7F0D6E9A11}, served in-process; the tests point the ProgID at it.
// The local server serves the class its command line names.
inline constexpr CLSID kAutomationDoubleClsid = {
    0x7e1b3c42, 0x5a4d, 0x4e57, {0x9c, 0x1a, 0x2b, 0x7f, 0x0d, 0x6e, 0x9a, 0x11}};

// The event a test sets to let a hanging call, or a local server that was told never to offer
// its class, go on.
inline constexpr wchar_t kHangReleaseEvent[] = L"TessivaneAutomationDoubleRelease";

// A new class factory of the double's Application.
HRESULT NewAutomationDoubleFactory(REFIID interfaceId, void** object);
// True while an object of the double other than the factories held is alive, or the server is
// locked.
bool AutomationDoubleInUse(long factoriesHeld);
// True once an Application was made and nothing is in use any more.
bool AutomationDoubleServedAll(long factoriesHeld);
// Waits until the test sets kHangReleaseEvent, two minutes at most.
void WaitForHangRelease();
