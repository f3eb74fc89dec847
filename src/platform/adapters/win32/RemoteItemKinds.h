// The kinds of item whose text is asked through a structure in the target's memory: one row a
// kind, with its message, its structure for either bitness of target and how to fill it.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include "core/Failure.h"
#include "ports/RemoteItems.h"
#include "win32/RemoteLayouts.h"

// Pointer is std::uint64_t for a 64-bit target and std::uint32_t for a 32-bit one.
template <typename Pointer>
struct StructItemKind {
    ItemText what;
    UINT message;
    // The size of the structure the message carries, as the target lays it out.
    std::size_t size;
    // The message answers the text's length; otherwise TRUE, or FALSE for an item that is not.
    bool answersLength = false;
    // The item is named in the structure alone: the message's wParam is 0.
    bool itemInStructure = false;
    // Writes at at the structure asking ref's text into units code units at text.
    void (*fill)(const ItemRef& ref, Pointer text, int units, std::byte* at);
};

// A structure of Layout that asks its text, with mask saying so, into units code units at text.
template <template <typename> class Layout, typename Pointer>
Layout<Pointer> AskingText(UINT mask, Pointer text, int units) noexcept {
    Layout<Pointer> layout{};
    layout.mask = mask;
    layout.pszText = text;
    layout.cchTextMax = units;
    return layout;
}

template <typename Layout>
void PutLayout(const Layout& layout, std::byte* at) noexcept {
    std::memcpy(at, &layout, sizeof(layout));
}

template <typename Pointer>
inline constexpr std::array<StructItemKind<Pointer>, 5> kStructItemKinds{{
    {.what = ItemText::ListViewCell,
     .message = LVM_GETITEMTEXTW,
     .size = sizeof(RemoteListViewItem<Pointer>),
     .answersLength = true,
     .fill =
         [](const ItemRef& ref, Pointer text, int units, std::byte* at) {
             auto item = AskingText<RemoteListViewItem>(LVIF_TEXT, text, units);
             item.iItem = static_cast<int>(ref.item);
             item.iSubItem = ref.column;
             PutLayout(item, at);
         }},
    {.what = ItemText::ListViewColumn,
     .message = LVM_GETCOLUMNW,
     .size = sizeof(RemoteListViewColumn<Pointer>),
     .fill =
         [](const ItemRef&, Pointer text, int units, std::byte* at) {
             PutLayout(AskingText<RemoteListViewColumn>(LVCF_TEXT, text, units), at);
         }},
    {.what = ItemText::TreeItem,
     .message = TVM_GETITEMW,
     .size = sizeof(RemoteTreeItem<Pointer>),
     .itemInStructure = true,
     .fill =
         [](const ItemRef& ref, Pointer text, int units, std::byte* at) {
             auto item = AskingText<RemoteTreeItem>(TVIF_TEXT | TVIF_HANDLE, text, units);
             item.hItem = static_cast<Pointer>(ref.item);
             PutLayout(item, at);
         }},
    {.what = ItemText::TabItem,
     .message = TCM_GETITEMW,
     .size = sizeof(RemoteTabItem<Pointer>),
     .fill =
         [](const ItemRef&, Pointer text, int units, std::byte* at) {
             PutLayout(AskingText<RemoteTabItem>(TCIF_TEXT, text, units), at);
         }},
    {.what = ItemText::HeaderItem,
     .message = HDM_GETITEMW,
     .size = sizeof(RemoteHeaderItem<Pointer>),
     .fill =
         [](const ItemRef&, Pointer text, int units, std::byte* at) {
             PutLayout(AskingText<RemoteHeaderItem>(HDI_TEXT, text, units), at);
         }},
}};

// The row of a kind read through a structure; a kind without one is a fault of this table.
template <typename Pointer>
const StructItemKind<Pointer>& StructItemKindOf(ItemText what) {
    const auto& kinds = kStructItemKinds<Pointer>;
    const auto row =
        std::find_if(kinds.begin(), kinds.end(),
                     [what](const StructItemKind<Pointer>& kind) { return kind.what == what; });
    if (row == kinds.end()) {
        throw Failure(u"This kind of item is not read through a structure.");
    }
    return *row;
}
