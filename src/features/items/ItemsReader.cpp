// The items reader.
#include "items/ItemsReader.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "core/AsciiCase.h"

namespace {

// Rows read in one round of item texts, so that the references a round needs stay small.
constexpr std::size_t kRowsPerRound = 2048;
// A list view's columns beyond this many are not read.
constexpr std::int64_t kColumnsCap = 1024;
// Drop-down menus below the menu bar deeper than this are not opened.
constexpr int kMenuDepthCap = 16;
// A menu's item texts are read up to this many units: a menu shows a line, not a document.
constexpr std::size_t kMenuTextCap = 4096;

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

struct ClassPattern {
    TextView part;
    ItemsKind kind;
};

// The first pattern that a class name holds decides; a combo box's drop-down list is a list box.
constexpr std::array kClassPatterns{
    ClassPattern{u"combolbox", ItemsKind::ListBox},
    ClassPattern{u"listbox", ItemsKind::ListBox},
    ClassPattern{u"combobox", ItemsKind::ComboBox},
    ClassPattern{u"listview", ItemsKind::ListView},
    ClassPattern{u"treeview", ItemsKind::TreeView},
    ClassPattern{u"tabcontrol", ItemsKind::Tab},
    ClassPattern{u"tabstrip", ItemsKind::Tab},
    ClassPattern{u"header", ItemsKind::Header},
    ClassPattern{u"statusbar", ItemsKind::StatusBar},
    ClassPattern{u"toolbar", ItemsKind::Toolbar},
    // Windows' console window, and Wine's.
    ClassPattern{u"consolewindowclass", ItemsKind::Console},
    ClassPattern{u"wineconsoleclass", ItemsKind::Console},
};

ItemCount CountQueryOf(ItemsKind kind) {
    switch (kind) {
        case ItemsKind::ListBox:
            return ItemCount::ListBox;
        case ItemsKind::ComboBox:
            return ItemCount::ComboBox;
        case ItemsKind::ListView:
            return ItemCount::ListView;
        case ItemsKind::TreeView:
            return ItemCount::TreeView;
        case ItemsKind::Tab:
            return ItemCount::Tab;
        case ItemsKind::Header:
            return ItemCount::Header;
        case ItemsKind::StatusBar:
            return ItemCount::StatusBar;
        case ItemsKind::Console:
            return ItemCount::Console;
        case ItemsKind::Toolbar:
        case ItemsKind::Menu:
            break;
    }
    return ItemCount::Toolbar;
}

// The texts read by item kind, for the kinds whose items are one text each.
ItemText SingleTextOf(ItemsKind kind) {
    switch (kind) {
        case ItemsKind::Tab:
            return ItemText::TabItem;
        case ItemsKind::Header:
            return ItemText::HeaderItem;
        case ItemsKind::StatusBar:
            return ItemText::StatusPart;
        default:
            return ItemText::ToolbarButton;
    }
}

ItemsStatus StatusOf(RemoteEnd end) {
    switch (end) {
        case RemoteEnd::TimedOut:
            return ItemsStatus::TimedOut;
        case RemoteEnd::Gone:
            return ItemsStatus::Gone;
        case RemoteEnd::Refused:
            return ItemsStatus::Changed;
        case RemoteEnd::Denied:
            return ItemsStatus::Denied;
        case RemoteEnd::Answered:
            break;
    }
    return ItemsStatus::Read;
}

// A window's menu bar and how many items it holds.
struct MenuBarRead {
    // 0 when the bar could not be had: then count says why (Gone for a window without one).
    std::uint64_t menu = 0;
    RemoteNumber count;
};

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

// One control's read: the count it claims, the items it is allowed, and how it ended.
class Read {
public:
    Read(WindowHandle control, ItemsKind kind, RemoteItems& remote, std::size_t cap)
        : m_control(control), m_kind(kind), m_remote(remote), m_cap(cap) {}

