// The items window's behaviour: which results rows open it, its title and notes after each kind
// of read, and its Copy, Save As and Refresh commands.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "fakes/FakeRemoteItems.h"
#include "fakes/FakeServices.h"
#include "gui/ItemsForm.h"
#include "items/ItemsReader.h"

namespace {

std::vector<Text> RowOf(TextView className, WindowHandle handle) {
    return {Text(className), DecimalText(handle), u"text"};
}

struct ItemsFormTest : ::testing::Test {
    FakeRemoteItems remote;
    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    FakeSaveFiles saveFiles;
    FakeSettings settings;
    std::atomic<int> readsEnded{0};

    [[nodiscard]] std::unique_ptr<ItemsForm> FormOf(WindowHandle control,
                                                    TextView className = u"SysListView32") {
        const std::optional<ItemsSource> source =
            ItemsSourceOfRow(RowOf(className, control), remote);
        if (!source) {
            throw std::logic_error("the control has no items");
        }
        return std::make_unique<ItemsForm>(
            *source, ItemsFormServices{remote, clipboard, dialogs, saveFiles, settings},
            [this] { ++readsEnded; });
    }

    // A form that has read its control once.
    [[nodiscard]] std::unique_ptr<ItemsForm> ReadFormOf(WindowHandle control,
                                                        TextView className = u"SysListView32") {
        auto form = FormOf(control, className);
        form->Refresh();
        form->TakeRead();
        return form;
    }

    [[nodiscard]] WindowHandle Files() {
        return remote.AddListView(
            {u"Name", u"Size"},
            {{u"a.txt", u"1 KB"}, {u"b, c.txt", u"2 KB"}, {u"\u03A9.txt", u""}});
    }
};

}  // namespace

TEST_F(ItemsFormTest, RowsWhoseControlsAnswerTheirCountOpenTheirItems) {
    const WindowHandle list = Files();
    const std::optional<ItemsSource> source =
        ItemsSourceOfRow(RowOf(u"SysListView32", list), remote);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->control, list);
    EXPECT_EQ(source->className, u"SysListView32");
    EXPECT_EQ(source->kind, ItemsKind::ListView);
    EXPECT_EQ(source->count, 3);
    // An empty list opens too: Refresh may find items later.
    const WindowHandle empty = remote.AddTexts(ItemsKind::ListBox, {});
    EXPECT_TRUE(ItemsSourceOfRow(RowOf(u"ListBox", empty), remote));
}

TEST_F(ItemsFormTest, RowsWithoutItemsOpenNothing) {
    const WindowHandle list = Files();
    // A class without items costs no message, to mark the row or to open it.
    EXPECT_TRUE(RowMayHaveItems(RowOf(u"SysListView32", list), remote));
    EXPECT_FALSE(RowMayHaveItems(RowOf(u"Button", list), remote));
    EXPECT_FALSE(RowMayHaveItems({}, remote));
    EXPECT_FALSE(ItemsSourceOfRow(RowOf(u"Button", list), remote));
    EXPECT_EQ(remote.messages, 0u);
    // A handle that is no number, a short row, a control that went away or stopped answering.
    EXPECT_FALSE(ItemsSourceOfRow(std::vector<Text>{u"SysListView32", u"12x", u""}, remote));
    EXPECT_FALSE(ItemsSourceOfRow(std::vector<Text>{u"SysListView32"}, remote));
    const WindowHandle gone = remote.AddTexts(ItemsKind::ListBox, {u"a"});
    remote.Remove(gone);
    EXPECT_FALSE(ItemsSourceOfRow(RowOf(u"ListBox", gone), remote));
    remote.At(list).answers = 0;
    EXPECT_FALSE(ItemsSourceOfRow(RowOf(u"SysListView32", list), remote));
}

// A self-drawn window's row is marked by the walk's answer, never by a message of its own; opening
// it asks again.
TEST_F(ItemsFormTest, ASelfDrawnWindowsRowIsMarkedByTheWalksAnswer) {
    FakeRemoteItems::Control panel;
    panel.accessible.resize(2);
    panel.accessible[0].children = {{2, true}};
    const WindowHandle window = remote.Add(panel);
    const std::vector<Text> row = RowOf(u"Chrome_RenderWidgetHostHWND", window);
    EXPECT_FALSE(RowMayHaveItems(row, remote));
    EXPECT_EQ(remote.messages, 0u);
    static_cast<void>(remote.AccessibleChildCount(window));
    EXPECT_TRUE(RowMayHaveItems(row, remote));
    const std::optional<ItemsSource> source = ItemsSourceOfRow(row, remote);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->kind, ItemsKind::Accessible);
    EXPECT_EQ(source->count, 1);
}

