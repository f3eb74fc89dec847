// An in-memory double of the RemoteItems port.
#include "fakes/FakeRemoteItems.h"

#include <algorithm>

namespace {

// How many items nodes hold, their children's included.
std::int64_t CountNodes(const std::vector<FakeRemoteItems::TreeNode>& nodes) {
    std::int64_t count = 0;
    for (const FakeRemoteItems::TreeNode& node : nodes) {
        count += 1 + CountNodes(node.children);
    }
    return count;
}

// The kind of control that answers a count message.
ItemsKind KindCounted(ItemCount query) {
    switch (query) {
        case ItemCount::ListBox:
            return ItemsKind::ListBox;
        case ItemCount::ComboBox:
            return ItemsKind::ComboBox;
        case ItemCount::ListView:
        case ItemCount::ListViewColumns:
            return ItemsKind::ListView;
        case ItemCount::TreeView:
            return ItemsKind::TreeView;
        case ItemCount::Tab:
            return ItemsKind::Tab;
        case ItemCount::Header:
            return ItemsKind::Header;
        case ItemCount::StatusBar:
            return ItemsKind::StatusBar;
        case ItemCount::Toolbar:
            return ItemsKind::Toolbar;
        case ItemCount::Console:
            return ItemsKind::Console;
    }
    return ItemsKind::ListBox;
}

// Adds text to what was read, cut to maxUnits.
void Append(RemoteTexts& read, const Text& text, std::size_t maxUnits) {
    if (text.size() > maxUnits) {
        ++read.cut;
    }
    read.texts.push_back(text.substr(0, maxUnits));
}

}  // namespace

WindowHandle FakeRemoteItems::Add(Control control) {
    const WindowHandle handle = m_nextHandle;
    m_nextHandle += 2;
    m_controls[handle].control = std::move(control);
    return handle;
}

WindowHandle FakeRemoteItems::AddListView(std::vector<Text> columns,
                                          std::vector<std::vector<Text>> rows) {
    Control control;
    control.kind = ItemsKind::ListView;
    control.columns = std::move(columns);
    control.rows = std::move(rows);
    return Add(std::move(control));
}

WindowHandle FakeRemoteItems::AddTexts(ItemsKind kind, const std::vector<Text>& texts) {
    Control control;
    control.kind = kind;
    for (const Text& text : texts) {
        control.rows.push_back({text});
    }
    return Add(std::move(control));
}

RemoteEnd FakeRemoteItems::Ask(WindowHandle control) {
    ++messages;
    if (onMessage) {
        onMessage();
    }
    const auto found = m_controls.find(control);
    if (found == m_controls.end()) {
        return RemoteEnd::Gone;
    }
    Control& asked = found->second.control;
    if (asked.answers == 0) {
        return asked.failure;
    }
    --asked.answers;
    return RemoteEnd::Answered;
}

RemoteNumber FakeRemoteItems::Count(WindowHandle control, ItemCount query) {
    const RemoteEnd end = Ask(control);
    if (end != RemoteEnd::Answered) {
        return {0, end};
    }
    const Control& asked = At(control);
    // A control of another kind leaves the message to the system, which answers 0.
    if (KindCounted(query) != asked.kind) {
        return {0, RemoteEnd::Answered};
    }
    if (query == ItemCount::ListViewColumns) {
        return {static_cast<std::int64_t>(asked.columns.size()), RemoteEnd::Answered};
    }
    if (asked.claimedCount) {
        return {*asked.claimedCount, RemoteEnd::Answered};
    }
    const std::int64_t count = asked.kind == ItemsKind::TreeView
                                   ? CountNodes(asked.roots)
                                   : static_cast<std::int64_t>(asked.rows.size());
    return {count, RemoteEnd::Answered};
}

bool FakeRemoteItems::KeepsStrings(WindowHandle control, ItemsKind) {
    const auto found = m_controls.find(control);
    return found != m_controls.end() && found->second.control.keepsStrings;
}

RemoteTexts FakeRemoteItems::ListTexts(WindowHandle control, ItemsKind, std::size_t first,
                                       std::size_t count, std::size_t maxUnits) {
    RemoteTexts read;
    for (std::size_t item = first; item < first + count; ++item) {
        read.end = Ask(control);
        if (read.end != RemoteEnd::Answered) {
            return read;
        }
        const Control& asked = At(control);
        if (item >= asked.rows.size() || asked.rows[item].empty()) {
            read.end = RemoteEnd::Refused;
            return read;
        }
        Append(read, asked.rows[item][0], maxUnits);
    }
    return read;
}

RemoteTexts FakeRemoteItems::ConsoleLines(WindowHandle console, std::size_t maxUnits) {
    RemoteTexts read;
    read.end = Ask(console);
    if (read.end == RemoteEnd::Answered) {
        for (const std::vector<Text>& row : At(console).rows) {
            Append(read, row.at(0), maxUnits);
        }
    }
    return read;
}