    ItemsTable Run() {
        if (m_kind == ItemsKind::Menu) {
            return ReadMenus();
        }
        ItemsTable table(m_kind, m_kind == ItemsKind::ListView ? Captions() : std::vector<Text>{});
        if (m_kind == ItemsKind::ListView) {
            MarkHiddenColumns(table);
        }
        if (m_kind == ItemsKind::Console) {
            ReadConsole(table);
            table.ShrinkToFit();
            return table;
        }
        const RemoteNumber count = m_remote.Count(m_control, CountQueryOf(m_kind));
        if (count.end != RemoteEnd::Answered) {
            table.status = StatusOf(count.end);
            return table;
        }
        const std::size_t claimed =
            static_cast<std::size_t>(std::max<std::int64_t>(count.value, 0));
        const std::size_t allowed = std::min(claimed, m_cap);
        if (claimed > m_cap) {
            table.status = ItemsStatus::Capped;
            table.claimed = count.value;
        }
        switch (m_kind) {
            case ItemsKind::ListBox:
            case ItemsKind::ComboBox:
                ReadList(table, allowed);
                break;
            case ItemsKind::ListView:
                ReadListView(table, allowed);
                break;
            case ItemsKind::TreeView:
                ReadTree(table);
                break;
            default:
                ReadSingleTexts(table, allowed);
                break;
        }
        table.ShrinkToFit();
        return table;
    }

private:
    // A list view's column captions: its header's items, or one column without a caption.
    std::vector<Text> Captions() {
        const RemoteNumber columns = m_remote.Count(m_control, ItemCount::ListViewColumns);
        if (columns.end != RemoteEnd::Answered || columns.value <= 0) {
            return {};
        }
        std::vector<ItemRef> refs;
        for (std::int64_t column = 0; column < std::min(columns.value, kColumnsCap); ++column) {
            refs.push_back({static_cast<std::uint64_t>(column), 0});
        }
        RemoteTexts captions =
            m_remote.ItemTexts(m_control, ItemText::ListViewColumn, refs, kItemTextCap);
        captions.texts.resize(refs.size());
        return std::move(captions.texts);
    }

    // Marks the columns that the list view's details view gives no width; a list view showing
    // another view, or not answering, hides none.
    void MarkHiddenColumns(ItemsTable& table) {
        for (std::size_t column = 0; column < table.Columns(); ++column) {
            const RemoteNumber width =
                m_remote.ListViewColumnWidth(m_control, static_cast<int>(column));
            if (width.end != RemoteEnd::Answered || width.value < 0) {
                return;
            }
            if (width.value == 0) {
                table.HideColumn(column);
            }
        }
    }

    // Takes what a round read; false when the read ends here.
    bool Take(ItemsTable& table, const RemoteTexts& round) {
        table.cutTexts += round.cut;
        if (round.end == RemoteEnd::Answered) {
            return true;
        }
        table.status = StatusOf(round.end);
        return false;
    }

    // A console's lines come in one answer: those beyond the cap are left out.
    void ReadConsole(ItemsTable& table) {
        RemoteTexts lines = m_remote.ConsoleLines(m_control, kItemTextCap);
        if (lines.texts.size() > m_cap) {
            table.claimed = static_cast<std::int64_t>(lines.texts.size());
            lines.texts.resize(m_cap);
            table.status = ItemsStatus::Capped;
        }
        for (const Text& line : lines.texts) {
            table.AppendRow(std::span(&line, 1));
        }
        static_cast<void>(Take(table, lines));
    }

    void ReadList(ItemsTable& table, std::size_t allowed) {
        if (KeepsNoTexts(m_control, m_kind, m_remote)) {
            table.status = ItemsStatus::NoTexts;
            table.claimed = static_cast<std::int64_t>(allowed);
            return;
        }
        for (std::size_t first = 0; first < allowed; first += kRowsPerRound) {
            const std::size_t count = std::min(kRowsPerRound, allowed - first);
            const RemoteTexts round =
                m_remote.ListTexts(m_control, m_kind, first, count, kItemTextCap);
            for (const Text& text : round.texts) {
                table.AppendRow(std::span(&text, 1));
            }
            if (!Take(table, round)) {
                return;
            }
        }
    }

