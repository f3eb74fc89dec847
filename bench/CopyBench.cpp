// The clipboard copy under Wine with the tool's own event pump, against the same copy with the
// pump turned off, and how long the window takes to answer a message while the copy runs.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "TickedResults.h"
#include "WallClock.h"
#include "export/AlignedText.h"
#include "export/ClipboardCopy.h"
#include "export/TextFileBytes.h"
#include "win32/MessagePump.h"
#include "win32/Win32Clipboard.h"

namespace {

class NoPump : public EventPump {
public:
    void Pump() override {}
    void PumpFor(std::chrono::milliseconds) override {}
    void Wake() noexcept override {}
};

}  // namespace

int main(int argc, char** argv) {
    long long rows = 100'000;
    for (int i = 1; i < argc; ++i) {
        std::sscanf(argv[i], "--rows=%lld", &rows);
    }
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"Copy benchmark", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const TickedResults ticked(rows);
    const RowTable& results = ticked.list;
    Win32Clipboard clipboard(window);
    MessagePump pump([] {}, [](MSG&) { return false; }, [] { return false; });
    NoPump noPump;

    // Another thread keeps asking the window for an answer and notes the longest wait.
    std::atomic<bool> copying{false};
    std::atomic<bool> done{false};
    std::atomic<long long> longestWait{0};
    std::thread prober([&] {
        while (!done) {
            if (copying) {
                const auto start = std::chrono::steady_clock::now();
                DWORD_PTR result = 0;
                SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
                const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count();
                if (copying) {
                    longestWait = std::max<long long>(longestWait, waited);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    double withPump = 1e9;
    double withoutPump = 1e9;
    for (int round = 0; round < 3; ++round) {
        withoutPump = std::min(
            withoutPump, SecondsOf([&] { CopyTickedRowsToClipboard(results, clipboard, noPump); }));
        copying = true;
        withPump = std::min(
            withPump, SecondsOf([&] { CopyTickedRowsToClipboard(results, clipboard, pump); }));
        copying = false;
    }
    done = true;
    prober.join();
    std::printf(
        "copy of %lld ticked rows: %.3f s with the event pump, %.3f s without: %.2f x the "
        "bare copy (goal: at most 1.5)\n",
        rows, withPump, withoutPump, withPump / withoutPump);
    std::printf(
        "longest wait for the window to answer during the copy: %.1f ms (goal: under 100)\n",
        static_cast<double>(longestWait) / 1000.0);
    DestroyWindow(window);
    return 0;
}