std::uint64_t FakeRemoteItems::LinkTree(Entry& entry, const std::vector<TreeNode>& nodes) {
    std::uint64_t first = 0;
    std::uint64_t previous = 0;
    for (const TreeNode& node : nodes) {
        const std::uint64_t handle = m_nextTreeItem++;
        entry.tree[handle].text = node.text;
        if (previous == 0) {
            first = handle;
        } else {
            entry.tree[previous].next = handle;
        }
        const std::uint64_t child = LinkTree(entry, node.children);
        entry.tree[handle].child = child;
        previous = handle;
    }
    return first;
}

RemoteNumber FakeRemoteItems::ListViewColumnWidth(WindowHandle control, int column) {
    constexpr int kShownWidth = 100;
    const RemoteEnd end = Ask(control);
    if (end != RemoteEnd::Answered) {
        return {0, end};
    }
    const Control& asked = At(control);
    if (!asked.detailsView) {
        return {-1, RemoteEnd::Answered};
    }
    const auto width = asked.columnWidths.find(static_cast<std::size_t>(column));
    return {width == asked.columnWidths.end() ? kShownWidth : width->second, RemoteEnd::Answered};
}

RemoteNumber FakeRemoteItems::TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) {
    const RemoteEnd end = Ask(control);
    if (end != RemoteEnd::Answered) {
        return {0, end};
    }
    Entry& entry = m_controls.at(control);
    if (step == TreeStep::Root) {
        entry.tree.clear();
        return {static_cast<std::int64_t>(LinkTree(entry, entry.control.roots)),
                RemoteEnd::Answered};
    }
    const auto found = entry.tree.find(item);
    if (found == entry.tree.end()) {
        return {0, RemoteEnd::Refused};
    }
    const std::uint64_t next = step == TreeStep::Child ? found->second.child : found->second.next;
    return {static_cast<std::int64_t>(next), RemoteEnd::Answered};
}

std::optional<Text> FakeRemoteItems::TextOf(const Entry& entry, ItemText what,
                                            const ItemRef& item) const {
    const Control& control = entry.control;
    if (what == ItemText::TreeItem) {
        const auto found = entry.tree.find(item.item);
        return found == entry.tree.end() ? std::nullopt : std::optional(found->second.text);
    }
    if (what == ItemText::ListViewColumn) {
        return item.item < control.columns.size() ? std::optional(control.columns[item.item])
                                                  : std::nullopt;
    }
    if (item.item >= control.rows.size()) {
        return std::nullopt;
    }
    // A list view's row may hold fewer cells than the control has columns: the rest are empty.
    const std::vector<Text>& row = control.rows[item.item];
    const auto column = static_cast<std::size_t>(what == ItemText::ListViewCell ? item.column : 0);
    return column < row.size() ? row[column] : Text();
}

RemoteTexts FakeRemoteItems::ItemTexts(WindowHandle control, ItemText what,
                                       std::span<const ItemRef> items, std::size_t maxUnits) {
    RemoteTexts read;
    for (const ItemRef& item : items) {
        read.end = Ask(control);
        if (read.end != RemoteEnd::Answered) {
            return read;
        }
        const std::optional<Text> text = TextOf(m_controls.at(control), what, item);
        if (!text) {
            read.end = RemoteEnd::Refused;
            return read;
        }
        Append(read, *text, maxUnits);
    }
    return read;
}

std::uint64_t FakeRemoteItems::LinkMenu(WindowHandle window, const std::vector<MenuNode>& nodes,
                                        RemoteEnd countEnd) {
    const std::uint64_t menu = m_nextMenu++;
    m_menus[menu] = {window, &nodes, countEnd};
    for (const MenuNode& node : nodes) {
        if (!node.submenu.empty()) {
            LinkMenu(window, node.submenu, node.menuEnd);
        }
    }
    return menu;
}

RemoteNumber FakeRemoteItems::MenuBar(WindowHandle window) {
    const auto found = m_controls.find(window);
    if (found == m_controls.end() || found->second.control.menuBar.empty()) {
        return {};
    }
    return {static_cast<std::int64_t>(LinkMenu(window, found->second.control.menuBar))};
}

RemoteNumber FakeRemoteItems::MenuItemCount(std::uint64_t menu) {
    const auto named = m_menus.find(menu);
    if (named == m_menus.end()) {
        return {0, RemoteEnd::Refused};
    }
    const RemoteEnd end = Ask(named->second.window);
    if (end != RemoteEnd::Answered || named->second.countEnd != RemoteEnd::Answered) {
        return {0, end != RemoteEnd::Answered ? end : named->second.countEnd};
    }
    return {static_cast<std::int64_t>(named->second.items->size())};
}

RemoteMenuItem FakeRemoteItems::MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) {
    RemoteMenuItem read;
    const auto named = m_menus.find(menu);
    if (named == m_menus.end() || index < 0 ||
        static_cast<std::size_t>(index) >= named->second.items->size()) {
        read.end = RemoteEnd::Refused;
        return read;
    }
    read.end = Ask(named->second.window);
    if (read.end != RemoteEnd::Answered) {
        return read;
    }
    const MenuNode& node = (*named->second.items)[static_cast<std::size_t>(index)];
    if (node.end != RemoteEnd::Answered) {
        read.end = node.end;
        return read;
    }
    read.item = node.item;
    read.cut = read.item.text.size() > maxUnits;
    read.item.text.resize(std::min(read.item.text.size(), maxUnits));
    // The drop-down menu's handle: the one last named for its items.
    for (const auto& [handle, other] : m_menus) {
        if (other.items == &node.submenu && !node.submenu.empty()) {
            read.item.submenu = handle;
        }
    }
    return read;
}

