// The items reader: decides which kind of items a window holds, asks its count, and hands its
// read to the reader of its kind.
#include "items/ItemsReader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/AsciiCase.h"
#include "items/KindReaders.h"

namespace {

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
        case ItemsKind::Accessible:
            break;
    }
    return ItemCount::Toolbar;
}

// The kinds whose items are rows of a list that shows texts; a toolbar's or a tab's items may
// rightly all be pictures, a status bar's parts all empty.
bool ListsRows(ItemsKind kind) {
    return kind == ItemsKind::ListBox || kind == ItemsKind::ComboBox ||
           kind == ItemsKind::ListView || kind == ItemsKind::TreeView;
}

}  // namespace

ItemsStatus ItemsStatusOf(RemoteEnd end) {
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

bool TakeEnd(ItemsTable& table, RemoteEnd end) {
    if (end == RemoteEnd::Answered) {
        return true;
    }
    table.status = ItemsStatusOf(end);
    return false;
}

bool TakeRound(ItemsTable& table, const RemoteTexts& round) {
    table.cutTexts += round.cut;
    return TakeEnd(table, round.end);
}

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
                                           RemoteItems& remote, AccessibleProbe probe) {
    if (const std::optional<ItemsKind> kind = ItemsKindOfClass(className)) {
        return kind;
    }
    const RemoteNumber bar = remote.MenuBar(window);
    if (bar.end == RemoteEnd::Answered && bar.value != 0) {
        return ItemsKind::Menu;
    }
    if (!MayDrawOwnControls(className)) {
        return std::nullopt;
    }
    const RemoteNumber accessible = probe == AccessibleProbe::Ask
                                        ? remote.AccessibleChildCount(window)
                                        : remote.KnownAccessibleChildCount(window).value_or(
                                              RemoteNumber{0, RemoteEnd::Refused});
    if (accessible.end != RemoteEnd::Answered || accessible.value <= 0) {
        return std::nullopt;
    }
    return ItemsKind::Accessible;
}

bool KeepsNoTexts(WindowHandle control, ItemsKind kind, RemoteItems& remote) {
    return (kind == ItemsKind::ListBox || kind == ItemsKind::ComboBox) &&
           !remote.KeepsStrings(control, kind);
}

RemoteNumber AskItemCount(WindowHandle control, ItemsKind kind, RemoteItems& remote) {
    const RemoteNumber count = kind == ItemsKind::Menu ? ReadMenuBar(control, remote).count
                               : kind == ItemsKind::Accessible
                                   ? remote.AccessibleChildCount(control)
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

// A menu, a console and an accessible tree are read whole by their readers; the other kinds answer
// a count first, which the read believes up to its cap.
ItemsTable ReadItems(WindowHandle control, ItemsKind kind, RemoteItems& remote, std::size_t cap) {
    const ControlRead read{control, kind, remote, cap};
    if (kind == ItemsKind::Menu) {
        return ReadMenuItems(read);
    }
    if (kind == ItemsKind::Console) {
        return ReadConsoleItems(read);
    }
    if (kind == ItemsKind::Accessible) {
        return ReadAccessibleItems(read);
    }
    ItemsTable table =
        kind == ItemsKind::ListView ? ListViewTable(read) : ItemsTable(kind, std::vector<Text>{});
    const RemoteNumber count = remote.Count(control, CountQueryOf(kind));
    if (count.end != RemoteEnd::Answered) {
        table.status = ItemsStatusOf(count.end);
        return table;
    }
    const std::size_t claimed = static_cast<std::size_t>(std::max<std::int64_t>(count.value, 0));
    const std::size_t allowed = std::min(claimed, cap);
    if (claimed > cap) {
        table.status = ItemsStatus::Capped;
        table.claimed = count.value;
    }
    switch (kind) {
        case ItemsKind::ListBox:
        case ItemsKind::ComboBox:
            ReadListBoxItems(read, table, allowed);
            break;
        case ItemsKind::ListView:
            ReadListViewRows(read, table, allowed);
            break;
        case ItemsKind::TreeView:
            ReadTreeItems(read, table);
            break;
        default:
            ReadStripItems(read, table, allowed);
            break;
    }
    // Rows that a whole read found all empty are more likely drawn than blank.
    if (table.status == ItemsStatus::Read && ListsRows(kind) && table.Rows() != 0 &&
        !table.HasText()) {
        table.status = ItemsStatus::NoText;
    }
    table.ShrinkToFit();
    return table;
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
        case ItemsStatus::NoText:
            return u"no text";
        case ItemsStatus::Capped:
            return u"capped";
        case ItemsStatus::Denied:
            return u"denied";
        case ItemsStatus::NotReadable:
            return u"not readable on this system";
        case ItemsStatus::TooDeep:
            return u"too deep";
        case ItemsStatus::Looped:
            return u"looped";
        case ItemsStatus::Malformed:
            return u"malformed answers";
    }
    return u"read";
}

Text NoTextSentence(std::size_t rows) {
    return u"the program gave no text for its " + DecimalText(static_cast<std::int64_t>(rows)) +
           (rows == 1 ? u" row" : u" rows") + u": it may draw them itself";
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
        case ItemsKind::Accessible:
            return u"Accessible objects";
    }
    return u"List box";
}
