// Each kind's structure as its row fills it, read back through the SDK's own structure: the text's
// place and room, and the item it names, are where the control looks for them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/Failure.h"
#include "win32/RemoteItemKinds.h"

namespace {

using Native = std::conditional_t<sizeof(void*) == 8, std::uint64_t, std::uint32_t>;

constexpr Native kText = 0x5A5A00;
constexpr int kUnits = 300;

template <typename Sdk>
Sdk Filled(ItemText what, const ItemRef& ref) {
    const StructItemKind<Native>& kind = StructItemKindOf<Native>(what);
    EXPECT_EQ(kind.size, sizeof(Sdk));
    std::vector<std::byte> bytes(kind.size);
    kind.fill(ref, kText, kUnits, bytes.data());
    Sdk sdk{};
    std::memcpy(&sdk, bytes.data(), std::min(sizeof(sdk), bytes.size()));
    return sdk;
}

template <typename Sdk>
void ExpectAsksText(const Sdk& sdk, UINT textFlag) {
    EXPECT_NE(sdk.mask & textFlag, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(sdk.pszText), kText);
    EXPECT_EQ(sdk.cchTextMax, kUnits);
}

TEST(RemoteItemKinds, EachRowFillsTheStructureItsMessageReads) {
    const ItemRef ref{7, 3};
    const auto cell = Filled<LVITEMW>(ItemText::ListViewCell, ref);
    ExpectAsksText(cell, LVIF_TEXT);
    EXPECT_EQ(cell.iItem, 7);
    EXPECT_EQ(cell.iSubItem, 3);
    ExpectAsksText(Filled<LVCOLUMNW>(ItemText::ListViewColumn, ref), LVCF_TEXT);
    const auto treeItem = Filled<TVITEMW>(ItemText::TreeItem, ref);
    ExpectAsksText(treeItem, TVIF_TEXT);
    EXPECT_NE(treeItem.mask & TVIF_HANDLE, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(treeItem.hItem), 7u);
    ExpectAsksText(Filled<TCITEMW>(ItemText::TabItem, ref), TCIF_TEXT);
    ExpectAsksText(Filled<HDITEMW>(ItemText::HeaderItem, ref), HDI_TEXT);
}

TEST(RemoteItemKinds, KindsReadWithoutAStructureHaveNoRow) {
    EXPECT_THROW(static_cast<void>(StructItemKindOf<Native>(ItemText::StatusPart)), Failure);
    EXPECT_THROW(static_cast<void>(StructItemKindOf<std::uint32_t>(ItemText::ToolbarButton)),
                 Failure);
}

}  // namespace
