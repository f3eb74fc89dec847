// The automation double that stands in for "Excel.Application" in the tests: its classes, and
// what the in-process and the local server made of it need.
#pragma once

#include <windows.h>

// The in-process server serves the classes it is registered under, the local server the class
// its command line names.

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
