// A self-drawn panel's accessible tree read under Wine from the fixture built 64-bit and 32-bit:
// every node as the fixture's truth has it, through the reader and through dump --items, no
// object left held in the fixture, and each hostile provider ending in its status with the tool
// answering the next read.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "items/ItemsReader.h"
#include "tests/e2e/AccessibleFixture.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32Text.h"

namespace {

HWND PanelOf(const AccessibleTruth& truth) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stol(truth.panel)));
}

ItemsTable ReadPanel(HWND panel) {
    Win32RemoteItems remote;
    return ReadItems(HandleOf(panel), ItemsKind::Accessible, remote);
}

class AccessibleE2e : public testing::TestWithParam<FixtureBuild> {};

TEST_P(AccessibleE2e, GivesEveryNodeAsThePanelHasItAndHoldsNoObjectAfter) {
    const TargetFixture fixture(L"accessible", L"", GetParam());
    const AccessibleTruth truth = ReadAccessibleTruth(fixture);
    const HWND panel = PanelOf(truth);
    {
        Win32RemoteItems remote;
        wchar_t className[256] = {};
        GetClassNameW(panel, className, 256);
        EXPECT_EQ(ItemsKindOfWindow(HandleOf(panel), TextOf(className), remote),
                  ItemsKind::Accessible);
    }
    const ItemsTable table = ReadPanel(panel);
    EXPECT_EQ(table.status, ItemsStatus::Read);
    ASSERT_EQ(table.Rows(), truth.nodes.size());
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        const AccessibleNodeTruth& node = truth.nodes[row];
        EXPECT_EQ(TextOf(node.name.c_str()), table.Cell(row, 0)) << row;
        EXPECT_EQ(TextOf(node.roleText.c_str()), table.Cell(row, 1)) << row;
        EXPECT_EQ(TextOf(node.value.c_str()), table.Cell(row, 2)) << row;
        EXPECT_EQ(AccessibleStateWords(node.state), table.Cell(row, 3)) << row;
        EXPECT_EQ(node.depth, table.Depth(row)) << row;
    }
    // The reader's objects are released on its thread once the read is over.
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(panel, kLiveObjectsMessage, 0, 0) == 0; }))
        << "objects still held: " << SendMessageW(panel, kLiveObjectsMessage, 0, 0);

    const ConsoleRun dump = RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe",
                                              L"dump --items --handle " + truth.panel, 60s);
    EXPECT_EQ(dump.exitCode, 0u) << dump.error;
    const auto items = nlohmann::json::parse(dump.out)["window"]["items"];
    EXPECT_EQ(items["kind"], "accessible");
    ASSERT_EQ(items["rows"].size(), truth.nodes.size());
    EXPECT_EQ(items["rows"][1][0], ToUtf8(truth.nodes[1].name));

    // find --items finds the node by its value, named by its index and depth in the tree.
    const ConsoleRun find = RunConsoleProgram(
        BuildFolder() / L"tessivane-cli.exe",
        L"find --handle " +
            std::to_wstring(reinterpret_cast<INT_PTR>(GetAncestor(panel, GA_ROOT))) +
            L" --items --text 42.50 -f json",
        60s);
    EXPECT_EQ(find.exitCode, 0u) << find.error;
    const auto matches = nlohmann::json::parse(find.out)["matches"];
    ASSERT_EQ(matches.size(), 1u) << find.out;
    EXPECT_EQ(matches[0]["handle"], std::stol(truth.panel));
    const auto amount = std::find_if(truth.nodes.begin(), truth.nodes.end(),
                                     [](const auto& node) { return node.value == L"42.50"; });
    ASSERT_NE(amount, truth.nodes.end());
    EXPECT_EQ(matches[0]["item"]["index"], amount - truth.nodes.begin());
    EXPECT_EQ(matches[0]["item"]["depth"], amount->depth);
}

// Each hostile provider ends the read with its status and the nodes it could give, and the next
// read of a well-behaved panel answers at once.
TEST_P(AccessibleE2e, EachHostileProviderEndsInItsStatusAndTheNextReadAnswers) {
    struct Case {
        const wchar_t* kind;
        ItemsStatus status;
        std::size_t rows;
    };
    const Case cases[] = {
        {L"hang", ItemsStatus::TimedOut, 2},        {L"liar", ItemsStatus::Malformed, 4},
        {L"cycle", ItemsStatus::Looped, 4},         {L"deep", ItemsStatus::TooDeep, 65},
        {L"badvariant", ItemsStatus::Malformed, 3}, {L"dies", ItemsStatus::Gone, 4},
        {L"denied", ItemsStatus::Denied, 0},
    };
    const TargetFixture calm(L"accessible", L"", GetParam());
    const HWND calmPanel = PanelOf(ReadAccessibleTruth(calm));
    for (const Case& each : cases) {
        SCOPED_TRACE(ToUtf8(each.kind));
        const TargetFixture hostile(L"accessible", std::wstring(L"--hostile ") + each.kind,
                                    GetParam());
        const auto started = std::chrono::steady_clock::now();
        const ItemsTable table = ReadPanel(PanelOf(ReadAccessibleTruth(hostile)));
        // Only a hang is caught here: ten times a call's time-out, far above what a read needs.
        EXPECT_LT(std::chrono::steady_clock::now() - started, 10 * kTextMessageTimeout);
        EXPECT_EQ(table.status, each.status);
        EXPECT_EQ(table.Rows(), each.rows);
        EXPECT_EQ(ReadPanel(calmPanel).status, ItemsStatus::Read);
    }
    // A 10 MB name comes within the time-out on an idle machine, cut, or in over a second on a
    // busy one, its node then left out: either way the node after it is read.
    const TargetFixture huge(L"accessible", L"--hostile hugename", GetParam());
    const ItemsTable table = ReadPanel(PanelOf(ReadAccessibleTruth(huge)));
    ASSERT_GE(table.Rows(), 3U);
    EXPECT_EQ(table.Cell(table.Rows() - 1, 0), u"After huge");
    if (table.status == ItemsStatus::TimedOut) {
        EXPECT_EQ(table.Rows(), 3U);
    } else {
        EXPECT_EQ(table.status, ItemsStatus::Read);
        EXPECT_EQ(table.cutTexts, 1U);
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, AccessibleE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32),
                         [](const testing::TestParamInfo<FixtureBuild>& info) {
                             return info.param == FixtureBuild::Native ? "SixtyFourBit"
                                                                       : "ThirtyTwoBit";
                         });

}  // namespace
