// tessivane-cli watch under Wine against a fixture that changes its windows one step at a time
// (64-bit and 32-bit): each change once, in order, with its path, and the end when it closes;
// every line as the schema describes it.
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/JsonSchemaCheck.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"

namespace {

using ParsedJson = nlohmann::json;

constexpr auto kWatchLimit = 60s;
// The fixture's windows: the main window, a label, a list box and a button.
constexpr std::size_t kFixtureWindows = 4;

class WatchE2e : public testing::TestWithParam<FixtureBuild> {};

TEST_P(WatchE2e, EachChangeOfTheFixtureComesOnceInOrderWithItsPathAndTheWatchEndsWhenItCloses) {
    const TargetFixture fixture(L"changing", L"--ms 700", GetParam());
    const std::wstring& root = fixture.Lines().at(0).at(1);
    const ConsoleRun run = RunConsoleProgramAfterLines(
        BuildFolder() / L"tessivane-cli.exe",
        L"watch --handle " + root + L" --items --interval 200", kWatchLimit, kFixtureWindows,
        [&](const RunningProgram&) {
            PostMessageW(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stol(root))), WM_APP, 0,
                         0);
        });
    ASSERT_TRUE(run.finished) << run.out;
    EXPECT_EQ(run.exitCode, 0u) << run.error;

    const auto [lines, violations] = CheckJsonLines(
        ReadSchemaFile(ToUtf8((BuildFolder() / L"tessivane-cli.schema.json").wstring())), run.out);
    EXPECT_EQ(violations, std::vector<std::string>{});
    ASSERT_GT(lines.size(), kFixtureWindows);
    std::vector<std::string> changes;
    for (const ParsedJson& line : lines) {
        if (line["type"] == "change") {
            std::ostringstream described;
            described << line["change"].get<std::string>() << ' '
                      << line["path"].get<std::string>();
            if (line["new"].is_string() || line["new"].is_boolean()) {
                described << ' ' << line["old"].dump() << " -> " << line["new"].dump();
            } else if (line["change"] == "items") {
                described << ' ' << line["new"]["rows"].dump();
            }
            changes.push_back(described.str());
        }
    }
    const std::vector<std::string> expected = {
        "text Static#101 \"Status: idle\" -> \"Status: busy\"",
        "added Button#104",
        "items ListBox#102 [[\"alpha\"],[\"beta\"],[\"gamma\"]]",
        "removed Button#104",
        "enabled Static#101 true -> false",
        "visible Static#101 true -> false",
    };
    EXPECT_EQ(changes, expected) << run.out;
    EXPECT_EQ(lines.back()["type"], "end");
    EXPECT_EQ(lines.back()["reason"], "rootClosed");
}

INSTANTIATE_TEST_SUITE_P(Builds, WatchE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32),
                         [](const testing::TestParamInfo<FixtureBuild>& build) {
                             return build.param == FixtureBuild::Native ? "Native" : "Bits32";
                         });

}  // namespace
