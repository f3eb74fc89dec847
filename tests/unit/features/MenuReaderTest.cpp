// A top-level window's menus read through the items port: the bar and its drop-down menus in the
// order a person meets them, each item's text and state, and the ways a read of them ends early.
#include <gtest/gtest.h>

#include <limits>

#include "fakes/FakeRemoteItems.h"
#include "items/ItemsReader.h"

namespace {

using Node = FakeRemoteItems::MenuNode;

Node Item(Text text, std::vector<Node> submenu = {}) {
    MenuItemFacts item;
    item.text = std::move(text);
    return {item, std::move(submenu)};
}

Node Separator() {
    Node node;
    node.item.separator = true;
    return node;
}

Node Stated(Text text, bool greyed, bool checked) {
    Node node = Item(std::move(text));
    node.item.greyed = greyed;
    node.item.checked = checked;
    return node;
}

// One row as the table holds it: depth, text, state.
struct MenuRow {
    int depth;
    Text text;
    Text state;
    bool operator==(const MenuRow&) const = default;
};

std::vector<MenuRow> RowsOf(const ItemsTable& table) {
    std::vector<MenuRow> rows;
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        rows.push_back({table.Depth(row), Text(table.Cell(row, 0)), Text(table.Cell(row, 1))});
    }
    return rows;
}

struct MenuReaderTest : ::testing::Test {
    FakeRemoteItems remote;
    WindowHandle window = 0;

    void SetUp() override {
        FakeRemoteItems::Control control;
        control.kind = ItemsKind::Menu;
        control.menuBar = {
            Item(u"&File", {Item(u"&Open...\tCtrl+O"), Separator(),
                            Item(u"Recent", {Item(u"a.txt"), Item(u"\u03A9.txt")}),
                            Stated(u"E&xit", true, false)}),
            Item(u"&View", {Stated(u"Status bar", false, true), Stated(u"Grid", true, true)}),
            Item(u"&Help")};
        window = remote.Add(control);
    }

    const std::vector<MenuRow> whole{{0, u"&File", u"submenu"},
                                     {1, u"&Open...\tCtrl+O", u""},
                                     {1, u"", u"separator"},
                                     {1, u"Recent", u"submenu"},
                                     {2, u"a.txt", u""},
                                     {2, u"\u03A9.txt", u""},
                                     {1, u"E&xit", u"greyed"},
                                     {0, u"&View", u"submenu"},
                                     {1, u"Status bar", u"checked"},
                                     {1, u"Grid", u"greyed, checked"},
                                     {0, u"&Help", u""}};
};

}  // namespace

TEST_F(MenuReaderTest, TheBarAndEveryDropDownMenuComeInOrderWithDepthsAndStates) {
    EXPECT_EQ(ItemsKindOfWindow(window, u"Notepad", remote), ItemsKind::Menu);
    EXPECT_EQ(CountItems(window, ItemsKind::Menu, remote), 3);
    const ItemsTable table = ReadItems(window, ItemsKind::Menu, remote);
    EXPECT_EQ(table.status, ItemsStatus::Read);
    EXPECT_EQ(RowsOf(table), whole);
}

TEST_F(MenuReaderTest, AWindowWithoutAMenuBarHasNoItemsAndItsClassStillDecides) {
    const WindowHandle plain = remote.AddTexts(ItemsKind::ListBox, {u"a"});
    EXPECT_EQ(ItemsKindOfWindow(plain, u"Button", remote), std::nullopt);
    EXPECT_EQ(ItemsKindOfWindow(plain, u"ListBox", remote), ItemsKind::ListBox);
    EXPECT_EQ(ItemsKindOfWindow(window, u"ComboBox", remote), ItemsKind::ComboBox);
    EXPECT_EQ(remote.messages, 0u);
}

TEST_F(MenuReaderTest, AReadThatEndsPartWayKeepsTheItemsReadAndSaysWhy) {
    // The system lets no other program read menus: the bar's own count is refused.
    for (const auto& [failure, status] : {std::pair{RemoteEnd::Refused, ItemsStatus::NotReadable},
                                          {RemoteEnd::Denied, ItemsStatus::Denied}}) {
        remote.At(window).answers = 0;
        remote.At(window).failure = failure;
        const ItemsTable table = ReadItems(window, ItemsKind::Menu, remote);
        EXPECT_EQ(table.status, status);
        EXPECT_EQ(table.Rows(), 0u);
    }
    remote.At(window).answers = std::numeric_limits<std::size_t>::max();
    std::vector<Node>& file = remote.At(window).menuBar[0].submenu;
    const struct {
        RemoteEnd* end;  // File's Recent or E&xit, or the menu Recent opens
        RemoteEnd failure;
        ItemsStatus status;
        std::size_t rows;
    } cases[]{{&file[2].end, RemoteEnd::Refused, ItemsStatus::Changed, 3},
              {&file[2].menuEnd, RemoteEnd::TimedOut, ItemsStatus::TimedOut, 4},
              {&file[3].end, RemoteEnd::Gone, ItemsStatus::Gone, 6},
              {nullptr, RemoteEnd::Gone, ItemsStatus::Read, 11}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.rows);
        if (test.end != nullptr) {
            *test.end = test.failure;
        }
        const ItemsTable table = ReadItems(window, ItemsKind::Menu, remote);
        EXPECT_EQ(table.status, test.status);
        EXPECT_EQ(RowsOf(table), std::vector(whole.begin(), whole.begin() + test.rows));
        if (test.end != nullptr) {
            *test.end = RemoteEnd::Answered;
        }
    }
}

TEST_F(MenuReaderTest, AMenuLargerThanTheCapEndsThereAndTextsKeep65536Characters) {
    const ItemsTable capped = ReadItems(window, ItemsKind::Menu, remote, 4);
    EXPECT_EQ(capped.status, ItemsStatus::Capped);
    EXPECT_EQ(RowsOf(capped), std::vector(whole.begin(), whole.begin() + 4));

    remote.At(window).menuBar = {Item(Text(65536, u'w')), Item(Text(70000, u'm'))};
    const ItemsTable cut = ReadItems(window, ItemsKind::Menu, remote);
    EXPECT_EQ(cut.cutTexts, 1u);
    EXPECT_EQ(cut.Cell(0, 0), Text(65536, u'w'));
    EXPECT_EQ(cut.Cell(1, 0), Text(65536, u'm'));
}
