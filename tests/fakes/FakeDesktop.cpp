// The in-memory desktop of the unit tests.
#include "fakes/FakeDesktop.h"

#include <algorithm>

WindowHandle FakeDesktop::Add(WindowHandle parent, Window window) {
    const WindowHandle handle = m_nextHandle;
    m_nextHandle += 4;
    window.parent = parent;
    auto& siblings = m_windows.at(parent).children;
    window.position = siblings.size();
    siblings.push_back(handle);
    m_windows[handle] = std::move(window);
    return handle;
}

void FakeDesktop::Detach(WindowHandle window) {
    const Window& detached = m_windows.at(window);
    auto& siblings = m_windows.at(detached.parent).children;
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(detached.position));
    for (std::size_t position = detached.position; position < siblings.size(); ++position) {
        m_windows.at(siblings[position]).position = position;
    }
}

void FakeDesktop::Remove(WindowHandle window) {
    // Its descendants go with it, as on a real desktop.
    for (const WindowHandle child : std::vector<WindowHandle>(m_windows.at(window).children)) {
        Remove(child);
    }
    Detach(window);
    m_windows.erase(window);
}

void FakeDesktop::Move(WindowHandle window, WindowHandle parent) {
    Detach(window);
    Window& moved = m_windows.at(window);
    Window& newParent = m_windows.at(parent);
    moved.parent = parent;
    moved.position = newParent.children.size();
    newParent.children.push_back(window);
}

const FakeDesktop::Window* FakeDesktop::Find(WindowHandle window) const {
    const auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

WindowHandle FakeDesktop::Related(WindowHandle window, Relation relation) {
    const Window* found = Find(window);
    if (found == nullptr) {
        return 0;
    }
    switch (relation) {
        case Relation::Child:
            return found->children.empty() ? 0 : found->children.front();
        case Relation::Owner:
            return found->owner;
        case Relation::Next: {
            const Window* parent = Find(found->parent);
            if (parent == nullptr) {
                return 0;
            }
            const auto& siblings = parent->children;
            return found->position + 1 < siblings.size() ? siblings[found->position + 1] : 0;
        }
    }
    return 0;
}

WindowHandle FakeDesktop::TopLevelOf(WindowHandle window) {
    const Window* found = Find(window);
    while (found != nullptr && found->parent != kDesktop) {
        window = found->parent;
        found = Find(window);
    }
    return found == nullptr ? 0 : window;
}

WindowHandle FakeDesktop::DeepestWindowAt(std::int32_t x, std::int32_t y) {
    WindowHandle deepest = 0;
    for (WindowHandle parent = kDesktop;;) {
        const auto& children = m_windows.at(parent).children;
        const auto holding =
            std::find_if(children.begin(), children.end(), [&](WindowHandle child) {
                const Window& window = m_windows.at(child);
                return window.visible && x >= window.rect.left && x < window.rect.right &&
                       y >= window.rect.top && y < window.rect.bottom;
            });
        if (holding == children.end()) {
            return deepest;
        }
        deepest = parent = *holding;
    }
}

bool FakeDesktop::IsVisible(WindowHandle window) {
    const Window* found = Find(window);
    return found != nullptr && found->visible;
}

Text FakeDesktop::Title(WindowHandle window, int capacity) {
    const Window* found = Find(window);
    return found == nullptr ? Text() : found->title.substr(0, capacity - 1);
}

Text FakeDesktop::ClassName(WindowHandle window, int capacity) {
    const Window* found = Find(window);
    return found == nullptr ? Text() : found->className.substr(0, capacity - 1);
}

std::uint32_t FakeDesktop::Style(WindowHandle window) {
    const Window* found = Find(window);
    return found == nullptr ? 0 : found->style;
}

std::uint32_t FakeDesktop::ThreadOf(WindowHandle window) {
    const Window* found = Find(window);
    return found == nullptr ? 0 : found->thread;
}

RemoteNumber FakeDesktop::SendTextLength(WindowHandle window) {
    ++lengthRequests[window];
    const Window* found = Find(window);
    if (found == nullptr) {
        return {};
    }
    if (const RemoteEnd end = Unanswered(*found, true); end != RemoteEnd::Answered) {
        return {0, end};
    }
    if (found->failTextRead) {
        throw std::runtime_error("text read failed");
    }
    return {found->claimedLength.value_or(static_cast<std::int64_t>(found->text.size()))};
}

RemoteNumber FakeDesktop::SendGetText(WindowHandle window, std::span<char16_t> buffer) {
    ++textRequests[window];
    largestTextBuffer = std::max(largestTextBuffer, buffer.size());
    if (onTextRequest) {
        onTextRequest(window);
    }
    const Window* found = Find(window);
    if (found == nullptr || buffer.empty()) {
        return {};
    }
    if (const RemoteEnd end = Unanswered(*found, true); end != RemoteEnd::Answered) {
        return {0, end};
    }
    if (found->failTextRead) {
        throw std::runtime_error("text read failed");
    }
    if (found->writesNothing) {
        return {found->claimedCopied.value_or(0)};
    }
    // Like WM_GETTEXT: copies what fits with a terminator, answers the count copied.
    const std::size_t count = std::min(found->text.size(), buffer.size() - 1);
    std::copy_n(found->text.begin(), count, buffer.begin());
    buffer[count] = u'\0';
    if (found->claimsWholeBuffer) {
        return {static_cast<std::int64_t>(buffer.size() - 1)};
    }
    return {found->claimedCopied.value_or(static_cast<std::int64_t>(count))};
}

bool FakeDesktop::AnswersInTime(WindowHandle window) {
    ++probes[window];
    const Window* found = Find(window);
    return found != nullptr && Unanswered(*found, false) == RemoteEnd::Answered;
}

RemoteEnd FakeDesktop::Unanswered(const Window& window, bool textMessage) {
    if (textMessage && window.leavesTextUnanswered) {
        return RemoteEnd::TimedOut;
    }
    if (m_deniedThreads.contains(window.thread)) {
        return RemoteEnd::Denied;
    }
    const auto stall = m_stalls.find(window.thread);
    if (stall != m_stalls.end() && stall->second > 0) {
        --stall->second;
        return RemoteEnd::TimedOut;
    }
    return m_hungThreads.contains(window.thread) ? RemoteEnd::TimedOut : RemoteEnd::Answered;
}

std::int64_t FakeDesktop::ControlId(WindowHandle window) {
    const Window* found = Find(window);
    return found == nullptr ? 0 : found->controlId;
}

std::optional<WindowFacts> FakeDesktop::FactsWithId(WindowHandle window, std::int64_t controlId) {
    const Window* found = Find(window);
    if (found == nullptr) {
        return std::nullopt;
    }
    return WindowFacts{controlId, found->visible, found->enabled, found->rect};
}

WindowHandle FakeDesktop::ParentOf(WindowHandle window) {
    const Window* found = Find(window);
    return found == nullptr ? 0 : found->parent;
}

std::uint32_t FakeDesktop::ProcessOf(WindowHandle window) {
    const Window* found = Find(window);
    return found == nullptr ? 0 : found->process;
}

Text FakeDesktop::ImageName(std::uint32_t processId) {
    const auto found = imageNames.find(processId);
    return found == imageNames.end() ? Text() : found->second;
}