    void ReadListView(ItemsTable& table, std::size_t allowed) {
        const std::size_t columns = table.Columns();
        std::vector<ItemRef> refs;
        for (std::size_t first = 0; first < allowed; first += kRowsPerRound) {
            const std::size_t rows = std::min(kRowsPerRound, allowed - first);
            refs.clear();
            for (std::size_t row = first; row < first + rows; ++row) {
                for (std::size_t column = 0; column < columns; ++column) {
                    refs.push_back({row, static_cast<int>(column)});
                }
            }
            const RemoteTexts round =
                m_remote.ItemTexts(m_control, ItemText::ListViewCell, refs, kItemTextCap);
            // Only whole rows: a row cut short by the end of the read is not shown.
            for (std::size_t row = 0; (row + 1) * columns <= round.texts.size(); ++row) {
                table.AppendRow(std::span(round.texts).subspan(row * columns, columns));
            }
            if (!Take(table, round)) {
                return;
            }
        }
    }

    // Every item in pre-order, collapsed ones too, by the control's own steps from item to item;
    // then their texts.
    void ReadTree(ItemsTable& table) {
        std::vector<std::pair<std::uint64_t, int>> items;
        std::vector<std::pair<std::uint64_t, int>> pending;
        const RemoteNumber root = m_remote.TreeItem(m_control, TreeStep::Root, 0);
        if (root.end != RemoteEnd::Answered) {
            table.status = StatusOf(root.end);
            return;
        }
        if (root.value != 0) {
            pending.emplace_back(static_cast<std::uint64_t>(root.value), 0);
        }
        while (!pending.empty()) {
            if (items.size() == m_cap) {
                table.status = ItemsStatus::Capped;
                break;
            }
            const auto [item, depth] = pending.back();
            pending.pop_back();
            items.emplace_back(item, depth);
            const RemoteNumber next = m_remote.TreeItem(m_control, TreeStep::Next, item);
            const RemoteNumber child = m_remote.TreeItem(m_control, TreeStep::Child, item);
            if (next.end != RemoteEnd::Answered || child.end != RemoteEnd::Answered) {
                table.status = StatusOf(next.end != RemoteEnd::Answered ? next.end : child.end);
                break;
            }
            if (next.value != 0) {
                pending.emplace_back(static_cast<std::uint64_t>(next.value), depth);
            }
            if (child.value != 0) {
                pending.emplace_back(static_cast<std::uint64_t>(child.value), depth + 1);
            }
        }
        std::vector<ItemRef> refs;
        for (std::size_t first = 0; first < items.size(); first += kRowsPerRound) {
            const std::size_t count = std::min(kRowsPerRound, items.size() - first);
            refs.clear();
            for (std::size_t item = first; item < first + count; ++item) {
                refs.push_back({items[item].first, 0});
            }
            const RemoteTexts round =
                m_remote.ItemTexts(m_control, ItemText::TreeItem, refs, kItemTextCap);
            for (std::size_t item = 0; item < round.texts.size(); ++item) {
                table.AppendRow(std::span(&round.texts[item], 1), items[first + item].second);
            }
            if (!Take(table, round)) {
                return;
            }
        }
    }

    // The menu bar's items and, below each item that opens one, its drop-down menu's, in the
    // order a person meets them, down to kMenuDepthCap. A system that does not let this program
    // read the bar gives no items; a menu that fails part-way keeps the items read until then.
    ItemsTable ReadMenus() {
        ItemsTable table(m_kind, MenuCaptions());
        const MenuBarRead bar = ReadMenuBar(m_control, m_remote);
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
        if (!Take(table, bar.count)) {
            return table;
        }
        open.push_back({bar.menu, 0, bar.count.value});
        while (!open.empty()) {
            Open& menu = open.back();
            if (menu.next >= menu.count) {
                open.pop_back();
                continue;
            }
            if (table.Rows() == m_cap) {
                table.status = ItemsStatus::Capped;
                break;
            }
            const int depth = menu.depth;
            const RemoteMenuItem read = m_remote.MenuItemAt(menu.menu, menu.next++, kMenuTextCap);
            if (!Take(table, read.end)) {
                break;
            }
            table.cutTexts += read.cut ? 1 : 0;
            const std::array cells{read.item.text, MenuItemState(read.item)};
            table.AppendRow(cells, depth);
            if (read.item.submenu == 0 || depth + 1 > kMenuDepthCap) {
                continue;
            }
            const RemoteNumber items = m_remote.MenuItemCount(read.item.submenu);
            if (!Take(table, items)) {
                break;
            }
            open.push_back({read.item.submenu, depth + 1, items.value});
        }
        table.ShrinkToFit();
        return table;
    }

