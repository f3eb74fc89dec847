// The thread that makes every call to one spreadsheet application, in a single-threaded apartment
// of its own, so that the UI thread is never caught in a call that does not come back.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>

#include "core/Text.h"
#include "ports/Automation.h"
#include "ports/EventPump.h"

// How long a call may wait for its answer before the user is asked whether to go on, and again
// after each "keep waiting".
inline constexpr std::chrono::seconds kAskAfterWaiting{5};

// The thread's side of an apartment: it lives as long as the apartment or an object of it does.
struct AutomationThread;

// A reference to an object of the apartment, released on the apartment's thread, which made it:
// an object of a single-threaded apartment may be released on no other thread.
class ApartmentObject {
public:
    ApartmentObject() noexcept = default;
    // Takes object's reference, which thread made.
    ApartmentObject(std::shared_ptr<AutomationThread> thread, IDispatch* object) noexcept
        : m_thread(std::move(thread)), m_object(object) {}
    ~ApartmentObject() { Reset(); }
    ApartmentObject(ApartmentObject&& other) noexcept
        : m_thread(std::move(other.m_thread)), m_object(std::exchange(other.m_object, nullptr)) {}
    ApartmentObject& operator=(ApartmentObject&& other) noexcept;
    ApartmentObject(const ApartmentObject&) = delete;
    ApartmentObject& operator=(const ApartmentObject&) = delete;

    // The object, for calls made on the apartment's thread; nullptr for none.
    [[nodiscard]] IDispatch* Get() const noexcept { return m_object; }
    // Hands the reference to the thread to release, without waiting.
    void Reset() noexcept;

private:
    std::shared_ptr<AutomationThread> m_thread;
    IDispatch* m_object = nullptr;
};

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
    // is left to the thread and AutomationStopped(whenStopped) thrown.
    [[nodiscard]] ApartmentObject Call(std::function<IDispatch*()> call, const Text& whenStopped,
                                       EventPump& pump, AutomationWait& wait);
    // True once a call was left to the thread: nothing more is asked of it.
    [[nodiscard]] bool Stopped() const noexcept;

private:
    class PendingCall;

    std::shared_ptr<AutomationThread> m_thread;
};