TEST_F(ItemsFormTest, AProgramWithHigherRightsOpensToSayWhyNothingCanBeRead) {
    const WindowHandle list = remote.AddTexts(ItemsKind::ListBox, {u"a"});
    remote.At(list).answers = 0;
    remote.At(list).failure = RemoteEnd::Denied;
    const std::optional<ItemsSource> source = ItemsSourceOfRow(RowOf(u"ListBox", list), remote);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->unreadable, ItemsStatus::Denied);
    EXPECT_EQ(ItemsTip(*source),
              u"List box: its program runs with higher rights: run the tool as administrator to "
              u"read its items.");
    const auto form = ReadFormOf(list, u"ListBox");
    EXPECT_EQ(form->Table().status, ItemsStatus::Denied);
    EXPECT_EQ(form->ReadNote(),
              u"0 items. The control belongs to a program running with higher rights: run the "
              u"tool as administrator to read its items.");
}

TEST_F(ItemsFormTest, TheTipOfAListThatDrawsItsItemsItselfCountsThem) {
    FakeRemoteItems::Control drawn;
    drawn.kind = ItemsKind::ComboBox;
    drawn.rows = {{u"a"}, {u"b"}, {u"c"}};
    drawn.keepsStrings = false;
    const std::optional<ItemsSource> source =
        ItemsSourceOfRow(RowOf(u"ComboBox", remote.Add(drawn)), remote);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->unreadable, ItemsStatus::NoTexts);
    EXPECT_EQ(ItemsTip(*source),
              u"Combo box: 3 items, drawn by the control itself with no texts to read.");
}

TEST_F(ItemsFormTest, TipSaysWhatTheControlHoldsAndHowToOpenIt) {
    EXPECT_EQ(ItemsTip({1, u"SysListView32", ItemsKind::ListView, 25, {}}),
              u"List view: 25 items. Press Enter or double-click to open them.");
    EXPECT_EQ(ItemsTip({1, u"ListBox", ItemsKind::ListBox, 1, {}}),
              u"List box: 1 item. Press Enter or double-click to open it.");
    EXPECT_EQ(ItemsTip({1, u"ComboBox", ItemsKind::ComboBox, 0, {}}),
              u"Combo box: no items. Press Enter or double-click to open it.");
}

TEST_F(ItemsFormTest, ReadRunsBesideTheWindowAndShowsInTheTitleAndNote) {
    const WindowHandle list = Files();
    const auto form = FormOf(list);
    const Text stem = u"Items of SysListView32 " + DecimalText(list) + u" \u2014 ";
    EXPECT_EQ(form->Title(), stem + u"not read");
    form->Refresh();
    EXPECT_TRUE(form->Reading());
    EXPECT_EQ(form->Title(), stem + u"reading");
    EXPECT_EQ(form->ReadNote(), u"Reading the items\u2026");
    EXPECT_EQ(form->Table().Rows(), 0u);
    form->Refresh();  // a read is running: no second one
    form->TakeRead();
    EXPECT_FALSE(form->Reading());
    EXPECT_EQ(readsEnded, 1);
    EXPECT_EQ(form->Title(), stem + u"3 items");
    EXPECT_EQ(form->ReadNote(), u"3 items.");
    EXPECT_EQ(form->Table().Cell(2, 0), u"\u03A9.txt");
    EXPECT_EQ(form->Table().Caption(1), u"Size");

    // Refresh reads the control as it is now.
    remote.At(list).rows.resize(1);
    form->Refresh();
    form->TakeRead();
    EXPECT_EQ(readsEnded, 2);
    EXPECT_EQ(form->Title(), stem + u"1 item");
    EXPECT_EQ(form->Table().Rows(), 1u);
}

TEST_F(ItemsFormTest, StoppedReadEndsAtItsNextMessageAndTheNextReadGoesOn) {
    std::vector<Text> texts;
    for (int item = 0; item < 5000; ++item) {
        texts.push_back(DecimalText(item));
    }
    const WindowHandle list = remote.AddTexts(ItemsKind::ListBox, texts);
    const auto form = FormOf(list, u"ListBox");
    const std::size_t probe = remote.messages;
    // The window closes as the tenth item is read: the round of items asked for is the last.
    remote.onMessage = [&] {
        if (remote.messages == probe + 11) {
            form->StopReading();
        }
    };
    form->Refresh();
    form->TakeRead();
    const std::size_t read = form->Table().Rows();
    EXPECT_GE(read, 10u);
    EXPECT_LT(read, texts.size());
    EXPECT_EQ(form->Table().status, ItemsStatus::Gone);
    EXPECT_EQ(remote.messages, probe + 1 + read);
    remote.onMessage = nullptr;
    form->Refresh();
    form->TakeRead();
    EXPECT_EQ(form->Table().Rows(), 5000u);
}