    // Takes how a menu's answer ended; false when the read ends here.
    bool Take(ItemsTable& table, RemoteEnd end) {
        if (end == RemoteEnd::Answered) {
            return true;
        }
        table.status = StatusOf(end);
        return false;
    }
    bool Take(ItemsTable& table, const RemoteNumber& count) { return Take(table, count.end); }

    void ReadSingleTexts(ItemsTable& table, std::size_t allowed) {
        std::vector<ItemRef> refs;
        for (std::size_t item = 0; item < allowed; ++item) {
            refs.push_back({item, 0});
        }
        const RemoteTexts read =
            m_remote.ItemTexts(m_control, SingleTextOf(m_kind), refs, kItemTextCap);
        for (const Text& text : read.texts) {
            table.AppendRow(std::span(&text, 1));
        }
        Take(table, read);
    }

    WindowHandle m_control;
    ItemsKind m_kind;
    RemoteItems& m_remote;
    std::size_t m_cap;
};

}  // namespace

std::optional<ItemsKind> ItemsKindOfClass(TextView className) {
    const Text lower = LowerAscii(className);
    for (const ClassPattern& pattern : kClassPatterns) {
        if (lower.find(pattern.part) != Text::npos) {
            return pattern.kind;
        }
    }
    return std::nullopt;
}

std::optional<ItemsKind> ItemsKindOfWindow(WindowHandle window, TextView className,
                                           RemoteItems& remote) {
    if (const std::optional<ItemsKind> kind = ItemsKindOfClass(className)) {
        return kind;
    }
    const RemoteNumber bar = remote.MenuBar(window);
    if (bar.end != RemoteEnd::Answered || bar.value == 0) {
        return std::nullopt;
    }
    return ItemsKind::Menu;
}

bool KeepsNoTexts(WindowHandle control, ItemsKind kind, RemoteItems& remote) {
    return (kind == ItemsKind::ListBox || kind == ItemsKind::ComboBox) &&
           !remote.KeepsStrings(control, kind);
}

RemoteNumber AskItemCount(WindowHandle control, ItemsKind kind, RemoteItems& remote) {
    const RemoteNumber count = kind == ItemsKind::Menu ? ReadMenuBar(control, remote).count
                                                       : remote.Count(control, CountQueryOf(kind));
    if (count.end == RemoteEnd::Answered && count.value < 0) {
        return {0, RemoteEnd::Refused};
    }
    return count;
}

std::optional<std::int64_t> CountItems(WindowHandle control, ItemsKind kind, RemoteItems& remote) {
    const RemoteNumber count = AskItemCount(control, kind, remote);
    if (count.end != RemoteEnd::Answered) {
        return std::nullopt;
    }
    return count.value;
}

ItemsTable ReadItems(WindowHandle control, ItemsKind kind, RemoteItems& remote, std::size_t cap) {
    return Read(control, kind, remote, cap).Run();
}

Text ItemsStatusText(ItemsStatus status) {
    switch (status) {
        case ItemsStatus::Read:
            return u"read";
        case ItemsStatus::TimedOut:
            return u"timed out";
        case ItemsStatus::Gone:
            return u"gone";
        case ItemsStatus::Changed:
            return u"changed while read";
        case ItemsStatus::NoTexts:
            return u"owner-drawn without texts";
        case ItemsStatus::Capped:
            return u"capped";
        case ItemsStatus::Denied:
            return u"denied";
        case ItemsStatus::NotReadable:
            return u"not readable on this system";
    }
    return u"read";
}

Text ItemsKindName(ItemsKind kind) {
    switch (kind) {
        case ItemsKind::ListBox:
            return u"List box";
        case ItemsKind::ComboBox:
            return u"Combo box";
        case ItemsKind::ListView:
            return u"List view";
        case ItemsKind::TreeView:
            return u"Tree view";
        case ItemsKind::Tab:
            return u"Tab control";
        case ItemsKind::Header:
            return u"Header";
        case ItemsKind::StatusBar:
            return u"Status bar";
        case ItemsKind::Toolbar:
            return u"Toolbar";
        case ItemsKind::Console:
            return u"Console";
        case ItemsKind::Menu:
            return u"Menu";
    }
    return u"List box";
}
