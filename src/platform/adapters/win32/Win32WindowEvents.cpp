// Window events and the console's stop keys.
#include "win32/Win32WindowEvents.h"

#include <algorithm>
#include <optional>

#include "core/Failure.h"
#include "win32/Win32Text.h"

namespace {

// The one listener of the process, for the hook's callback and the console's handler.
Win32WindowEvents* g_listener = nullptr;
std::vector<WindowEvent>* g_received = nullptr;
HANDLE g_stop = nullptr;
HANDLE g_finished = nullptr;

// How long the handler of a closing console lets the command write its last line: the system
// ends the process once the handler returns.
constexpr DWORD kCloseGraceMs = 4000;
// How long the probe waits for the events of its own window's changes.
constexpr ULONGLONG kProbeWaitMs = 250;

// What the event says of a window; nothing for events of its parts (caret, scroll bars, menus)
// and of where it is.
std::optional<WindowEventKind> KindOf(DWORD event, LONG object, LONG child) {
    if (object == OBJID_CLIENT) {
        // A control's own parts: its items, its value.
        switch (event) {
            case EVENT_OBJECT_CREATE:
            case EVENT_OBJECT_DESTROY:
            case EVENT_OBJECT_REORDER:
            case EVENT_OBJECT_NAMECHANGE:
            case EVENT_OBJECT_VALUECHANGE:
                return WindowEventKind::Value;
            case EVENT_OBJECT_STATECHANGE:
                return child == CHILDID_SELF ? std::optional(WindowEventKind::State) : std::nullopt;
            default:
                return std::nullopt;
        }
    }
    if (object != OBJID_WINDOW || child != CHILDID_SELF) {
        return std::nullopt;
    }
    switch (event) {
        case EVENT_OBJECT_CREATE:
            return WindowEventKind::Created;
        case EVENT_OBJECT_DESTROY:
            return WindowEventKind::Destroyed;
        case EVENT_OBJECT_SHOW:
            return WindowEventKind::Shown;
        case EVENT_OBJECT_HIDE:
            return WindowEventKind::Hidden;
        case EVENT_OBJECT_NAMECHANGE:
            return WindowEventKind::Text;
        case EVENT_OBJECT_VALUECHANGE:
            return WindowEventKind::Value;
        case EVENT_OBJECT_STATECHANGE:
            return WindowEventKind::State;
        default:
            return std::nullopt;
    }
}

bool Received(const std::vector<WindowEvent>& events, WindowEventKind kind, HWND window) {
    return std::any_of(events.begin(), events.end(), [&](const WindowEvent& event) {
        return event.kind == kind && event.window == HandleOf(window);
    });
}

}  // namespace

Win32WindowEvents::Win32WindowEvents()
    : m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_finished(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!m_stop || !m_finished || g_listener != nullptr) {
        throw Failure(u"The window events cannot be listened to.");
    }
    g_listener = this;
    g_received = &m_events;
    g_stop = m_stop.get();
    g_finished = m_finished.get();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

Win32WindowEvents::~Win32WindowEvents() {
    if (m_hook != nullptr) {
        UnhookWinEvent(m_hook);
    }
    // A closing console's handler may end the process now.
    SetEvent(m_finished.get());
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_listener = nullptr;
    g_received = nullptr;
}

void CALLBACK Win32WindowEvents::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                         LONG child, DWORD, DWORD) {
    const std::optional<WindowEventKind> kind = KindOf(event, object, child);
    if (kind && window != nullptr && g_received != nullptr) {
        g_received->push_back({*kind, HandleOf(window)});
    }
}

BOOL WINAPI Win32WindowEvents::OnConsoleControl(DWORD control) {
    if (control != CTRL_C_EVENT && control != CTRL_BREAK_EVENT && control != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    SetEvent(g_stop);
    if (control == CTRL_CLOSE_EVENT) {
        WaitForSingleObject(g_finished, kCloseGraceMs);
    }
    return TRUE;
}

HWINEVENTHOOK Win32WindowEvents::Hook(DWORD processId) {
    return SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent,
                           processId, 0, WINEVENT_OUTOFCONTEXT);
}

void Win32WindowEvents::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

EventCoverage Win32WindowEvents::ProbeCoverage() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWINEVENTHOOK own = Hook(GetCurrentProcessId());
    const ScopedWindow parent(CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 0, 0, 1,
                                              1, nullptr, nullptr, instance, nullptr));
    if (own == nullptr || !parent) {
        if (own != nullptr) {
            UnhookWinEvent(own);
        }
        return {};
    }
    HWND window = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1,
                                  parent.get(), nullptr, instance, nullptr);
    SetWindowTextW(window, L"probe");
    EnableWindow(window, FALSE);
    ShowWindow(window, SW_HIDE);
    DestroyWindow(window);
    const ULONGLONG end = GetTickCount64() + kProbeWaitMs;
    const auto seen = [&] {
        return Received(m_events, WindowEventKind::Destroyed, window) &&
               Received(m_events, WindowEventKind::Text, window) &&
               Received(m_events, WindowEventKind::State, window) &&
               Received(m_events, WindowEventKind::Hidden, window);
    };
    for (ULONGLONG now = GetTickCount64(); now < end && !seen(); now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        PumpMessages();
    }
    UnhookWinEvent(own);
    EventCoverage coverage;
    coverage.structure = Received(m_events, WindowEventKind::Created, window) &&
                         Received(m_events, WindowEventKind::Destroyed, window);
    coverage.texts = Received(m_events, WindowEventKind::Text, window);
    coverage.states = Received(m_events, WindowEventKind::State, window) &&
                      Received(m_events, WindowEventKind::Hidden, window);
    m_events.clear();
    return coverage;
}

EventCoverage Win32WindowEvents::Listen(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(HwndOf(window), &processId);
    const EventCoverage coverage = ProbeCoverage();
    if (m_hook != nullptr) {
        UnhookWinEvent(m_hook);
    }
    m_hook = processId != 0 ? Hook(processId) : nullptr;
    return m_hook != nullptr ? coverage : EventCoverage{};
}

EventWake Win32WindowEvents::Wait(std::chrono::milliseconds timeout) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    HANDLE stop = m_stop.get();
    for (;;) {
        PumpMessages();
        const bool stopAsked = WaitForSingleObject(stop, 0) == WAIT_OBJECT_0;
        const ULONGLONG now = GetTickCount64();
        if (!m_events.empty() || stopAsked || now >= end) {
            EventWake wake;
            wake.events.swap(m_events);
            wake.stopAsked = stopAsked;
            return wake;
        }
        MsgWaitForMultipleObjects(1, &stop, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}
