// The menus of another program's top-level windows, through the system's menu functions.
#include "win32/Win32RemoteItems.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "win32/Win32Text.h"

RemoteEnd UnreadMenuEnd(DWORD error) noexcept {
    return error == ERROR_ACCESS_DENIED ? RemoteEnd::Denied : RemoteEnd::Refused;
}

// The menu bar is the window's only when it is no child: a child's menu handle is its id.
RemoteNumber Win32RemoteItems::MenuBar(WindowHandle window) {
    const HWND handle = HwndOf(window);
    if (IsWindow(handle) == FALSE) {
        return {0, RemoteEnd::Gone};
    }
    if ((GetWindowLongW(handle, GWL_STYLE) & WS_CHILD) != 0) {
        return {};
    }
    return {static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(GetMenu(handle)))};
}

RemoteNumber Win32RemoteItems::MenuItemCount(std::uint64_t menu) {
    const int count = GetMenuItemCount(reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(menu)));
    if (count < 0) {
        return {0, UnreadMenuEnd(GetLastError())};
    }
    return {count};
}

// Asked once for the text's length and the item's state, then once more for a text.
RemoteMenuItem Win32RemoteItems::MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) {
    const auto handle = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(menu));
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE;
    RemoteMenuItem read;
    if (GetMenuItemInfoW(handle, static_cast<UINT>(index), TRUE, &info) == FALSE) {
        read.end = UnreadMenuEnd(GetLastError());
        return read;
    }
    MenuItemFacts& item = read.item;
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.greyed = (info.fState & MFS_GRAYED) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.submenu = reinterpret_cast<std::uintptr_t>(info.hSubMenu);
    if (info.cch == 0 || item.separator) {
        return read;
    }
    read.cut = info.cch > maxUnits;
    std::vector<wchar_t> text(std::min<std::size_t>(info.cch, maxUnits) + 1, L'\0');
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (GetMenuItemInfoW(handle, static_cast<UINT>(index), TRUE, &info) == FALSE) {
        read.end = UnreadMenuEnd(GetLastError());
        return read;
    }
    item.text = TextUpTo(reinterpret_cast<const char16_t*>(text.data()), text.size() - 1);
    return read;
}
