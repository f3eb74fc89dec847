// The thread of one window's accessible objects.
#include "win32/AccessibleSession.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

// What the caller and the thread share: the call handed over, and how many have ended.
struct AccessibleThread {
    std::mutex lock;
    std::condition_variable changed;
    AccessibleSession::Call call;
    bool callWaiting = false;
    bool ending = false;
    bool abandoned = false;
    std::uint64_t made = 0;
    std::uint64_t asked = 0;
};

namespace {

// The thread's life: its calls in order, until it is told to end; its objects go with it.
void Serve(const std::shared_ptr<AccessibleThread>& shared) {
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        AccessibleObjects objects;
        for (;;) {
            AccessibleSession::Call call;
            {
                std::unique_lock lock(shared->lock);
                shared->changed.wait(lock, [&] { return shared->callWaiting || shared->ending; });
                if (!shared->callWaiting) {
                    break;
                }
                call = std::move(shared->call);
                shared->callWaiting = false;
            }
            try {
                call(objects);
            } catch (...) {
                // A call that failed answers what it set before; the thread goes on.
            }
            {
                const std::lock_guard lock(shared->lock);
                ++shared->made;
            }
            shared->changed.notify_all();
        }
    }
    if (SUCCEEDED(joined)) {
        CoUninitialize();
    }
}

}  // namespace

AccessibleObjects::~AccessibleObjects() {
    for (IAccessible* object : m_objects) {
        object->Release();
    }
    for (IUnknown* identity : m_identities) {
        identity->Release();
    }
}

std::uint32_t AccessibleObjects::Number(IAccessible* object) {
    if (object == nullptr) {
        return 0;
    }
    IUnknown* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) ||
        identity == nullptr) {
        object->Release();
        return 0;
    }
    const auto known = m_numbers.find(identity);
    if (known != m_numbers.end()) {
        identity->Release();
        object->Release();
        return known->second;
    }
    m_objects.push_back(object);
    m_identities.push_back(identity);
    const auto number = static_cast<std::uint32_t>(m_objects.size());
    m_numbers.emplace(identity, number);
    return number;
}

IAccessible* AccessibleObjects::At(std::uint32_t number) const noexcept {
    return number == 0 || number > m_objects.size() ? nullptr : m_objects[number - 1];
}

std::unique_ptr<AccessibleSession> AccessibleSession::Start() {
    auto shared = std::make_shared<AccessibleThread>();
    try {
        std::thread([shared] { Serve(shared); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return std::unique_ptr<AccessibleSession>(new AccessibleSession(std::move(shared)));
}

AccessibleSession::~AccessibleSession() {
    {
        const std::lock_guard lock(m_thread->lock);
        m_thread->ending = true;
    }
    m_thread->changed.notify_all();
}

bool AccessibleSession::Make(Call call, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_thread->lock);
    if (m_thread->abandoned) {
        return false;
    }
    m_thread->call = std::move(call);
    m_thread->callWaiting = true;
    const std::uint64_t asked = ++m_thread->asked;
    m_thread->changed.notify_all();
    if (m_thread->changed.wait_for(lock, timeout, [&] { return m_thread->made == asked; })) {
        return true;
    }
    m_thread->abandoned = true;
    return false;
}