TEST_F(ItemsFormTest, ReadThatEndsEarlySaysSoInTheTitleAndNote) {
    const WindowHandle list = remote.AddTexts(ItemsKind::ListBox, {u"a", u"b", u"c", u"d"});
    const auto form = FormOf(list, u"ListBox");
    remote.At(list).answers = 3;  // the count, then two items
    form->Refresh();
    form->TakeRead();
    EXPECT_EQ(form->Title(),
              u"Items of ListBox " + DecimalText(list) + u" \u2014 2 items, timed out");
    EXPECT_EQ(form->ReadNote(),
              u"2 items. The control stopped answering: the items after these are missing.");

    remote.At(list).answers = 2;
    remote.At(list).failure = RemoteEnd::Gone;
    form->Refresh();
    form->TakeRead();
    EXPECT_EQ(form->ReadNote(),
              u"1 item. The control has closed: the items after these are missing.");

    remote.At(list).answers = std::numeric_limits<std::size_t>::max();
    remote.At(list).claimedCount = 6;  // two items vanish while they are read
    form->Refresh();
    form->TakeRead();
    EXPECT_EQ(form->ReadNote(),
              u"4 items. The items changed while they were read: Refresh reads them again.");
}

TEST_F(ItemsFormTest, AListWithoutAnyTextSaysTheProgramMayDrawItsRows) {
    const WindowHandle list = remote.AddListView(
        {u"", u""}, std::vector<std::vector<Text>>(12, std::vector<Text>{u"", u""}));
    const auto form = ReadFormOf(list, u"SysListView32");
    EXPECT_EQ(form->Table().Rows(), 12u);
    EXPECT_NE(form->Title().find(u"12 items, " + ItemsStatusText(ItemsStatus::NoText)), Text::npos);
    EXPECT_EQ(form->ReadNote(),
              u"12 items. The program gave no text for its 12 rows: it may draw them itself.");
}

TEST_F(ItemsFormTest, OwnerDrawnListsCappedReadsAndCutTextsAreExplained) {
    FakeRemoteItems::Control drawn;
    drawn.rows = {{u"a"}, {u"b"}};
    drawn.keepsStrings = false;
    const auto owner = ReadFormOf(remote.Add(drawn), u"ListBox");
    EXPECT_NE(owner->Title().find(u"0 items, " + ItemsStatusText(ItemsStatus::NoTexts)),
              Text::npos);
    EXPECT_EQ(owner->ReadNote(),
              u"0 items. The control draws its items itself and keeps no texts to read (it has 2 "
              u"items).");

    const WindowHandle huge =
        remote.AddTexts(ItemsKind::ListBox, std::vector<Text>(kItemsCap, u"x"));
    remote.At(huge).claimedCount = 300000;
    const auto capped = ReadFormOf(huge, u"ListBox");
    EXPECT_EQ(capped->Table().Rows(), kItemsCap);
    EXPECT_EQ(capped->ReadNote(),
              u"200000 items. The control claims 300000 items; a read takes the "
              u"first 200000.");

    const Text longText(kItemTextCap + 1, u'w');
    const auto cut = ReadFormOf(remote.AddTexts(ItemsKind::StatusBar, {longText, u"Ready"}),
                                u"msctls_statusbar32");
    EXPECT_EQ(cut->Title().substr(cut->Title().size() - 7), u"2 items");
    EXPECT_EQ(cut->ReadNote(),
              u"2 items. 1 text was longer than 65536 characters: it is cut there.");
}

