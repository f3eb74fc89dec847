// The clipboard adapter with the window's event pump: while another thread holds the clipboard,
// the waits between attempts answer the window's messages, and the text arrives once it lets go.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "export/ClipboardCopy.h"
#include "win32/MessagePump.h"
#include "win32/ScopedHandles.h"
#include "win32/Win32Clipboard.h"

namespace {

// The clipboard's Unicode text, or "?" when it holds none.
Text ClipboardText(HWND owner) {
    Text text = u"?";
    if (OpenClipboard(owner) != FALSE) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
                text = units;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text;
}

}  // namespace

TEST(ClipboardAdapter, TheWindowAnswersWhileAnotherThreadHoldsTheClipboard) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"Clipboard test", WS_OVERLAPPED, 0, 0, 100,
                                        50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const ScopedKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const ScopedKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        const bool opened = OpenClipboard(nullptr) != FALSE;
        SetEvent(held.get());
        // Held until the window has answered or could not; a bound, should the prober not run.
        WaitForSingleObject(release.get(), 10'000);
        if (opened) {
            CloseClipboard();
        }
    });
    WaitForSingleObject(held.get(), INFINITE);
    std::atomic<bool> answered{false};
    std::thread prober([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) != 0;
        SetEvent(release.get());
    });
    MessagePump pump([] {}, [](MSG&) { return false; }, [] { return false; });
    Win32Clipboard clipboard(window, &pump);
    const bool placed = SetClipboardText(clipboard, u"held, then placed", 0);
    prober.join();
    holder.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(placed);
    EXPECT_EQ(ClipboardText(window), u"held, then placed");
    DestroyWindow(window);
}
