// Reads a top-level window's menu bar and its drop-down menus, item by item, in the order a
// person meets them.
#include <array>
#include <vector>

#include "items/ItemsReader.h"
#include "items/KindReaders.h"

namespace {

// Drop-down menus below the menu bar deeper than this are not opened.
constexpr int kMenuDepthCap = 16;

// A menu's columns: its items' texts and their states.
std::vector<Text> MenuCaptions() {
    return {u"Text", u"State"};
}

// An item's state in words, as the State column shows it: "greyed, checked", "separator".
Text MenuItemState(const MenuItemFacts& item) {
    Text state;
    const auto add = [&state](bool has, TextView word) {
        if (has) {
            state += (state.empty() ? u"" : u", ") + Text(word);
        }
    };
    add(item.separator, u"separator");
    add(item.greyed, u"greyed");
    add(item.checked, u"checked");
    add(item.submenu != 0, u"submenu");
    return state;
}

}  // namespace

MenuBarRead ReadMenuBar(WindowHandle window, RemoteItems& remote) {
    const RemoteNumber bar = remote.MenuBar(window);
    if (bar.end != RemoteEnd::Answered) {
        return {0, bar};
    }
    if (bar.value == 0) {
        return {0, {0, RemoteEnd::Gone}};
    }
    const auto menu = static_cast<std::uint64_t>(bar.value);
    return {menu, remote.MenuItemCount(menu)};
}

// The menu bar's items and, below each item that opens one, its drop-down menu's, down to
// kMenuDepthCap. A system that does not let this program read the bar gives no items; a menu that
// fails part-way keeps the items read until then.
ItemsTable ReadMenuItems(const ControlRead& read) {
    ItemsTable table(read.kind, MenuCaptions());
    const MenuBarRead bar = ReadMenuBar(read.control, read.remote);
    // The bar's handle came, but not its count: this system keeps menus to their program.
    if (bar.menu != 0 && bar.count.end == RemoteEnd::Refused) {
        table.status = ItemsStatus::NotReadable;
        return table;
    }
    // Each open menu: its handle, its depth, its item count and the next index to read.
    struct Open {
        std::uint64_t menu;
        int depth;
        std::int64_t count;
        int next = 0;
    };
    std::vector<Open> open;
    if (!TakeEnd(table, bar.count.end)) {
        return table;
    }
    open.push_back({bar.menu, 0, bar.count.value});
    while (!open.empty()) {
        Open& menu = open.back();
        if (menu.next >= menu.count) {
            open.pop_back();
            continue;
        }
        if (table.Rows() == read.cap) {
            table.status = ItemsStatus::Capped;
            break;
        }
        const int depth = menu.depth;
        const RemoteMenuItem answer = read.remote.MenuItemAt(menu.menu, menu.next++, kItemTextCap);
        if (!TakeEnd(table, answer.end)) {
            break;
        }
        table.cutTexts += answer.cut ? 1 : 0;
        const std::array cells{answer.item.text, MenuItemState(answer.item)};
        table.AppendRow(cells, depth);
        if (answer.item.submenu == 0 || depth + 1 > kMenuDepthCap) {
            continue;
        }
        const RemoteNumber items = read.remote.MenuItemCount(answer.item.submenu);
        if (!TakeEnd(table, items.end)) {
            break;
        }
        open.push_back({answer.item.submenu, depth + 1, items.value});
    }
    table.ShrinkToFit();
    return table;
}
