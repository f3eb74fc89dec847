// The clipboard copy, "Clear Results" and the text file commands.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "export/ClipboardCopy.h"
#include "export/TextFileBytes.h"
#include "fakes/FormHarness.h"

namespace {

struct OutputTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();

    void SetUp() override { form.Load(); }

    void AddRow(Text className, Text handle, Text text, bool ticked) {
        const std::size_t row = results.AppendRow(std::move(className));
        results.SetCell(row, 1, std::move(handle));
        results.SetCell(row, 2, std::move(text));
        results.SetChecked(row, ticked);
    }
};

const Text kConfirmation =
    u"Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    u"and press Ctrl+V to paste the clipboard.";

}  // namespace

TEST_F(OutputTest, NoTickedRowsLeaveTheClipboardAloneAndSayHowToTickThem) {
    AddRow(u"Button", u"1", u"OK", false);
    AddRow(u"Edit", u"2", u"text", false);
    clipboard.content = u"old";
    form.CopyResultsToClipboard();
    EXPECT_EQ(clipboard.content, u"old");
    EXPECT_EQ(clipboard.attempts, 0);
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"No results rows are ticked, so nothing has been copied to the clipboard.\r\rTick "
              u"the rows to copy by clicking their tick boxes, by selecting rows and pressing the "
              u"space bar, or with Edit > Tick All, then click \"Copy Results To Clipboard\" "
              u"again.");
    EXPECT_EQ(dialogs.information[0].second, u"Tessivane Window Text Reader");
    EXPECT_TRUE(dialogs.errorReports.empty());

    // With the last row ticked, everything is as always.
    results.SetChecked(2, true);
    form.CopyResultsToClipboard();
    EXPECT_EQ(clipboard.content, u"Edit  \t2\ttext\r\n");
    ASSERT_EQ(dialogs.information.size(), 2u);
    EXPECT_EQ(dialogs.information[1].first, kConfirmation);
}

TEST_F(OutputTest, EmptyListLeavesTheClipboardAloneAndConfirms) {
    clipboard.content = u"old";
    form.CopyResultsToClipboard();
    EXPECT_EQ(clipboard.content, u"old");
    EXPECT_EQ(clipboard.attempts, 0);
    EXPECT_EQ(dialogs.information.size(), 1u);
}

TEST_F(OutputTest, BusyClipboardIsWaitedOutThenReportedWhenItStaysBusy) {
    AddRow(u"Button", u"1", u"\u03A9 OK", true);
    clipboard.busyAttempts = 700;
    form.CopyResultsToClipboard();
    EXPECT_EQ(clipboard.content, u"Button\t1\t\u03A9 OK\r\n");
    EXPECT_EQ(clipboard.format, 0u);
    EXPECT_EQ(clipboard.waits, 700);
    EXPECT_EQ(dialogs.information.size(), 1u);

    FakeClipboard held;
    held.busyAttempts = 1'000'000;
    EXPECT_FALSE(SetClipboardText(held, u"x", 0));
    EXPECT_EQ(held.attempts, kClipboardAttempts);
    EXPECT_EQ(held.waits, kClipboardAttempts - 1);

    clipboard = FakeClipboard();
    clipboard.busyAttempts = 1'000'000;
    form.CopyResultsToClipboard();
    EXPECT_EQ(dialogs.information.size(), 1u);  // no second confirmation
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_NE(dialogs.errorReports[0].find(u"The clipboard is in use by another program."),
              Text::npos);
    EXPECT_NE(dialogs.errorReports[0].find(u"PushButton4_Click at line 106\r\r"), Text::npos);
}

TEST_F(OutputTest, ClearResultsDuringTheCopyWaitsAndTheCopyCompletes) {
    AddRow(u"Button", u"1", u"OK", true);
    AddRow(u"Edit", u"2", u"text", true);
    pump.actAt = 3;  // the user clicks "Clear Results" while the widths are measured
    pump.action = [&] { form.ClearResults(); };
    form.CopyResultsToClipboard();
    EXPECT_EQ(results.RowCount(), 2u);
    EXPECT_EQ(clipboard.content, u"Button\t1\tOK\r\nEdit  \t2\ttext\r\n");
    EXPECT_EQ(dialogs.information.size(), 1u);
    EXPECT_TRUE(dialogs.errorReports.empty());
    // The buttons of the other commands were disabled during the copy, and nothing stops it.
    EXPECT_EQ(window.busyHistory,
              (std::vector<std::pair<bool, bool>>{{true, false}, {false, false}}));
}

