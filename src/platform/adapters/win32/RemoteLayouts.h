// The common controls' item structures as a program of either bitness lays them out, for
// writing into a target program's memory. Pointer is std::uint64_t for a 64-bit target and
// std::uint32_t for a 32-bit one; every other field has the same size in both.
#pragma once

#include <windows.h>

#include <cstdint>

template <typename Pointer>
struct RemoteListViewItem {  // LVITEMW
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    Pointer pszText;
    int cchTextMax;
    int iImage;
    Pointer lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    Pointer puColumns;
    Pointer piColFmt;
    int iGroup;
};

template <typename Pointer>
struct RemoteListViewColumn {  // LVCOLUMNW
    UINT mask;
    int fmt;
    int cx;
    Pointer pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
    int cxMin;
    int cxDefault;
    int cxIdeal;
};

template <typename Pointer>
struct RemoteTreeItem {  // TVITEMW
    UINT mask;
    Pointer hItem;
    UINT state;
    UINT stateMask;
    Pointer pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    Pointer lParam;
};

template <typename Pointer>
struct RemoteTabItem {  // TCITEMW
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    Pointer pszText;
    int cchTextMax;
    int iImage;
    Pointer lParam;
};

template <typename Pointer>
struct RemoteHeaderItem {  // HDITEMW
    UINT mask;
    int cxy;
    Pointer pszText;
    Pointer hbm;
    int cchTextMax;
    int fmt;
    Pointer lParam;
    int iImage;
    int iOrder;
    UINT type;
    Pointer pvFilter;
    UINT state;
};

template <typename Pointer>
struct RemoteToolbarButton {  // TBBUTTON
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[sizeof(Pointer) - 2];
    Pointer dwData;
    Pointer iString;
};
