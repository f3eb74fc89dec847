// tessivane-cli watch under Wine over the bench fixture's tree while nothing changes: the share of
// one processor that every process of the Wine prefix takes over 20 seconds (the watch, the
// target it asks, the Wine server and Wine's own services); then how soon it tells of a changed
// text, against its interval plus one read of the whole tree, that read timed alone in this same
// run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

// First: the end-to-end support's WindowText function would hide the engine's type of that name.
#include "bench/InProcessDump.h"

#include "bench/FixtureTree.h"
#include "bench/WallClock.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/TruthFormat.h"

namespace {

constexpr int kQuietSeconds = 20;
constexpr auto kIntervalMs = 500;
constexpr DWORD kChangeWaitMs = 30000;
constexpr DWORD kPollMs = 5;
constexpr int kReads = 3;

// A Unix process of the prefix: its command line (Wine shows a Windows program's) and the
// processor time, user and system, it has taken so far.
struct ProcessTime {
    std::string commandLine;
    double seconds = 0;
};

// The processor seconds in a /proc stat line: utime and stime, the 12th and 13th fields after
// the program's name in parentheses.
double StatSeconds(const std::string& stat) {
    constexpr double kTicksPerSecond = 100;  // USER_HZ on Linux
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

// The variable's value in a /proc environ's NUL-separated entries; empty when it is not there.
std::string EnvironValue(const std::string& entries, const std::string& name) {
    const std::string entry = '\0' + entries;
    const std::size_t at = entry.find('\0' + name + '=');
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t begin = at + name.size() + 2;
    return entry.substr(begin, entry.find('\0', begin) - begin);
}

// The Unix process id of this prefix's Wine server; empty when none is found. A Windows program
// under Wine may not read the server's environment in /proc, so a Unix shell (which Wine starts as
// it is) looks for the server whose WINEPREFIX is this one.
std::string ServerProcessId(const std::string& prefix) {
    const ConsoleRun run = RunConsoleProgram(
        L"Z:\\bin\\sh",
        L"-c \"for p in /proc/[0-9]*; do case $(cat $p/comm 2>/dev/null) in wineserver*) tr "
        L"'\\0' '\\n' < $p/environ 2>/dev/null | grep -qxF WINEPREFIX=$0 && echo ${p#/proc/};; "
        L"esac; done\" " +
            std::wstring(prefix.begin(), prefix.end()),
        std::chrono::seconds(30));
    const std::string id = run.out.substr(0, run.out.find_first_of("\r\n"));
    return run.finished && !id.empty() && id.find_first_not_of("0123456789") == std::string::npos
               ? id
               : std::string();
}

// Every Unix process of this Wine prefix but the benchmark and its launcher, by Unix process id,
// the Wine server with them. Wine answers GetProcessTimes for another process with nothing, and
// knows nothing of its server: /proc tells.
std::map<std::string, ProcessTime> PrefixProcesses(const std::string& prefix,
                                                   const std::string& serverId) {
    std::map<std::string, ProcessTime> processes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
        const std::string id = entry.path().filename().string();
        if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos ||
            (id != serverId &&
             EnvironValue(FileBytes(entry.path() / L"environ"), "WINEPREFIX") != prefix)) {
            continue;
        }
        std::string commandLine = FileBytes(entry.path() / L"cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        const std::string stat = FileBytes(entry.path() / L"stat");
        // The benchmark and its launchers name it; the target may too, in its truth file's path.
        const bool benchmark = commandLine.find("watch_bench") != std::string::npos &&
                               commandLine.find("TargetFixture") == std::string::npos;
        if (!stat.empty() && !benchmark) {
            processes[id] = {commandLine, StatSeconds(stat)};
        }
    }
    return processes;
}

// The processor time the processes took between the two looks, in all and by who took it: the
// watch, the target, the Wine server and the rest; a process born between them counts whole.
struct Shares {
    double watch = 0;
    double target = 0;
    double server = 0;
    double others = 0;
    bool watchSeen = false;
    bool targetSeen = false;
    bool serverSeen = false;
};

Shares SharesBetween(const std::map<std::string, ProcessTime>& before,
                     const std::map<std::string, ProcessTime>& after, const std::string& watch) {
    Shares shares;
    for (const auto& [id, process] : after) {
        const auto earlier = before.find(id);
        const double taken =
            process.seconds - (earlier == before.end() ? 0 : earlier->second.seconds);
        const std::string& line = process.commandLine;
        if (line.find(watch) != std::string::npos) {
            shares.watch += taken;
            shares.watchSeen = true;
        } else if (line.find("TargetFixture") != std::string::npos) {
            shares.target += taken;
            shares.targetSeen = true;
        } else if (line.find("wineserver") != std::string::npos) {
            shares.server += taken;
            shares.serverSeen = true;
        } else {
            shares.others += taken;
        }
    }
    return shares;
}

// One read of the tree as watch reads it, in this process: the same walk with each window's
// details and its JSON line (the dump command with --format jsonl), the best of a few. Answers
// -1 when a read did not end with 0.
double OneRead(const std::wstring& root) {
    double best = 1e9;
    for (int read = 0; read < kReads; ++read) {
        bool whole = true;
        best = std::min(
            best, SecondsOf([&] {
                whole = !DumpInThisProcess({"dump", "--handle", ToUtf8(root), "--format", "jsonl"})
                             .empty();
            }));
        if (!whole) {
            return -1;
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const FixtureTree tree(argc, argv, 2000);
    const std::wstring& root = tree.Root();
    const std::size_t windows = tree.Windows();
    const HWND item = GetWindow(GetWindow(tree.RootWindow(), GW_CHILD), GW_CHILD);
    const double oneRead = OneRead(root);
    if (oneRead < 0) {
        std::printf("the read of the tree in this process failed\n");
        return 1;
    }

    double firstTree = 0;
    Shares shares;
    double seen = -1;
    const std::string marker = "watch --handle " + ToUtf8(root) + " ";
    const std::string prefix = EnvironValue(FileBytes(L"Z:\\proc\\self\\environ"), "WINEPREFIX");
    const auto started = std::chrono::steady_clock::now();
    const ConsoleRun run = RunConsoleProgramAfterLines(
        BuildFolder() / L"tessivane-cli.exe",
        L"watch --handle " + root + L" --interval " + std::to_wstring(kIntervalMs),
        std::chrono::seconds(kQuietSeconds * 3), windows, [&](const RunningProgram& watch) {
            firstTree =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            const std::string server = ServerProcessId(prefix);
            const auto before = PrefixProcesses(prefix, server);
            Sleep(kQuietSeconds * 1000);
            shares = SharesBetween(before, PrefixProcesses(prefix, server), marker);
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
    if (!shares.watchSeen || !shares.targetSeen || !shares.serverSeen) {
        std::printf(
            "the processor time cannot be told: in /proc, among the prefix's processes, the "
            "watch was %s, the target %s, the Wine server %s\n",
            shares.watchSeen ? "found" : "not found", shares.targetSeen ? "found" : "not found",
            shares.serverSeen ? "found" : "not found");
        for (const auto& [id, process] : PrefixProcesses(prefix, ServerProcessId(prefix))) {
            std::printf("  %s %s\n", id.c_str(), process.commandLine.substr(0, 100).c_str());
        }
        return 1;
    }
    const auto percent = [](double seconds) { return seconds * 100 / kQuietSeconds; };
    std::printf(
        "watch of %zu windows, nothing changing, --interval %d, over %d s: %.1f%% of one processor "
        "in all (the watch %.1f%%, the target %.1f%%, the Wine server %.1f%%, Wine's services "
        "%.1f%%)\n",
        windows, kIntervalMs, kQuietSeconds,
        percent(shares.watch + shares.target + shares.server + shares.others),
        percent(shares.watch), percent(shares.target), percent(shares.server),
        percent(shares.others));
    const double bound = kIntervalMs / 1000.0 + oneRead;
    std::printf(
        "watch saw a changed text after %.0f ms: %.2f x the interval plus one read of the tree "
        "(%.0f ms; the read alone, in this process: %.0f ms)\n",
        seen * 1000, seen / bound, bound * 1000, oneRead * 1000);
    std::printf(
        "context: from watch's start to its first tree written: %.0f ms (Wine's start of the "
        "program and the events probe's wait included)\n",
        firstTree * 1000);
    return 0;
}