TEST_F(OutputTest, ClearResultsEmptiesOnlyTheResults) {
    windowList.AppendRow(u"Window");
    AddRow(u"Button", u"1", u"OK", true);
    form.ClearResults();
    form.ClearResults();
    EXPECT_EQ(results.RowCount(), 0u);
    EXPECT_EQ(windowList.RowCount(), 1u);
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(OutputTest, TextFileHoldsEveryRowTabbedInAnsi) {
    AddRow(u"Edit", u"56", u"", false);
    AddRow(u"Static", u"-7", u"\u00E9 a\tb\r\nc", true);
    dialogs.chosenPath = u"C:\\out.txt";
    form.SaveResultsAsTextFile();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const SaveDialogRequest& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.fileName, u"");
    // Read-only box ticked, Explorer style, long names: one path, never several.
    EXPECT_EQ(request.flags, 0x280001u);
    EXPECT_EQ(request.title, u"Save");
    EXPECT_EQ(request.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    EXPECT_EQ(saveFiles.files.at(u"C:\\out.txt"),
              "Edit\t56\t\t\r\nStatic\t-7\t\xE9 a\tb\r\nc\t\r\n");
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(dialogs.information.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(OutputTest, EmptyListGivesAnEmptyFileAndCancelWritesNothing) {
    dialogs.chosenPath = u"C:\\empty.txt";
    form.SaveResultsAsTextFile();
    EXPECT_EQ(saveFiles.files.at(u"C:\\empty.txt"), "");
    dialogs.chosenPath = u"";
    form.SaveResultsAsTextFile();
    EXPECT_EQ(saveFiles.files.size(), 1u);
}

TEST_F(OutputTest, ExistingFileIsOverwrittenOnlyAfterYes) {
    AddRow(u"Edit", u"1", u"new", true);
    dialogs.chosenPath = u"C:\\kept.txt";
    files.existing.insert(u"C:\\kept.txt");
    saveFiles.files[u"C:\\kept.txt"] = "old";
    dialogs.answers = {false, true};
    form.SaveResultsAsTextFile();
    EXPECT_EQ(saveFiles.files.at(u"C:\\kept.txt"), "old");
    form.SaveResultsAsTextFile();
    EXPECT_EQ(saveFiles.files.at(u"C:\\kept.txt"), "Edit\t1\tnew\t\r\n");
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(dialogs.questions[0].first, u"Are you sure you wish to overwrite C:\\kept.txt ?");
    EXPECT_EQ(dialogs.questions[0].second, u"Tessivane Window Text Reader");
}

TEST_F(OutputTest, UnwritableFileIsReportedOnceAndKeptIntact) {
    for (int row = 0; row < 50; ++row) {
        AddRow(u"Edit", DecimalText(row), u"text", false);
    }
    dialogs.chosenPath = u"C:\\locked.txt";
    files.existing.insert(u"C:\\locked.txt");
    saveFiles.files[u"C:\\locked.txt"] = "old";
    saveFiles.readOnly.insert(u"C:\\locked.txt");
    dialogs.answers = {true, true};
    form.SaveResultsAsTextFile();
    saveFiles.readOnly.clear();
    saveFiles.failWrites = true;
    form.SaveResultsAsTextFile();
    EXPECT_EQ(saveFiles.files.at(u"C:\\locked.txt"), "old");
    ASSERT_EQ(dialogs.errorReports.size(), 2u);
    EXPECT_NE(dialogs.errorReports[0].find(u"PushButton6_Click at line 128\r\r"), Text::npos);
    EXPECT_NE(dialogs.errorReports[1].find(u"PushButton6_Click at line 144\r\r"), Text::npos);
}

TEST_F(OutputTest, TextFileKeepsMoreThan32767Rows) {
    for (int row = 0; row < 40000; ++row) {
        results.AppendRow(u"C");
    }
    EXPECT_EQ(TextFileBytes(results, saveFiles).size(), 40000u * 6u);  // "C\t\t\t\r\n"
}

TEST_F(OutputTest, TextFileBytesTakeConversionsThatGrowAndShrinkTheText) {
    saveFiles.doubleByte = true;
    AddRow(u"Static", u"1", u"\u6F22\u5B57", false);  // two characters, four bytes
    AddRow(u"Edit", u"2", u"a\U0001D11Eb", false);    // four units, three bytes
    EXPECT_EQ(TextFileBytes(results, saveFiles),
              "Static\t1\t\xB7\x22\xAD\x57\t\r\nEdit\t2\ta?b\t\r\n");

    // Many rows of each kind, in turns, against the cells converted one by one.
    const Text texts[] = {u"plain text", u"\u3042\u3044\u3046 kana", u"\U0001D11E\U0001D11E", u"",
                          u"\u00E9t\u00E9"};
    std::string expected = "Static\t1\t\xB7\x22\xAD\x57\t\r\nEdit\t2\ta?b\t\r\n";
    for (int row = 0; row < 5000; ++row) {
        const Text& text = texts[row % 5];
        const Text className = row % 7 == 0 ? u"\u30DC\u30BF\u30F3" : u"Button";
        AddRow(className, DecimalText(row), text, false);
        expected += saveFiles.Ansi(className) + "\t" + TextToUtf8(DecimalText(row)) + "\t" +
                    saveFiles.Ansi(text) + "\t\r\n";
    }
    EXPECT_EQ(TextFileBytes(results, saveFiles), expected);
}

TEST_F(OutputTest, AFolderFromTheSaveDialogIsNeitherAskedAboutNorWritten) {
    AddRow(u"Edit", u"1", u"text", true);
    dialogs.chosenPath = u"C:\\Results";
    files.folders.insert(u"C:\\Results");
    form.SaveResultsAsTextFile();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(saveFiles.files.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
    ASSERT_EQ(dialogs.information.size(), 1u);
    EXPECT_EQ(dialogs.information[0].first,
              u"\"C:\\Results\" is a folder, so the results cannot be saved in its place. Click "
              u"\"Save Results As Text File\" again and type the name of one file.");
}
