// The dump of the command line against the GUI's extraction, under Wine, on the same tree of the
// target fixture: tessivane-cli from its start to its exit, writing the tree as JSON, against the
// tool from the click to the last row in its list; and find --text over the same tree against that
// dump. Prints the ratios; all are measured in this one run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/WallClock.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

constexpr auto kDumpLimit = 600s;
constexpr int kRounds = 3;

}  // namespace

int main(int argc, char** argv) {
    int count = 20000;
    for (int i = 1; i < argc; ++i) {
        std::sscanf(argv[i], "--count=%d", &count);
    }
    TargetFixture fixture(L"bench", L"--count " + std::to_wstring(count));
    const std::wstring root = fixture.Lines().at(0).at(1);
    const std::size_t windows =
        static_cast<std::size_t>(std::stoi(fixture.Lines().at(0).at(2))) + 1;
    const std::filesystem::path json = BuildFolder() / L"e2e-tmp" / L"cli-bench.json";

    Tool tool;
    SelectWindow(tool, root);
    double extraction = 1e9;
    double dump = 1e9;
    double find = 1e9;
    // Alternate the two so that neither gets a warmer system; keep the best of each.
    for (int round = 0; round < kRounds; ++round) {
        extraction =
            std::min(extraction, SecondsOf([&] {
                         tool.ClickAndWait(L"Start Extracting From Selected Window (Above)");
                     }));
        ConsoleRun run;
        dump = std::min(dump, SecondsOf([&] {
                            run = RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe",
                                                    L"dump --handle " + root +
                                                        L" --format json --output \"" +
                                                        json.wstring() + L"\"",
                                                    kDumpLimit);
                        }));
        // A text no window has: find reads every window's text and lists none.
        ConsoleRun found;
        find = std::min(find, SecondsOf([&] {
                            found = RunConsoleProgram(
                                BuildFolder() / L"tessivane-cli.exe",
                                L"find --handle " + root + L" --text \"no window has this\"",
                                kDumpLimit);
                        }));
        if (!found.finished || found.exitCode != 2) {
            std::printf("find ended with %lu and %s\n", static_cast<unsigned long>(found.exitCode),
                        found.error.c_str());
            return 1;
        }
        const auto dumped = nlohmann::json::parse(FileBytes(json), nullptr, false);
        const std::size_t listed = static_cast<std::size_t>(tool.Results().RowCount());
        if (!run.finished || run.exitCode != 0 || dumped.is_discarded() ||
            dumped["summary"]["windows"] != windows || listed != windows) {
            std::printf("the dump ended with %lu and %s, the tool listed %zu of %zu windows\n",
                        static_cast<unsigned long>(run.exitCode), run.error.c_str(), listed,
                        windows);
            return 1;
        }
    }
    std::printf(
        "dump of %zu windows to JSON by tessivane-cli: %.3f s, the GUI's extraction %.3f s: %.2f x "
        "the GUI's extraction (goal: at most 1.2)\n",
        windows, dump, extraction, dump / extraction);
    std::printf(
        "find --text over the same %zu windows: %.3f s: %.2f x the dump (goal: at most 1.1)\n",
        windows, find, find / dump);
    return 0;
}
