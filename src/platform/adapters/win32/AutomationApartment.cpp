// The automation thread: its queue of work, its message filter and the UI thread's wait.
#include "win32/AutomationApartment.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "core/Failure.h"
#include "win32/ScopedHandles.h"

namespace {

// The thread's message that work is waiting in its queue.
constexpr UINT kRunWork = WM_APP;
// How long the UI thread's wait for an answer runs between two looks at its window.
constexpr DWORD kWaitSliceMs = 50;
// A call the application turned away because it is busy is tried again after this long.
constexpr DWORD kRetryRejectedAfterMs = 250;
// RetryRejectedCall's answer that gives the call up.
constexpr DWORD kGiveUpCall = static_cast<DWORD>(-1);

ScopedKernelHandle NewEvent() {
    ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        throw Failure(
            u"The spreadsheet application cannot be waited for: the system has no "
            u"more handles to give.");
    }
    return event;
}

// The thread's message filter, the system's way of asking a caller what to do while a call is
// pending or turned away: once a call is stopped, it is cancelled where the system allows that
// (the thread is left waiting for it otherwise); a busy application is asked again and again.
class StoppableFilter : public IMessageFilter {
public:
    explicit StoppableFilter(const std::atomic<bool>& stopped) noexcept : m_stopped(stopped) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The thread owns the filter and revokes it before the filter ends: no count is kept.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD rejectType) override {
        return rejectType == SERVERCALL_RETRYLATER && !m_stopped ? kRetryRejectedAfterMs
                                                                 : kGiveUpCall;
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return m_stopped ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
    }

private:
    const std::atomic<bool>& m_stopped;
};

}  // namespace

// What the UI side and the thread share; it lives as long as either needs it.
struct AutomationThread {
    std::mutex mutex;
    std::deque<std::function<void()>> work;
    DWORD id = 0;
    bool started = false;
    std::atomic<bool> stopped{false};

    // Hands work to the thread.
    void Post(std::function<void()> next) {
        bool wasIdle = false;
        {
            const std::lock_guard lock(mutex);
            wasIdle = work.empty();
            work.push_back(std::move(next));
        }
        // The thread takes all the work there is on each wake-up.
        if (wasIdle) {
            PostThreadMessageW(id, kRunWork, 0, 0);
        }
    }

    std::function<void()> NextWork() {
        const std::lock_guard lock(mutex);
        if (work.empty()) {
            return nullptr;
        }
        std::function<void()> next = std::move(work.front());
        work.pop_front();
        return next;
    }

    // Runs the work handed over until none is left, also what comes while it runs.
    void RunWork() {
        while (const std::function<void()> next = NextWork()) {
            next();
        }
    }

    // The thread's life: its apartment, its filter, and work as it comes.
    void Serve(HANDLE ready) {
        const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        StoppableFilter filter(stopped);
        started = SUCCEEDED(apartment) && SUCCEEDED(CoRegisterMessageFilter(&filter, nullptr));
        MSG message;
        // The message queue, made before the UI thread may post to it.
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        id = GetCurrentThreadId();
        SetEvent(ready);
        if (started) {
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (message.hwnd == nullptr && message.message == kRunWork) {
                    RunWork();
                } else {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            // What was handed over before the end: releases.
            RunWork();
            CoRegisterMessageFilter(nullptr, nullptr);
        }
        if (SUCCEEDED(apartment)) {
            CoUninitialize();
        }
    }
};

// One call handed to the thread. The UI thread may stop waiting for it; an answer that comes
// after that is released on the thread.
class AutomationApartment::PendingCall {
public:
    explicit PendingCall(std::function<IDispatch*()> call)
        : m_call(std::move(call)), m_done(NewEvent()) {}

    [[nodiscard]] HANDLE Done() const noexcept { return m_done.get(); }

    // On the thread.
    void Run() noexcept {
        IDispatch* answer = nullptr;
        std::exception_ptr failure;
        try {
            answer = m_call();
        } catch (...) {
            // Every failure is the caller's, rethrown on its thread: none may end this one.
            failure = std::current_exception();
        }
        const std::lock_guard lock(m_mutex);
        if (m_left) {
            if (answer != nullptr) {
                answer->Release();
            }
            return;
        }
        m_answer = answer;
        m_failure = failure;
        SetEvent(m_done.get());
    }

    // Once Done is set: the answer, or the call's failure thrown.
    IDispatch* Take() {
        const std::lock_guard lock(m_mutex);
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        return std::exchange(m_answer, nullptr);
    }

