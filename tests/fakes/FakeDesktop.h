// An in-memory desktop: a tree of windows with titles, classes, texts, owners and threads, and
// switches for the ways real targets misbehave (hung threads, lying lengths, failing reads).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"

class FakeDesktop : public WindowSystem, public WindowDetails {
public:
    struct Window {
        WindowHandle parent = 0;
        std::vector<WindowHandle> children;  // in Z order, topmost first
        Text title;
        Text className;
        Text text;
        bool visible = true;
        WindowHandle owner = 0;
        std::uint32_t thread = 1;
        std::uint32_t style = 0;
        // Answer given to WM_GETTEXTLENGTH instead of the text's length, when set.
        std::optional<std::int64_t> claimedLength;
        // Answer given to WM_GETTEXT instead of the count it copied, when set.
        std::optional<std::int64_t> claimedCopied;
        // WM_GETTEXT answers that it filled the whole buffer, whatever it copied.
        bool claimsWholeBuffer = false;
        // WM_GETTEXT copies nothing, not even a terminator, whatever it answers.
        bool writesNothing = false;
        bool failTextRead = false;
        // Its text messages go unanswered while its thread answers others: its answer is one the
        // system cannot carry back.
        bool leavesTextUnanswered = false;
        std::size_t position = 0;  // index among its parent's children
        // What the command line tells beyond class and text.
        std::int64_t controlId = 0;
        bool enabled = true;
        ScreenRect rect;
        std::uint32_t process = 1;
    };

    FakeDesktop() { m_windows[kDesktop] = Window{}; }

    // A window of that class and text, owned by thread.
    static Window Make(Text className, Text text, std::uint32_t thread = 1) {
        Window window;
        window.className = std::move(className);
        window.text = std::move(text);
        window.thread = thread;
        return window;
    }

    static constexpr WindowHandle kDesktop = 0x10010;

    // Adds a window as the last (bottom-most) child of parent and answers its handle.
    WindowHandle Add(WindowHandle parent, Window window);
    WindowHandle AddTopLevel(Text title) {
        Window window;
        window.title = std::move(title);
        return Add(kDesktop, std::move(window));
    }
    Window& At(WindowHandle window) { return m_windows.at(window); }
    void Remove(WindowHandle window);
    // Makes window the last child of parent, keeping its handle and its own children.
    void Move(WindowHandle window, WindowHandle parent);
    void HangThread(std::uint32_t thread) { m_hungThreads.insert(thread); }
    // The system refuses every text message to the thread's windows: a program running with
    // higher rights.
    void DenyThread(std::uint32_t thread) { m_deniedThreads.insert(thread); }
    // The thread leaves the next messages sent to its windows unanswered, then answers again.
    void StallThread(std::uint32_t thread, int messages) { m_stalls[thread] = messages; }

    // The window ForegroundWindow answers.
    WindowHandle foreground = 0;

    // Runs at each WM_GETTEXT, before it is answered: a target that changes while it is read.
    std::function<void(WindowHandle)> onTextRequest;
    // The largest buffer a WM_GETTEXT came with, in code units.
    std::size_t largestTextBuffer = 0;

    // Text messages sent to each window, for tests that count them.
    std::map<WindowHandle, int> lengthRequests;
    std::map<WindowHandle, int> textRequests;
    std::map<WindowHandle, int> probes;

    WindowHandle DesktopWindow() override { return kDesktop; }
    WindowHandle Related(WindowHandle window, Relation relation) override;
    WindowHandle TopLevelOf(WindowHandle window) override;
    WindowHandle ForegroundWindow() override { return foreground; }
    // The deepest window whose rect holds the point, children before their parents and the
    // topmost of siblings first.
    WindowHandle DeepestWindowAt(std::int32_t x, std::int32_t y) override;
    bool IsVisible(WindowHandle window) override;
    bool Exists(WindowHandle window) override { return Find(window) != nullptr; }
    Text Title(WindowHandle window, int capacity) override;
    Text ClassName(WindowHandle window, int capacity) override;
    std::uint32_t Style(WindowHandle window) override;
    std::uint32_t ThreadOf(WindowHandle window) override;
    RemoteNumber SendTextLength(WindowHandle window) override;
    RemoteNumber SendGetText(WindowHandle window, std::span<char16_t> buffer) override;
    bool AnswersInTime(WindowHandle window) override;

    // Each process's program file name; a process not here has none that can be read.
    std::map<std::uint32_t, Text> imageNames;

    std::int64_t ControlId(WindowHandle window) override;
    std::optional<WindowFacts> FactsWithId(WindowHandle window, std::int64_t controlId) override;
    WindowHandle ParentOf(WindowHandle window) override;
    std::uint32_t ProcessOf(WindowHandle window) override;
    Text ImageName(std::uint32_t processId) override;

private:
    const Window* Find(WindowHandle window) const;
    // Takes window out of its parent's children.
    void Detach(WindowHandle window);
    // How a text message (or a probe) to window ends before it is answered: Answered when it
    // may be.
    RemoteEnd Unanswered(const Window& window, bool textMessage);

    std::unordered_map<WindowHandle, Window> m_windows;
    std::set<std::uint32_t> m_hungThreads;
    std::set<std::uint32_t> m_deniedThreads;
    std::map<std::uint32_t, int> m_stalls;
    WindowHandle m_nextHandle = 0x20000;
};
