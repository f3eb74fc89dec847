// The items reader against controls that answer as real ones do, and against ones that lie,
// stop answering or go away part-way.
#include <gtest/gtest.h>

#include <map>

#include "core/Failure.h"
#include "fakes/FakeRemoteItems.h"
#include "items/ItemsReader.h"

namespace {

std::vector<std::vector<Text>> CellsOf(const ItemsTable& table) {
    std::vector<std::vector<Text>> cells(table.Rows());
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        for (std::size_t column = 0; column < table.Columns(); ++column) {
            cells[row].emplace_back(table.Cell(row, column));
        }
    }
    return cells;
}

std::vector<Text> Numbered(const Text& stem, std::size_t count) {
    std::vector<Text> texts;
    for (std::size_t item = 0; item < count; ++item) {
        texts.push_back(stem + DecimalText(static_cast<std::int64_t>(item)));
    }
    return texts;
}

TEST(ItemsKindOfClass, KnowsTheCommonControlsAndTheSuperclassesOfOldSoftware) {
    const std::pair<TextView, ItemsKind> known[] = {
        {u"ListBox", ItemsKind::ListBox},
        {u"ThunderRT6ListBox", ItemsKind::ListBox},
        {u"WindowsForms10.LISTBOX.app.0.2bf8098_r6_ad1", ItemsKind::ListBox},
        {u"ComboLBox", ItemsKind::ListBox},
        {u"ComboBox", ItemsKind::ComboBox},
        {u"TComboBox", ItemsKind::ComboBox},
        {u"ComboBoxEx32", ItemsKind::ComboBox},
        {u"SysListView32", ItemsKind::ListView},
        {u"ListView20WndClass", ItemsKind::ListView},
        {u"SysTreeView32", ItemsKind::TreeView},
        {u"TreeView20WndClass", ItemsKind::TreeView},
        {u"SysTabControl32", ItemsKind::Tab},
        {u"TabStrip20WndClass", ItemsKind::Tab},
        {u"SysHeader32", ItemsKind::Header},
        {u"msctls_statusbar32", ItemsKind::StatusBar},
        {u"StatusBar20WndClass", ItemsKind::StatusBar},
        {u"ToolbarWindow32", ItemsKind::Toolbar},
        {u"ConsoleWindowClass", ItemsKind::Console},
        {u"WineConsoleClass", ItemsKind::Console},
    };
    for (const auto& [className, kind] : known) {
        EXPECT_EQ(ItemsKindOfClass(className), kind) << TextToUtf8(className);
    }
    for (const TextView className : {u"Edit", u"Button", u"#32770", u"RichEdit20W", u""}) {
        EXPECT_EQ(ItemsKindOfClass(className), std::nullopt) << TextToUtf8(className);
    }
}

TEST(ReadItems, ListViewGivesEveryRowByEveryColumnWithItsCaptionsAcrossManyRounds) {
    FakeRemoteItems remote;
    std::vector<std::vector<Text>> rows;
    for (const Text& name : Numbered(u"row ", 5000)) {
        rows.push_back({name, name + u" b", u"", name + u" Καλημέρα 漢字 😀"});
    }
    const WindowHandle list = remote.AddListView({u"Name", u"B", u"Empty", u"Unicode"}, rows);
    const ItemsTable table = ReadItems(list, ItemsKind::ListView, remote);
    EXPECT_EQ(table.status, ItemsStatus::Read);
    ASSERT_EQ(table.Columns(), 4u);
    EXPECT_EQ(table.Caption(0), u"Name");
    EXPECT_EQ(table.Caption(3), u"Unicode");
    EXPECT_EQ(CellsOf(table), rows);
    EXPECT_EQ(CountItems(list, ItemsKind::ListView, remote), 5000);
}

