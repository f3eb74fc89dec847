// Port: the items of another program's controls (list boxes, combo boxes, list views, trees,
// tabs, headers, status bars, toolbars) as the controls answer their own messages, and the menus
// of its top-level windows as the system keeps them. Every
// message waits at most kTextMessageTimeout; the answers are the control's and may lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/Text.h"
#include "ports/AccessibleTree.h"
#include "ports/WindowSystem.h"

// The controls whose items can be read, each with its own family of messages.
// A console window's items are the lines its screen shows.
enum class ItemsKind {
    ListBox,
    ComboBox,
    ListView,
    TreeView,
    Tab,
    Header,
    StatusBar,
    Toolbar,
    Menu,  // a top-level window's menu bar and its drop-down menus
    Console,
    // What the program of a window that draws its own controls tells screen readers it shows: its
    // tree of accessible objects (MSAA).
    Accessible,
};

// Texts in the order asked, as many as were read before the conversation ended; cut counts the
// texts longer than the units allowed, which hold their first units only.
struct RemoteTexts {
    std::vector<Text> texts;
    RemoteEnd end = RemoteEnd::Answered;
    std::size_t cut = 0;
};

// What a count message asks. ListViewColumns is the item count of the list view's header.
enum class ItemCount {
    ListBox,
    ComboBox,
    ListView,
    ListViewColumns,
    TreeView,
    Tab,
    Header,
    StatusBar,
    Toolbar,
    Console,  // the lines a console window shows
};

// The steps through a tree; a tree item is named by the handle the control gives it.
enum class TreeStep { Root, Child, Next };

// The texts that live in the control's program and need memory there to be read.
enum class ItemText {
    ListViewCell,    // item = row, column = column
    ListViewColumn,  // item = column: its caption
    TreeItem,        // item = the tree item's handle
    TabItem,         // item = index
    HeaderItem,      // item = index
    StatusPart,      // item = index
    ToolbarButton,   // item = index of the button; a separator's text is empty
};

struct ItemRef {
    std::uint64_t item = 0;
    int column = 0;
};

// One item of a menu as the system keeps it.
struct MenuItemFacts {
    Text text;  // with the accelerator's text after a tab, as the menu shows it
    bool greyed = false;
    bool checked = false;
    bool separator = false;
    std::uint64_t submenu = 0;  // the drop-down menu the item opens; 0 for none
};

// A menu item and how asking for it ended; item is valid only when end is Answered. Refused: the
// system says the menu is no menu it lets this program read (or it was destroyed).
struct RemoteMenuItem {
    MenuItemFacts item;
    RemoteEnd end = RemoteEnd::Answered;
    bool cut = false;  // the text was longer than asked and holds its first units
};

class RemoteItems {
public:
    virtual ~RemoteItems() = default;

    // The control's answer to its count message (LB_GETCOUNT, LVM_GETITEMCOUNT, ...).
    [[nodiscard]] virtual RemoteNumber Count(WindowHandle control, ItemCount query) = 0;
    // False for an owner-drawn list box or combo box that keeps no strings, only item data.
    [[nodiscard]] virtual bool KeepsStrings(WindowHandle control, ItemsKind kind) = 0;
    // Items first .. first + count - 1 of a list box or combo box, each asked its length and
    // then its text; a text claiming more than maxUnits is not asked and counts as cut.
    [[nodiscard]] virtual RemoteTexts ListTexts(WindowHandle control, ItemsKind kind,
                                                std::size_t first, std::size_t count,
                                                std::size_t maxUnits) = 0;
    // A list view column's width in pixels as its details view shows it (0 for a column it
    // does not show); value -1 while the list view shows another view, where the widths of its
    // columns say nothing.
    [[nodiscard]] virtual RemoteNumber ListViewColumnWidth(WindowHandle control, int column) = 0;
    // The tree item one step from item (0 with Root); value 0 when there is none.
    [[nodiscard]] virtual RemoteNumber TreeItem(WindowHandle control, TreeStep step,
                                                std::uint64_t item) = 0;
    // The texts of items, through memory in the control's program laid out for its bitness:
    // every item's structure written at once, one message per item, read back at once. A text
    // longer than the first buffer is asked again with more room, up to maxUnits.
    [[nodiscard]] virtual RemoteTexts ItemTexts(WindowHandle control, ItemText what,
                                                std::span<const ItemRef> items,
                                                std::size_t maxUnits) = 0;
    // The lines a console window shows, its screen buffer's visible part, each without its
    // trailing blanks (empty lines below the last text left out), at most maxUnits each. Read
    // through the console itself, which a process shares by attaching to it: by a short-lived
    // process, so that the reader keeps its own console.
    [[nodiscard]] virtual RemoteTexts ConsoleLines(WindowHandle console, std::size_t maxUnits) = 0;
    // The handle of the window's menu bar; value 0 when it has none (a child window never has).
    [[nodiscard]] virtual RemoteNumber MenuBar(WindowHandle window) = 0;
    // How many items the menu holds; Refused when the system does not let this program read it.
    [[nodiscard]] virtual RemoteNumber MenuItemCount(std::uint64_t menu) = 0;
    // The menu's item at index (from 0), its text up to maxUnits.
    [[nodiscard]] virtual RemoteMenuItem MenuItemAt(std::uint64_t menu, int index,
                                                    std::size_t maxUnits) = 0;
    // How many children the window's own accessible object claims: asks the window with
    // WM_GETOBJECT whether its program answers with an object of its own. Refused when it leaves
    // the answer to the system, whose object only repeats the window's text and child windows.
    // The answer may be kept a few seconds and given again.
    [[nodiscard]] virtual RemoteNumber AccessibleChildCount(WindowHandle window) = 0;
    // The answer AccessibleChildCount last gave for the window in this program, however long ago,
    // asking nothing; nothing when it was never asked.
    [[nodiscard]] virtual std::optional<RemoteNumber> KnownAccessibleChildCount(
        WindowHandle window) = 0;
    // The window's own accessible tree, its object the root; nothing, with end saying why, when the
    // window has none of its own (Refused) or did not give it.
    [[nodiscard]] virtual std::unique_ptr<AccessibleTree> OpenAccessibleTree(WindowHandle window,
                                                                             RemoteEnd& end) = 0;
};
