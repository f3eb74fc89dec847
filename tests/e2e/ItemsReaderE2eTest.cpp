// The items reader in a real program under Wine, against the fixture's controls built 64-bit
// and 32-bit: every cell of every kind as the fixture's truth has it, and hostile controls that
// lie, hang, delete items or exit, each ending in bounded time with what was read and why.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "items/ItemsReader.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32Text.h"

namespace {

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
}

WindowHandle HandleOfTruth(const ControlTruth& control) {
    return static_cast<WindowHandle>(std::stol(control.handle));
}

ItemsKind KindOf(const ControlTruth& control) {
    static const std::map<std::wstring, ItemsKind> kinds = {{L"ListBox", ItemsKind::ListBox},
                                                            {L"ComboBox", ItemsKind::ComboBox},
                                                            {L"ListView", ItemsKind::ListView},
                                                            {L"TreeView", ItemsKind::TreeView},
                                                            {L"Tab", ItemsKind::Tab},
                                                            {L"Header", ItemsKind::Header},
                                                            {L"StatusBar", ItemsKind::StatusBar},
                                                            {L"Toolbar", ItemsKind::Toolbar}};
    return kinds.at(control.kind);
}

// Reads the control as the tool does, by its class name.
ItemsTable ReadAsTheToolDoes(const ControlTruth& control, RemoteItems& remote) {
    wchar_t className[256] = {};
    GetClassNameW(HwndOf(HandleOfTruth(control)), className, 256);
    const auto kind = ItemsKindOfClass(TextOf(className));
    if (!kind) {
        throw std::runtime_error("the control's class is not recognised");
    }
    EXPECT_EQ(*kind, KindOf(control)) << control.name;
    return ReadItems(HandleOfTruth(control), *kind, remote);
}

void ExpectTableIsTheTruth(const ItemsTable& table, const ControlTruth& control) {
    SCOPED_TRACE(control.name);
    if (!control.keepsTexts) {
        EXPECT_EQ(table.status, ItemsStatus::NoTexts);
        EXPECT_EQ(table.Rows(), 0u);
        return;
    }
    EXPECT_EQ(table.status, ItemsStatus::Read);
    EXPECT_EQ(table.cutTexts, 0u);
    ASSERT_EQ(table.Columns(), control.columns);
    for (std::size_t column = 0; column < control.captions.size(); ++column) {
        EXPECT_EQ(Wide(table.Caption(column)), control.captions[column]) << column;
    }
    ASSERT_EQ(table.Rows(), control.rows.size());
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        EXPECT_EQ(table.Depth(row), control.depths[row]) << row;
        for (std::size_t column = 0; column < table.Columns(); ++column) {
            ASSERT_EQ(Wide(table.Cell(row, column)), control.rows[row][column])
                << "row " << row << " column " << column;
        }
    }
}

class ItemsReaderE2e : public testing::TestWithParam<FixtureBuild> {};

TEST_P(ItemsReaderE2e, EveryKindGivesEveryItemAsTheFixtureHasIt) {
    const TargetFixture fixture(L"items", L"", GetParam());
    const std::vector<ControlTruth> controls = ItemsControls(fixture);
    ASSERT_GE(controls.size(), 8u);
    Win32RemoteItems remote;
    for (const ControlTruth& control : controls) {
        ExpectTableIsTheTruth(ReadAsTheToolDoes(control, remote), control);
        if (control.keepsTexts) {
            EXPECT_EQ(CountItems(HandleOfTruth(control), KindOf(control), remote),
                      static_cast<std::int64_t>(control.count))
                << control.name;
        }
    }
}

TEST_P(ItemsReaderE2e, ListBoxClaimingTwoBillionItemsGivesItsThreeAndSaysItChanged) {
    const TargetFixture fixture(L"hostileitems", L"--kind lbliar", GetParam());
    const ControlTruth control = ItemsControl(fixture, L"lbliar");
    Win32RemoteItems remote;
    const ItemsTable table = ReadAsTheToolDoes(control, remote);
    // The fourth item does not exist: the read ends there.
    EXPECT_EQ(table.status, ItemsStatus::Changed);
    EXPECT_EQ(table.claimed, std::stoll(control.expected.at(L"claimedCount")));
    EXPECT_EQ(table.Rows(), control.count);
    // The item claiming 2^31 - 1 units is not asked: an empty cell, counted as cut.
    EXPECT_EQ(table.cutTexts, 1u);
    const std::size_t liar = std::stoul(control.expected.at(L"claimedLengthItem"));
    ASSERT_LT(liar, table.Rows());
    EXPECT_EQ(table.Cell(liar, 0), u"");
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        if (row != liar) {
            EXPECT_EQ(Wide(table.Cell(row, 0)), control.rows[row][0]);
        }
    }
}

TEST_P(ItemsReaderE2e, ListViewWhoseThreadHangsGivesItsFirstRowsWithinOneTimeOut) {
    const TargetFixture fixture(L"hostileitems", L"--kind lvhang", GetParam());
    const ControlTruth control = ItemsControl(fixture, L"lvhang");
    // A time-out longer than the usual half second, as tessivane-cli's --timeout gives: the read
    // waits that long for the hung message, and no longer.
    Win32RemoteItems remote(1500ms);
    const auto started = std::chrono::steady_clock::now();
    const ItemsTable table = ReadAsTheToolDoes(control, remote);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 6s);
    EXPECT_EQ(table.status, ItemsStatus::TimedOut);
    const std::size_t answered = std::stoul(control.expected.at(L"answeredRows"));
    ASSERT_EQ(table.Rows(), answered);
    for (std::size_t row = 0; row < answered; ++row) {
        EXPECT_EQ(Wide(table.Cell(row, 0)), control.rows[row][0]) << row;
    }
}

TEST_P(ItemsReaderE2e, TreeDeletingItemsWhileReadEndsWithWhatItStillHad) {
    const TargetFixture fixture(L"hostileitems", L"--kind treedelete", GetParam());
    const ControlTruth control = ItemsControl(fixture, L"treedelete");
    Win32RemoteItems remote;
    const ItemsTable table = ReadAsTheToolDoes(control, remote);
    EXPECT_EQ(table.status, ItemsStatus::Changed);
    ASSERT_GE(table.Rows(), 1u);
    ASSERT_LT(table.Rows(), control.rows.size());
    EXPECT_EQ(Wide(table.Cell(0, 0)), control.rows[0][0]);
}

TEST_P(ItemsReaderE2e, ProgramExitingMidReadGivesTheRowsReadAndGone) {
    const TargetFixture fixture(L"hostileitems", L"--kind itemsexit", GetParam());
    const ControlTruth control = ItemsControl(fixture, L"itemsexit");
    Win32RemoteItems remote;
    const ItemsTable table = ReadAsTheToolDoes(control, remote);
    EXPECT_EQ(table.status, ItemsStatus::Gone);
    // Only whole rows, each as the truth has it.
    EXPECT_LE(table.Rows() * table.Columns(), std::stoul(control.expected.at(L"answeredTexts")));
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        EXPECT_EQ(Wide(table.Cell(row, 0)), control.rows[row][0]) << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, ItemsReaderE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32),
                         [](const testing::TestParamInfo<FixtureBuild>& info) {
                             return info.param == FixtureBuild::Native ? "SixtyFourBit"
                                                                       : "ThirtyTwoBit";
                         });

}  // namespace
