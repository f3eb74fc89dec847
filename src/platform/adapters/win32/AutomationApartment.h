// The thread that makes every call to one spreadsheet application, in a single-threaded apartment
// of its own, so that the UI thread is never caught in a call that does not come back.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <chrono>
#include <functional>
#include <memory>

#include "core/Text.h"
#include "ports/Automation.h"
#include "ports/EventPump.h"

// How long a call may wait for its answer before the user is asked whether to go on, and again
// after each "keep waiting".
inline constexpr std::chrono::seconds kAskAfterWaiting{5};

class AutomationApartment {
public:
    // Starts the thread; throws Failure when it cannot be started.
    AutomationApartment();
    // Tells the thread to end once the work handed to it is done; never waits for it.
    ~AutomationApartment();
    AutomationApartment(const AutomationApartment&) = delete;
    AutomationApartment& operator=(const AutomationApartment&) = delete;

    // Runs call on the thread and answers its result: a new reference, or none. Meanwhile pump
    // answers the window (and throws ProgramEnding when it was closed); each time the call has
    // waited kAskAfterWaiting more, wait is asked whether to go on, and when it says no the call
    // is left to the thread and AutomationFailure(whenStopped), which ends the command, thrown.
    [[nodiscard]] IDispatch* Call(std::function<IDispatch*()> call, const Text& whenStopped,
                                  EventPump& pump, AutomationWait& wait);
    // Releases object on the thread, without waiting.
    void Release(IDispatch* object) noexcept;
    // True once a call was left to the thread: nothing more is asked of it.
    [[nodiscard]] bool Stopped() const noexcept;

private:
    struct Thread;
    class PendingCall;

    // Hands work to the thread.
    void Post(std::function<void()> work);

    std::shared_ptr<Thread> m_thread;
};
