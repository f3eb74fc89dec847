// The item structures written into other programs: for this program's own bitness every size
// and offset agrees with the SDK's structure; for the other bitness with the SDK's figures.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "win32/RemoteLayouts.h"

namespace {

using Native = std::conditional_t<sizeof(void*) == 8, std::uint64_t, std::uint32_t>;

#define EXPECT_SAME_FIELD(ours, sdk, field) \
    EXPECT_EQ(offsetof(ours, field), offsetof(sdk, field)) << #field

TEST(RemoteLayouts, AgreeWithTheSdkForThisProgramsBitness) {
    using ListViewItem = RemoteListViewItem<Native>;
    EXPECT_EQ(sizeof(ListViewItem), sizeof(LVITEMW));
    EXPECT_SAME_FIELD(ListViewItem, LVITEMW, iSubItem);
    EXPECT_SAME_FIELD(ListViewItem, LVITEMW, pszText);
    EXPECT_SAME_FIELD(ListViewItem, LVITEMW, cchTextMax);
    EXPECT_SAME_FIELD(ListViewItem, LVITEMW, iGroup);

    using Column = RemoteListViewColumn<Native>;
    EXPECT_EQ(sizeof(Column), sizeof(LVCOLUMNW));
    EXPECT_SAME_FIELD(Column, LVCOLUMNW, pszText);
    EXPECT_SAME_FIELD(Column, LVCOLUMNW, cchTextMax);

    using TreeItem = RemoteTreeItem<Native>;
    EXPECT_EQ(sizeof(TreeItem), sizeof(TVITEMW));
    EXPECT_SAME_FIELD(TreeItem, TVITEMW, hItem);
    EXPECT_SAME_FIELD(TreeItem, TVITEMW, pszText);
    EXPECT_SAME_FIELD(TreeItem, TVITEMW, cchTextMax);

    using TabItem = RemoteTabItem<Native>;
    EXPECT_EQ(sizeof(TabItem), sizeof(TCITEMW));
    EXPECT_SAME_FIELD(TabItem, TCITEMW, pszText);
    EXPECT_SAME_FIELD(TabItem, TCITEMW, cchTextMax);

    using HeaderItem = RemoteHeaderItem<Native>;
    EXPECT_EQ(sizeof(HeaderItem), sizeof(HDITEMW));
    EXPECT_SAME_FIELD(HeaderItem, HDITEMW, pszText);
    EXPECT_SAME_FIELD(HeaderItem, HDITEMW, cchTextMax);

    using Button = RemoteToolbarButton<Native>;
    EXPECT_EQ(sizeof(Button), sizeof(TBBUTTON));
    EXPECT_SAME_FIELD(Button, TBBUTTON, idCommand);
    EXPECT_SAME_FIELD(Button, TBBUTTON, fsStyle);
    EXPECT_SAME_FIELD(Button, TBBUTTON, dwData);
    EXPECT_SAME_FIELD(Button, TBBUTTON, iString);
}

// The x86 SDK's figures: 4-byte pointers, no padding.
TEST(RemoteLayouts, ThirtyTwoBitTargetsGetTheX86Layouts) {
    EXPECT_EQ(sizeof(RemoteListViewItem<std::uint32_t>), 60u);
    EXPECT_EQ(offsetof(RemoteListViewItem<std::uint32_t>, pszText), 20u);
    EXPECT_EQ(sizeof(RemoteListViewColumn<std::uint32_t>), 44u);
    EXPECT_EQ(offsetof(RemoteListViewColumn<std::uint32_t>, pszText), 12u);
    EXPECT_EQ(sizeof(RemoteTreeItem<std::uint32_t>), 40u);
    EXPECT_EQ(offsetof(RemoteTreeItem<std::uint32_t>, pszText), 16u);
    EXPECT_EQ(sizeof(RemoteTabItem<std::uint32_t>), 28u);
    EXPECT_EQ(offsetof(RemoteTabItem<std::uint32_t>, pszText), 12u);
    EXPECT_EQ(sizeof(RemoteHeaderItem<std::uint32_t>), 48u);
    EXPECT_EQ(offsetof(RemoteHeaderItem<std::uint32_t>, cchTextMax), 16u);
    EXPECT_EQ(sizeof(RemoteToolbarButton<std::uint32_t>), 20u);
    EXPECT_EQ(offsetof(RemoteToolbarButton<std::uint32_t>, dwData), 12u);
}

}  // namespace