TEST_F(ItemsFormTest, CopyPutsTheSelectedRowsOrAllUnderTheCaptionsTabSeparated) {
    const auto form = ReadFormOf(Files());
    EXPECT_EQ(form->CommandNote(), u"");
    const std::vector<std::size_t> selected{2, 0};
    form->Copy(selected);
    EXPECT_EQ(clipboard.content, u"Name\tSize\r\n\u03A9.txt\t\r\na.txt\t1 KB\r\n");
    EXPECT_EQ(clipboard.format, 0u);
    EXPECT_EQ(form->CommandNote(), u"2 rows copied to the clipboard.");
    form->Copy({});
    EXPECT_EQ(clipboard.content,
              u"Name\tSize\r\na.txt\t1 KB\r\nb, c.txt\t2 KB\r\n\u03A9.txt\t\r\n");
    EXPECT_EQ(form->CommandNote(), u"3 rows copied to the clipboard.");
    EXPECT_TRUE(dialogs.errorReports.empty());
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(ItemsFormTest, TreeIsCopiedWithItsDepths) {
    FakeRemoteItems::Control tree;
    tree.kind = ItemsKind::TreeView;
    tree.roots = {{u"HKEY_CURRENT_USER", {{u"Software", {{u"Wine", {}}}}}}, {u"HKEY_USERS", {}}};
    const auto form = ReadFormOf(remote.Add(tree), u"SysTreeView32");
    form->Copy({});
    EXPECT_EQ(clipboard.content,
              u"Depth\t\r\n0\tHKEY_CURRENT_USER\r\n1\tSoftware\r\n2\tWine\r\n0\tHKEY_USERS\r\n");
}

TEST_F(ItemsFormTest, BusyClipboardIsReportedInOneBox) {
    const auto form = ReadFormOf(Files());
    form->Copy({});
    clipboard.busyAttempts = clipboard.attempts + 1'000'000;
    clipboard.content = u"kept";
    form->Copy({});
    EXPECT_EQ(clipboard.content, u"kept");
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(dialogs.errorReports[0].find(u"The clipboard is in use by another program."),
              Text::npos);
    EXPECT_EQ(form->CommandNote(), u"");
}

TEST_F(ItemsFormTest, SaveAsOffersCsvAndTabTextAndWritesUtf8WithItsMark) {
    const WindowHandle list = Files();
    const auto form = ReadFormOf(list);
    dialogs.chosenPath = u"C:\\out\\files.CSV";
    form->SaveAs();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const SaveDialogRequest& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.fileName, u"Items of List view " + DecimalText(list));
    EXPECT_EQ(request.title, u"Save Items As");
    EXPECT_EQ(request.filter,
              u"CSV (UTF-8) (*.csv)|*.csv|Tab-separated text (UTF-8) (*.txt)|*.txt|");
    EXPECT_EQ(request.defaultExtension, u"csv");
    EXPECT_EQ(request.flags, 0x288806u);
    EXPECT_EQ(saveFiles.files.at(u"C:\\out\\files.CSV"),
              "\xEF\xBB\xBFName,Size\r\na.txt,1 KB\r\n\"b, c.txt\",2 KB\r\n\xCE\xA9.txt,\r\n");
    EXPECT_EQ(form->CommandNote(), u"3 rows saved as C:\\out\\files.CSV.");

    dialogs.chosenPath = u"C:\\out\\files.txt";
    form->SaveAs();
    EXPECT_EQ(saveFiles.files.at(u"C:\\out\\files.txt"),
              "\xEF\xBB\xBFName\tSize\r\na.txt\t1 KB\r\nb, c.txt\t2 KB\r\n\xCE\xA9.txt\t\r\n");

    dialogs.chosenPath = u"";
    form->SaveAs();
    EXPECT_EQ(saveFiles.files.size(), 2u);
    EXPECT_EQ(form->CommandNote(), u"");
    EXPECT_TRUE(dialogs.errorReports.empty());
    // Each dialog after the first opens in the folder of the save before it.
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.saveRequests[0].initialFolder, u"");
    EXPECT_EQ(dialogs.saveRequests[2].initialFolder, u"C:\\out");
}

TEST_F(ItemsFormTest, FailedSaveIsReportedInOneBoxAndLeavesTheFileAsItWas) {
    const auto form = ReadFormOf(Files());
    dialogs.chosenPath = u"C:\\locked.csv";
    saveFiles.files[u"C:\\locked.csv"] = "old";
    saveFiles.readOnly.insert(u"C:\\locked.csv");
    form->SaveAs();
    saveFiles.readOnly.clear();
    saveFiles.failWrites = true;
    form->SaveAs();
    EXPECT_EQ(saveFiles.files.at(u"C:\\locked.csv"), "old");
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_EQ(dialogs.errorReports[0], u"The file C:\\locked.csv is read-only.");
    EXPECT_EQ(dialogs.errorReports[1], u"The disk is full.");
    EXPECT_EQ(form->CommandNote(), u"");
}