// The ids of the simple children an object claims but does not have: none of its objects' numbers.
constexpr std::uint32_t kPhantomChild = 1U << 30;

// A window's own accessible tree, answering from its control's objects as they are at each call.
class FakeRemoteItems::FakeAccessibleTree final : public AccessibleTree {
public:
    FakeAccessibleTree(FakeRemoteItems& items, WindowHandle window) noexcept
        : m_items(items), m_window(window) {}

    RemoteNumber ChildCount(std::uint32_t object) override {
        const RemoteEnd end = m_items.Ask(m_window);
        if (end != RemoteEnd::Answered) {
            return {0, end};
        }
        const AccessibleObject& asked = Object(object);
        return {asked.claimedChildren.value_or(static_cast<std::int64_t>(asked.children.size())),
                end};
    }
    // Past its children, an object that claims more gives simple children it does not have, as
    // the system's AccessibleChildren does for an object without its own enumeration.
    AccessibleChildList Children(std::uint32_t object, std::size_t first,
                                 std::size_t count) override {
        AccessibleChildList children{{}, 0, m_items.Ask(m_window)};
        const AccessibleObject& parent = Object(object);
        const auto claimed = static_cast<std::size_t>(
            parent.claimedChildren.value_or(static_cast<std::int64_t>(parent.children.size())));
        for (std::size_t index = first;
             children.end == RemoteEnd::Answered && index < std::min(claimed, first + count);
             ++index) {
            const AccessibleChild child =
                index < parent.children.size()
                    ? parent.children[index]
                    : AccessibleChild{kPhantomChild + static_cast<std::uint32_t>(index), true};
            children.nodes.push_back(
                child.simple ? AccessibleNode{object, static_cast<std::int32_t>(child.object)}
                             : AccessibleNode{child.object, 0});
        }
        return children;
    }
    AccessibleFacts Facts(AccessibleNode node, std::size_t maxUnits) override {
        AccessibleFacts facts;
        facts.end = m_items.Ask(m_window);
        if (facts.end == RemoteEnd::Answered && node.child != 0 &&
            !std::any_of(Object(node.object).children.begin(), Object(node.object).children.end(),
                         [&node](const AccessibleChild& child) {
                             return child.simple &&
                                    child.object == static_cast<std::uint32_t>(node.child);
                         })) {
            facts.end = RemoteEnd::Refused;
        }
        if (facts.end == RemoteEnd::Answered) {
            const AccessibleObject& asked = Named(node);
            facts.name = asked.name.substr(0, maxUnits);
            facts.cut = asked.name.size() > maxUnits ? 1 : 0;
            facts.role = asked.role;
            facts.state = asked.state;
            facts.malformed = asked.malformed;
        }
        return facts;
    }
    AccessibleValue Value(AccessibleNode node, std::size_t maxUnits) override {
        AccessibleValue value{{}, 0, m_items.Ask(m_window)};
        if (value.end == RemoteEnd::Answered) {
            value.value = Named(node).value.substr(0, maxUnits);
        }
        return value;
    }

private:
    const AccessibleObject& Object(std::uint32_t object) const {
        return m_items.At(m_window).accessible.at(object - 1);
    }
    const AccessibleObject& Named(AccessibleNode node) const {
        return Object(node.child == 0 ? node.object : static_cast<std::uint32_t>(node.child));
    }

    FakeRemoteItems& m_items;
    WindowHandle m_window;
};

RemoteNumber FakeRemoteItems::AccessibleChildCount(WindowHandle window) {
    RemoteNumber count{0, Ask(window)};
    if (count.end == RemoteEnd::Answered) {
        const std::vector<AccessibleObject>& objects = At(window).accessible;
        count = objects.empty()
                    ? RemoteNumber{0, RemoteEnd::Refused}
                    : RemoteNumber{objects.front().claimedChildren.value_or(
                                       static_cast<std::int64_t>(objects.front().children.size())),
                                   RemoteEnd::Answered};
    }
    return m_accessibleCounts[window] = count;
}

std::optional<RemoteNumber> FakeRemoteItems::KnownAccessibleChildCount(WindowHandle window) {
    const auto known = m_accessibleCounts.find(window);
    return known == m_accessibleCounts.end() ? std::nullopt : std::optional(known->second);
}

std::unique_ptr<AccessibleTree> FakeRemoteItems::OpenAccessibleTree(WindowHandle window,
                                                                    RemoteEnd& end) {
    end = Ask(window);
    if (end == RemoteEnd::Answered && At(window).accessible.empty()) {
        end = RemoteEnd::Refused;
    }
    if (end != RemoteEnd::Answered) {
        return nullptr;
    }
    return std::make_unique<FakeAccessibleTree>(*this, window);
}
