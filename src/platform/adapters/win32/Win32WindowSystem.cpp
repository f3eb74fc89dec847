// The desktop's window tree through user32.
#include "win32/Win32WindowSystem.h"

#include <vector>

#include "ports/WindowSystem.h"
#include "win32/Win32Text.h"
#include "win32/WindowAtPoint.h"

// A relation is handed to GetWindow as it is.
static_assert(static_cast<UINT>(Relation::Next) == GW_HWNDNEXT);
static_assert(static_cast<UINT>(Relation::Owner) == GW_OWNER);
static_assert(static_cast<UINT>(Relation::Child) == GW_CHILD);

namespace {

Text ReadInto(int capacity, int(WINAPI* read)(HWND, LPWSTR, int), HWND window) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(capacity), L'\0');
    const int copied = read(window, buffer.data(), capacity);
    return TextOf(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

// The answer as the walk takes it: 0 from a window that no longer exists.
RemoteNumber TextAnswer(const RemoteNumber& answer) {
    return answer.end == RemoteEnd::Gone ? RemoteNumber{0, RemoteEnd::Answered} : answer;
}

}  // namespace

RemoteNumber SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             std::chrono::milliseconds timeout) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                            static_cast<UINT>(timeout.count()), &result) != 0) {
        return {static_cast<std::int64_t>(static_cast<LRESULT>(result)), RemoteEnd::Answered};
    }
    const DWORD error = GetLastError();
    return {0, UnansweredEnd(error, IsWindow(window) != FALSE)};
}

RemoteEnd UnansweredEnd(DWORD error, bool windowExists) noexcept {
    if (error == ERROR_ACCESS_DENIED) {
        return RemoteEnd::Denied;
    }
    return windowExists ? RemoteEnd::TimedOut : RemoteEnd::Gone;
}

WindowHandle Win32WindowSystem::DesktopWindow() {
    return HandleOf(GetDesktopWindow());
}

WindowHandle Win32WindowSystem::Related(WindowHandle window, Relation relation) {
    return HandleOf(GetWindow(HwndOf(window), static_cast<UINT>(relation)));
}

WindowHandle Win32WindowSystem::TopLevelOf(WindowHandle window) {
    return HandleOf(GetAncestor(HwndOf(window), GA_ROOT));
}

WindowHandle Win32WindowSystem::ForegroundWindow() {
    return HandleOf(GetForegroundWindow());
}

WindowHandle Win32WindowSystem::DeepestWindowAt(std::int32_t x, std::int32_t y) {
    return HandleOf(::DeepestWindowAt(POINT{x, y}));
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
    return IsWindowVisible(HwndOf(window)) != FALSE;
}

bool Win32WindowSystem::Exists(WindowHandle window) {
    return IsWindow(HwndOf(window)) != FALSE;
}

Text Win32WindowSystem::Title(WindowHandle window, int capacity) {
    return ReadInto(capacity, &GetWindowTextW, HwndOf(window));
}

Text Win32WindowSystem::ClassName(WindowHandle window, int capacity) {
    return ReadInto(capacity, &GetClassNameW, HwndOf(window));
}

std::uint32_t Win32WindowSystem::Style(WindowHandle window) {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(HwndOf(window), GWL_STYLE));
}

std::uint32_t Win32WindowSystem::ThreadOf(WindowHandle window) {
    return GetWindowThreadProcessId(HwndOf(window), nullptr);
}

RemoteNumber Win32WindowSystem::SendTextLength(WindowHandle window) {
    return TextAnswer(SendWithTimeout(HwndOf(window), WM_GETTEXTLENGTH, 0, 0, m_textTimeout));
}

RemoteNumber Win32WindowSystem::SendGetText(WindowHandle window, std::span<char16_t> buffer) {
    return TextAnswer(SendWithTimeout(HwndOf(window), WM_GETTEXT, buffer.size(),
                                      reinterpret_cast<LPARAM>(buffer.data()), m_textTimeout));
}

bool Win32WindowSystem::AnswersInTime(WindowHandle window) {
    return SendWithTimeout(HwndOf(window), WM_NULL, 0, 0, m_textTimeout).end == RemoteEnd::Answered;
}