TEST(ReadItems, ListViewColumnsOfZeroWidthAreReadWholeAndMarkedHidden) {
    struct Case {
        const char* what;
        std::map<std::size_t, int> widths;
        bool detailsView;
        std::vector<bool> hidden;
    };
    const Case cases[] = {
        {"every column shown", {}, true, {false, false, false, false}},
        {"two of four hidden", {{1, 0}, {3, 0}}, true, {false, true, false, true}},
        {"narrow is not hidden", {{0, 1}, {2, 0}}, true, {false, false, true, false}},
        {"another view hides none", {{1, 0}}, false, {false, false, false, false}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        FakeRemoteItems remote;
        const WindowHandle list =
            remote.AddListView({u"Name", u"Id", u"Size", u"Key"}, {{u"a", u"1", u"2", u"k"}});
        remote.At(list).columnWidths = test.widths;
        remote.At(list).detailsView = test.detailsView;
        const ItemsTable table = ReadItems(list, ItemsKind::ListView, remote);
        std::vector<bool> hidden;
        for (std::size_t column = 0; column < table.Columns(); ++column) {
            hidden.push_back(table.ColumnHidden(column));
        }
        EXPECT_EQ(hidden, test.hidden);
        EXPECT_EQ(ColumnHeading(table, 1), test.hidden[1] ? u"Id (hidden)" : u"Id");
        EXPECT_EQ(CellsOf(table), (std::vector<std::vector<Text>>{{u"a", u"1", u"2", u"k"}}));
        EXPECT_EQ(table.status, ItemsStatus::Read);
    }
}

TEST(ReadItems, ListViewWithoutHeaderHasOneUncaptionedColumn) {
    FakeRemoteItems remote;
    const WindowHandle list = remote.AddListView({}, {{u"icon one"}, {u"icon two"}});
    const ItemsTable table = ReadItems(list, ItemsKind::ListView, remote);
    ASSERT_EQ(table.Columns(), 1u);
    EXPECT_EQ(table.Caption(0), u"");
    EXPECT_EQ(CellsOf(table), (std::vector<std::vector<Text>>{{u"icon one"}, {u"icon two"}}));
}

TEST(ReadItems, TreeGivesEveryItemInPreOrderWithItsDepth) {
    FakeRemoteItems remote;
    FakeRemoteItems::Control tree;
    tree.kind = ItemsKind::TreeView;
    tree.roots = {{u"Computer",
                   {{u"HKEY_CLASSES_ROOT", {{u".txt", {}}, {u".zip", {}}}},
                    {u"HKEY_CURRENT_USER", {{u"Software", {{u"Wine", {}}}}}}}},
                  {u"Second root", {}}};
    const WindowHandle control = remote.Add(tree);
    const ItemsTable table = ReadItems(control, ItemsKind::TreeView, remote);
    EXPECT_EQ(table.status, ItemsStatus::Read);
    const std::vector<std::pair<Text, int>> expected = {
        {u"Computer", 0},          {u"HKEY_CLASSES_ROOT", 1}, {u".txt", 2}, {u".zip", 2},
        {u"HKEY_CURRENT_USER", 1}, {u"Software", 2},          {u"Wine", 3}, {u"Second root", 0}};
    ASSERT_EQ(table.Rows(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        EXPECT_EQ(table.Cell(row, 0), expected[row].first) << row;
        EXPECT_EQ(table.Depth(row), expected[row].second) << row;
    }
}

TEST(ReadItems, OneTextKindsGiveOneColumnOfTheirTexts) {
    for (const ItemsKind kind :
         {ItemsKind::ListBox, ItemsKind::ComboBox, ItemsKind::Tab, ItemsKind::Header,
          ItemsKind::StatusBar, ItemsKind::Toolbar, ItemsKind::Console}) {
        FakeRemoteItems remote;
        const std::vector<Text> texts = {u"Applications", u"", u"Ελληνικά", u"漢字 😀"};
        const ItemsTable table = ReadItems(remote.AddTexts(kind, texts), kind, remote);
        EXPECT_EQ(table.Kind(), kind);
        EXPECT_EQ(table.status, ItemsStatus::Read);
        ASSERT_EQ(table.Columns(), 1u);
        ASSERT_EQ(table.Rows(), texts.size());
        for (std::size_t row = 0; row < texts.size(); ++row) {
            EXPECT_EQ(table.Cell(row, 0), texts[row]);
        }
    }
}

TEST(ReadItems, OwnerDrawnListWithoutStringsGivesNoTextsNeverItsItemData) {
    FakeRemoteItems remote;
    FakeRemoteItems::Control list;
    list.kind = ItemsKind::ListBox;
    list.rows = {{u"\x1234\x5678"}, {u"\x9abc"}};
    list.keepsStrings = false;
    const ItemsTable table = ReadItems(remote.Add(list), ItemsKind::ListBox, remote);
    EXPECT_EQ(table.status, ItemsStatus::NoTexts);
    EXPECT_EQ(table.Rows(), 0u);
    EXPECT_EQ(table.claimed, 2);
}

TEST(ReadItems, AListWhoseEveryRowCameWithoutTextSaysSoAndKeepsItsRows) {
    using Rows = std::vector<std::vector<Text>>;
    const struct {
        ItemsKind kind;
        Rows rows;
        ItemsStatus status;
    } cases[] = {
        {ItemsKind::ListView, Rows(12, {u"", u""}), ItemsStatus::NoText},
        {ItemsKind::ListView, {{u"", u""}, {u"", u"x"}}, ItemsStatus::Read},
        {ItemsKind::ListView, {}, ItemsStatus::Read},
        {ItemsKind::ListBox, {{u""}, {u""}}, ItemsStatus::NoText},
        {ItemsKind::ComboBox, {{u""}}, ItemsStatus::NoText},
        // Picture buttons, icon tabs and empty parts are what these kinds rightly hold.
        {ItemsKind::Toolbar, {{u""}, {u""}}, ItemsStatus::Read},
        {ItemsKind::Tab, {{u""}}, ItemsStatus::Read},
        {ItemsKind::StatusBar, {{u""}}, ItemsStatus::Read},
    };
    for (const auto& [kind, rows, status] : cases) {
        SCOPED_TRACE(TextToUtf8(ItemsKindName(kind)) + " of " + std::to_string(rows.size()));
        FakeRemoteItems remote;
        FakeRemoteItems::Control control;
        control.kind = kind;
        control.rows = rows;
        control.columns = {u"A", u""};
        const ItemsTable table = ReadItems(remote.Add(control), kind, remote);
        EXPECT_EQ(table.status, status);
        EXPECT_EQ(CellsOf(table), rows);
    }
    // A read that stopped part-way says why instead.
    FakeRemoteItems remote;
    const WindowHandle stopping = remote.AddTexts(ItemsKind::ListBox, std::vector<Text>(9, u""));
    remote.At(stopping).answers = 3;
    EXPECT_EQ(ReadItems(stopping, ItemsKind::ListBox, remote).status, ItemsStatus::TimedOut);
}

TEST(ReadItems, ACountBeyondTheCapIsNotBelieved) {
    FakeRemoteItems remote;
    FakeRemoteItems::Control liar;
    liar.kind = ItemsKind::ListBox;
    liar.rows = {{u"a"}, {u"b"}, {u"c"}};
    liar.claimedCount = 0x7FFFFFFF;
    const WindowHandle control = remote.Add(liar);
    const ItemsTable table = ReadItems(control, ItemsKind::ListBox, remote);
    // The fourth item does not exist: the read ends there with what it has.
    EXPECT_EQ(table.status, ItemsStatus::Changed);
    EXPECT_EQ(CellsOf(table), (std::vector<std::vector<Text>>{{u"a"}, {u"b"}, {u"c"}}));
    EXPECT_LT(remote.messages, 10u);

    // A control that truly holds more than the cap gives the first ones and says so.
    const WindowHandle many = remote.AddTexts(ItemsKind::Tab, Numbered(u"tab ", 30));
    const ItemsTable capped = ReadItems(many, ItemsKind::Tab, remote, 10);
    EXPECT_EQ(capped.status, ItemsStatus::Capped);
    EXPECT_EQ(capped.claimed, 30);
    ASSERT_EQ(capped.Rows(), 10u);
    EXPECT_EQ(capped.Cell(9, 0), u"tab 9");

    // A console's lines come all at once: those beyond the cap are left out.
    const WindowHandle console = remote.AddTexts(ItemsKind::Console, Numbered(u"line ", 30));
    const ItemsTable lines = ReadItems(console, ItemsKind::Console, remote, 10);
    EXPECT_EQ(lines.status, ItemsStatus::Capped);
    EXPECT_EQ(lines.claimed, 30);
    EXPECT_EQ(lines.Rows(), 10u);
}

TEST(ReadItems, ATreeLargerThanTheCapEndsThere) {
    FakeRemoteItems remote;
    FakeRemoteItems::Control tree;
    tree.kind = ItemsKind::TreeView;
    for (const Text& text : Numbered(u"node ", 50)) {
        tree.roots.push_back({text, {{text + u" child", {}}}});
    }
    const ItemsTable table = ReadItems(remote.Add(tree), ItemsKind::TreeView, remote, 7);
    EXPECT_EQ(table.status, ItemsStatus::Capped);
    ASSERT_EQ(table.Rows(), 7u);
    EXPECT_EQ(table.Cell(6, 0), u"node 3");
}

TEST(ReadItems, AControlThatStopsAnsweringKeepsWhatWasReadAndSaysWhy) {
    const std::pair<RemoteEnd, ItemsStatus> ends[]{{RemoteEnd::TimedOut, ItemsStatus::TimedOut},
                                                   {RemoteEnd::Gone, ItemsStatus::Gone},
                                                   {RemoteEnd::Denied, ItemsStatus::Denied}};
    for (const auto& [failure, status] : ends) {
        FakeRemoteItems remote;
        // A console whose reading process did not end in time, or found no process to read it.
        const WindowHandle console = remote.AddTexts(ItemsKind::Console, {u"C:\\>"});
        remote.At(console).answers = 0;
        remote.At(console).failure = failure;
        EXPECT_EQ(ReadItems(console, ItemsKind::Console, remote).status, status);
        const WindowHandle list = remote.AddTexts(ItemsKind::ListBox, Numbered(u"item ", 100));
        remote.At(list).answers = 11;  // the count, then ten items
        remote.At(list).failure = failure;
        const ItemsTable table = ReadItems(list, ItemsKind::ListBox, remote);
        EXPECT_EQ(table.status, status);
        ASSERT_EQ(table.Rows(), 10u);
        EXPECT_EQ(table.Cell(9, 0), u"item 9");
    }
}

TEST(ReadItems, AListViewThatStopsPartWayShowsOnlyWholeRows) {
    FakeRemoteItems remote;
    std::vector<std::vector<Text>> rows;
    for (const Text& name : Numbered(u"r", 10)) {
        rows.push_back({name, name + u"c1", name + u"c2"});
    }
    const WindowHandle list = remote.AddListView({u"A", u"B", u"C"}, rows);
    // Captions and counts, the columns' widths, four rows, part of a fifth.
    remote.At(list).answers = 4 + 3 + 3 * 4 + 2;
    const ItemsTable table = ReadItems(list, ItemsKind::ListView, remote);
    EXPECT_EQ(table.status, ItemsStatus::TimedOut);
    EXPECT_EQ(CellsOf(table), std::vector(rows.begin(), rows.begin() + 4));
}

TEST(ReadItems, AControlGoneBeforeTheReadGivesNoRows) {
    FakeRemoteItems remote;
    const WindowHandle list = remote.AddTexts(ItemsKind::StatusBar, {u"Ready"});
    remote.Remove(list);
    EXPECT_EQ(ReadItems(list, ItemsKind::StatusBar, remote).status, ItemsStatus::Gone);
    EXPECT_EQ(CountItems(list, ItemsKind::StatusBar, remote), std::nullopt);
}

TEST(ReadItems, TextsLongerThanAReadTakesAreCutAndCounted) {
    FakeRemoteItems remote;
    const Text longText(kItemTextCap + 10, u'x');
    const WindowHandle list = remote.AddTexts(ItemsKind::Header, {u"short", longText});
    const ItemsTable table = ReadItems(list, ItemsKind::Header, remote);
    EXPECT_EQ(table.cutTexts, 1u);
    EXPECT_EQ(table.Cell(1, 0).size(), kItemTextCap);
}

TEST(ItemsTable, RowsKeepExactlyTheirColumnsAndRefuseCellsOutside) {
    ItemsTable table(ItemsKind::ListView, {u"A", u"B"});
    const std::vector<Text> shortRow = {u"only"};
    const std::vector<Text> longRow = {u"one", u"two", u"three"};
    table.AppendRow(shortRow);
    table.AppendRow(longRow, 2);
    EXPECT_EQ(CellsOf(table), (std::vector<std::vector<Text>>{{u"only", u""}, {u"one", u"two"}}));
    EXPECT_EQ(table.Depth(1), 2);
    EXPECT_THROW((void)table.Cell(2, 0), Failure);
    EXPECT_THROW((void)table.Cell(0, 2), Failure);
    EXPECT_EQ(ItemsTable(ItemsKind::Tab, {}).Columns(), 1u);
}

}  // namespace
