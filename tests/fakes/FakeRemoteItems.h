// An in-memory double of the RemoteItems port: controls of every kind with their items, answering
// as the real controls do, and a switch for a control that stops answering part-way.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "ports/RemoteItems.h"

class FakeRemoteItems : public RemoteItems {
public:
    // A tree item with its text and its children, in order.
    struct TreeNode {
        Text text;
        std::vector<TreeNode> children;
    };

    // A menu item with the items of the drop-down menu it opens, in order.
    struct MenuNode {
        MenuItemFacts item;  // its submenu is set from submenu
        std::vector<MenuNode> submenu;
        RemoteEnd end = RemoteEnd::Answered;      // how a read of this item ends
        RemoteEnd menuEnd = RemoteEnd::Answered;  // how the count of the menu it opens ends
    };

    // An accessible object of a window's own tree, by its number (1 for the window's own object).
    // A child is an object (simple false) or a simple child, which answers for itself with the
    // facts of the object its number names.
    struct AccessibleChild {
        std::uint32_t object = 0;
        bool simple = false;
    };
    struct AccessibleObject {
        Text name;
        Text role;
        Text value;
        std::uint32_t state = 0;
        std::vector<AccessibleChild> children;
        // The child count it claims instead of its children's number, when set.
        std::optional<std::int64_t> claimedChildren;
        bool malformed = false;  // its facts come in of the wrong type
    };

    struct Control {
        ItemsKind kind = ItemsKind::ListBox;
        // The window's own accessible objects, object 1 first; none: it leaves them to the system.
        std::vector<AccessibleObject> accessible;
        // A top-level window's menu bar: it has one when this holds items. Each menu call counts
        // as a message, the menu bar's handle none.
        std::vector<MenuNode> menuBar;
        // The items, one row each: a list view's row holds a cell per column, every other kind
        // one text (the first cell) per item. A tree keeps its items in roots instead.
        std::vector<std::vector<Text>> rows;
        // A list view's column captions, as its header holds them.
        std::vector<Text> columns;
        // Its columns' widths in the details view; a column not named here is shown.
        std::map<std::size_t, int> columnWidths;
        // False: the list view shows another view than details.
        bool detailsView = true;
        std::vector<TreeNode> roots;
        // False: an owner-drawn list or combo box that keeps item data, not texts.
        bool keepsStrings = true;
        // The answer to the count message instead of the number of items, when set.
        std::optional<std::int64_t> claimedCount;
        // The control answers this many messages (a count, a tree step or one item's text each),
        // then every later one ends with failure.
        std::size_t answers = std::numeric_limits<std::size_t>::max();
        RemoteEnd failure = RemoteEnd::TimedOut;
    };

    // Adds a control and answers its handle.
    WindowHandle Add(Control control);
    // A list view with these captions and rows of cells.
    WindowHandle AddListView(std::vector<Text> columns, std::vector<std::vector<Text>> rows);
    // A control of kind with one text per item.
    WindowHandle AddTexts(ItemsKind kind, const std::vector<Text>& texts);
    Control& At(WindowHandle control) { return m_controls.at(control).control; }
    // The control goes away: every later message to it ends as Gone.
    void Remove(WindowHandle control) { m_controls.erase(control); }

    // Messages sent to any control, answered or not.
    std::size_t messages = 0;
    // Runs at each message, before it is answered: a test's way to act while a read goes on.
    std::function<void()> onMessage;

    RemoteNumber Count(WindowHandle control, ItemCount query) override;
    bool KeepsStrings(WindowHandle control, ItemsKind kind) override;
    RemoteTexts ListTexts(WindowHandle control, ItemsKind kind, std::size_t first,
                          std::size_t count, std::size_t maxUnits) override;
    RemoteNumber ListViewColumnWidth(WindowHandle control, int column) override;
    RemoteNumber TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) override;
    RemoteTexts ItemTexts(WindowHandle control, ItemText what, std::span<const ItemRef> items,
                          std::size_t maxUnits) override;
    RemoteNumber MenuBar(WindowHandle window) override;
    RemoteNumber MenuItemCount(std::uint64_t menu) override;
    RemoteMenuItem MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) override;
    // A console's lines are its rows, in one answer.
    RemoteTexts ConsoleLines(WindowHandle console, std::size_t maxUnits) override;
    // Each call to the tree counts as a message to its window.
    RemoteNumber AccessibleChildCount(WindowHandle window) override;
    std::optional<RemoteNumber> KnownAccessibleChildCount(WindowHandle window) override;
    std::unique_ptr<AccessibleTree> OpenAccessibleTree(WindowHandle window,
                                                       RemoteEnd& end) override;

private:
    class FakeAccessibleTree;

    // A tree item as the control names it: its text and the handles one step away (0: none).
    struct TreeLink {
        Text text;
        std::uint64_t child = 0;
        std::uint64_t next = 0;
    };
    struct Entry {
        Control control;
        // The tree's items by handle, named anew at each step to the root, so a read sees the
        // tree as it is then.
        std::map<std::uint64_t, TreeLink> tree;
    };

    // How a message to control ends before it is answered: Answered when it may be answered.
    RemoteEnd Ask(WindowHandle control);
    // The text of one item, or nothing when the control has no such item.
    std::optional<Text> TextOf(const Entry& entry, ItemText what, const ItemRef& item) const;
    // Names the nodes' items with handles, linked to their siblings and children; answers the
    // first one's handle (0 for none).
    std::uint64_t LinkTree(Entry& entry, const std::vector<TreeNode>& nodes);

    // Names each menu of nodes with a handle, its window's; answers the first one's handle.
    std::uint64_t LinkMenu(WindowHandle window, const std::vector<MenuNode>& nodes,
                           RemoteEnd countEnd = RemoteEnd::Answered);

    // The menus named so far: each handle's window and items, and how a count of them ends.
    struct NamedMenu {
        WindowHandle window = 0;
        const std::vector<MenuNode>* items = nullptr;
        RemoteEnd countEnd = RemoteEnd::Answered;
    };
    std::map<std::uint64_t, NamedMenu> m_menus;
    std::uint64_t m_nextMenu = 0x9F0010;
    std::map<WindowHandle, Entry> m_controls;
    std::map<WindowHandle, RemoteNumber> m_accessibleCounts;
    WindowHandle m_nextHandle = 0x40000;
    std::uint64_t m_nextTreeItem = 0x7F0010;
};
