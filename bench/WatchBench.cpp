// tessivane-cli watch under Wine over the bench fixture's tree while nothing changes: the share of
// one processor that its process takes over 20 seconds; then how soon it tells of a changed text,
// against its interval plus one read of the whole tree (its first read, in this same run).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "bench/FixtureTree.h"
#include "bench/WallClock.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"

namespace {

constexpr int kQuietSeconds = 20;
constexpr auto kIntervalMs = 500;
constexpr DWORD kChangeWaitMs = 30000;
constexpr DWORD kPollMs = 5;

// The processor time, user and system, that the Unix process running the Windows program whose
// command line holds marker has taken so far, in seconds; -1 when there is none. Wine answers
// GetProcessTimes for another process with nothing, so its /proc entry is read.
double ProcessorSeconds(const std::string& marker) {
    constexpr double kTicksPerSecond = 100;  // USER_HZ on Linux
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string commandLine = FileBytes(entry.path() / L"cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (!commandLine.starts_with("Z:\\") || commandLine.find(marker) == std::string::npos) {
            continue;
        }
        const std::string stat = FileBytes(entry.path() / L"stat");
        // The fields after the program's name in parentheses; utime and stime are its 12th and
        // 13th.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int index = 1; index <= 13 && fields >> field; ++index) {
            if (index >= 12) {
                ticks += std::stod(field);
            }
        }
        return ticks / kTicksPerSecond;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const FixtureTree tree(argc, argv, 2000);
    const std::wstring& root = tree.Root();
    const std::size_t windows = tree.Windows();
    const HWND item = GetWindow(GetWindow(tree.RootWindow(), GW_CHILD), GW_CHILD);

    double firstRead = 0;
    double share = 0;
    double seen = -1;
    const auto started = std::chrono::steady_clock::now();
    const ConsoleRun run = RunConsoleProgramAfterLines(
        BuildFolder() / L"tessivane-cli.exe",
        L"watch --handle " + root + L" --interval " + std::to_wstring(kIntervalMs),
        std::chrono::seconds(kQuietSeconds * 3), windows, [&](const RunningProgram& watch) {
            firstRead =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            const std::string marker =
                "watch --handle " + std::string(root.begin(), root.end()) + " ";
            const double before = ProcessorSeconds(marker);
            Sleep(kQuietSeconds * 1000);
            share = (ProcessorSeconds(marker) - before) / kQuietSeconds;
            seen = SecondsOf([&] {
                SendMessageTimeoutW(item, WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(L"Changed by the benchmark"),
                                    SMTO_BLOCK, kChangeWaitMs, nullptr);
                const ULONGLONG end = GetTickCount64() + kChangeWaitMs;
                while (watch.out().find("\"change\":\"text\"") == std::string::npos &&
                       GetTickCount64() < end) {
                    Sleep(kPollMs);
                }
            });
            TerminateProcess(watch.process, 0);
        });
    if (run.out.find("\"change\":\"text\"") == std::string::npos) {
        std::printf("watch did not tell of the changed text: %s\n", run.error.c_str());
        return 1;
    }
    std::printf(
        "watch of %zu windows, nothing changing: %.1f%% of one processor over %d s "
        "(--interval %d)\n",
        windows, share * 100, kQuietSeconds, kIntervalMs);
    const double bound = kIntervalMs / 1000.0 + firstRead;
    std::printf(
        "watch saw a changed text after %.0f ms: %.2f x the interval plus one read of the "
        "tree (%.0f ms)\n",
        seen * 1000, seen / bound, bound * 1000);
    return 0;
}