    // Nobody waits for the answer any more; answers one that came already, for the caller to
    // release on the thread.
    IDispatch* Leave() noexcept {
        const std::lock_guard lock(m_mutex);
        m_left = true;
        return std::exchange(m_answer, nullptr);
    }

private:
    std::mutex m_mutex;
    std::function<IDispatch*()> m_call;
    ScopedKernelHandle m_done;
    IDispatch* m_answer = nullptr;
    std::exception_ptr m_failure;
    bool m_left = false;
};

AutomationApartment::AutomationApartment() : m_thread(std::make_shared<AutomationThread>()) {
    const ScopedKernelHandle ready = NewEvent();
    // The thread keeps what it shares alive for itself: it may outlive this object, stuck in a
    // call that was left to it.
    try {
        std::thread([thread = m_thread, ready = ready.get()] { thread->Serve(ready); }).detach();
    } catch (const std::system_error&) {
        throw Failure(
            u"The spreadsheet application cannot be reached: the system could not "
            u"start a thread for it.");
    }
    WaitForSingleObject(ready.get(), INFINITE);
    if (!m_thread->started) {
        throw Failure(
            u"The spreadsheet application cannot be reached: OLE could not be started "
            u"for it.");
    }
}

AutomationApartment::~AutomationApartment() {
    try {
        m_thread->Post([] { PostQuitMessage(0); });
    } catch (...) {
        // A destructor may not throw: a thread that cannot be told to end stays until the
        // program ends.
    }
}

ApartmentObject& ApartmentObject::operator=(ApartmentObject&& other) noexcept {
    if (this != &other) {
        Reset();
        m_thread = std::move(other.m_thread);
        m_object = std::exchange(other.m_object, nullptr);
    }
    return *this;
}

void ApartmentObject::Reset() noexcept {
    IDispatch* const object = std::exchange(m_object, nullptr);
    if (object == nullptr) {
        return;
    }
    try {
        m_thread->Post([object] { object->Release(); });
    } catch (...) {
        // A release may not throw: an object whose release cannot be queued is left to the end
        // of the program.
    }
}

bool AutomationApartment::Stopped() const noexcept {
    return m_thread->stopped;
}

ApartmentObject AutomationApartment::Call(std::function<IDispatch*()> call, const Text& whenStopped,
                                          EventPump& pump, AutomationWait& wait) {
    if (Stopped()) {
        throw AutomationStopped(whenStopped);
    }
    const auto pending = std::make_shared<PendingCall>(std::move(call));
    m_thread->Post([pending] { pending->Run(); });
    // Unless its answer is taken, the call is left to the thread: after a stop, or when the
    // program ends while it waits.
    struct LeaveUnlessTaken {
        const std::shared_ptr<AutomationThread>& thread;
        PendingCall& pending;
        bool taken = false;
        ~LeaveUnlessTaken() {
            if (!taken) {
                // An answer that came already is released on the thread with its owner.
                const ApartmentObject late(thread, pending.Leave());
            }
        }
    } leave{m_thread, *pending};
    const auto started = std::chrono::steady_clock::now();
    auto askAt = started + kAskAfterWaiting;
    const HANDLE done = pending->Done();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, kWaitSliceMs, QS_ALLINPUT, 0);
        if (woke == WAIT_OBJECT_0) {
            break;
        }
        if (woke == WAIT_FAILED) {
            throw Failure(u"The spreadsheet application's answer could not be waited for.");
        }
        pump.Pump();
        const auto now = std::chrono::steady_clock::now();
        if (now >= askAt) {
            bool keepWaiting = false;
            try {
                keepWaiting = wait.KeepWaiting(
                    std::chrono::duration_cast<std::chrono::seconds>(now - started));
            } catch (...) {
                // Whatever ended the box goes on to the caller, once the window has been
                // answered: a box that ended because the window was closed.
                pump.Pump();
                throw;
            }
            pump.Pump();  // the window may have been closed while the box showed
            if (!keepWaiting) {
                m_thread->stopped = true;
                // Wakes the thread's wait, so that its filter cancels the call where it can.
                PostThreadMessageW(m_thread->id, WM_NULL, 0, 0);
                throw AutomationStopped(whenStopped);
            }
            askAt = std::chrono::steady_clock::now() + kAskAfterWaiting;
        }
    }
    leave.taken = true;
    return ApartmentObject(m_thread, pending->Take());
}
