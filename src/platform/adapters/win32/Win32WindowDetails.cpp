// A window's state and its program, read from the system.
#include "win32/Win32WindowDetails.h"

#include <windows.h>

#include <vector>

#include "win32/ScopedHandles.h"
#include "win32/Win32Text.h"

namespace {

// The longest path QueryFullProcessImageNameW gives, in code units.
constexpr DWORD kImagePathCapacity = 32768;

}  // namespace

std::int64_t Win32WindowDetails::ControlId(WindowHandle window) {
    return static_cast<std::int64_t>(GetWindowLongPtrW(HwndOf(window), GWLP_ID));
}

std::optional<WindowFacts> Win32WindowDetails::FactsWithId(WindowHandle window,
                                                           std::int64_t controlId) {
    const HWND hwnd = HwndOf(window);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    RECT rect{};
    // Read last: a window gone meanwhile has no rectangle, and so no facts.
    if (!GetWindowRect(hwnd, &rect)) {
        return std::nullopt;
    }
    return WindowFacts{controlId, (style & WS_VISIBLE) != 0, (style & WS_DISABLED) == 0,
                       ScreenRect{rect.left, rect.top, rect.right, rect.bottom}};
}

WindowHandle Win32WindowDetails::ParentOf(WindowHandle window) {
    return HandleOf(GetAncestor(HwndOf(window), GA_PARENT));
}

std::uint32_t Win32WindowDetails::ProcessOf(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(HwndOf(window), &processId);
    return processId;
}

Text Win32WindowDetails::ImageName(std::uint32_t processId) {
    const ScopedKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    std::vector<wchar_t> path(kImagePathCapacity, L'\0');
    DWORD length = kImagePathCapacity;
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
        return {};
    }
    const Text image = TextOf(path.data(), length);
    return image.substr(image.find_last_of(u"\\/") + 1);
}
