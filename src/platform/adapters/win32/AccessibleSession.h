// The thread that makes every call to one window's accessible objects, in the process's
// multithreaded apartment, so that a program that never answers holds up that thread alone: the
// caller stops waiting after its time-out and leaves the thread to the call.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// The objects of one tree that the thread holds, each under the number the tree gives it; released
// on the thread as it ends.
class AccessibleObjects {
public:
    AccessibleObjects() = default;
    ~AccessibleObjects();
    AccessibleObjects(const AccessibleObjects&) = delete;
    AccessibleObjects& operator=(const AccessibleObjects&) = delete;

    // Takes object's reference and answers its number: the one it already has when the object was
    // met before (COM gives one object one IUnknown), else the next; 0 when it is no object.
    std::uint32_t Number(IAccessible* object);
    // The object of a number; nullptr for a number no object has.
    [[nodiscard]] IAccessible* At(std::uint32_t number) const noexcept;

private:
    std::vector<IAccessible*> m_objects;
    std::unordered_map<IUnknown*, std::uint32_t> m_numbers;
    std::vector<IUnknown*> m_identities;
};

struct AccessibleThread;

class AccessibleSession {
public:
    using Call = std::function<void(AccessibleObjects&)>;

    // Starts the thread; nullptr when it cannot be started.
    static std::unique_ptr<AccessibleSession> Start();
    // Tells the thread to end once its call is done; never waits for it.
    ~AccessibleSession();
    AccessibleSession(const AccessibleSession&) = delete;
    AccessibleSession& operator=(const AccessibleSession&) = delete;

    // Makes call on the thread; false when it did not end within timeout, or an earlier call did
    // not: the thread is then left to that call, and ends after it. What call answers must live in
    // what it holds, not on the caller's stack, which it may outlive.
    bool Make(Call call, std::chrono::milliseconds timeout);

private:
    explicit AccessibleSession(std::shared_ptr<AccessibleThread> thread) noexcept
        : m_thread(std::move(thread)) {}

    std::shared_ptr<AccessibleThread> m_thread;
};
