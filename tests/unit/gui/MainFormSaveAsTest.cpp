// "Save Results As...": every results row as UTF-8 CSV or tab-separated text, by the extension of
// the chosen file; the button's ANSI text file is another command.
#include <gtest/gtest.h>

#include "core/Delimited.h"
#include "export/TextFileBytes.h"
#include "export/UnicodeResultsFile.h"
#include "fakes/FormHarness.h"

namespace {

struct SaveAsTest : ::testing::Test, FormHarness {
    MainForm form = MakeForm();

    void SetUp() override {
        form.Load();
        AddResultRow(u"Button", u"1001", u"OK", true);
        AddResultRow(u"Static", u"1002", u"Say \"hi\", then go", false);
        AddResultRow(u"Edit", u"1003", u"Ελληνικά 漢字 \U0001D11E\r\nline two", false);
    }
};

}  // namespace

TEST_F(SaveAsTest, CsvHasTheCaptionsThenEveryRowQuotedAsRfc4180InUtf8WithItsMark) {
    dialogs.chosenPath = u"C:\\out\\results.CSV";
    form.SaveResultsAs();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, kUnicodeResultsFileTypes);
    EXPECT_EQ(dialogs.saveRequests[0].defaultExtension, u"csv");
    const std::string expected =
        "\xEF\xBB\xBF"
        "Class Name,Handle,Text\r\n"
        "Button,1001,OK\r\n"
        "Static,1002,\"Say \"\"hi\"\", then go\"\r\n"
        "Edit,1003,\"\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC "
        "\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9D\x84\x9E\r\nline two\"\r\n";
    EXPECT_EQ(saveFiles.files[u"C:\\out\\results.CSV"], expected);
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(SaveAsTest, TabSeparatedTextHasOneLineARowWithItsCellsEscapedInUtf8WithItsMark) {
    AddResultRow(u"Edit", u"1004", u"tab\there C:\\x", false);
    dialogs.chosenPath = u"C:\\out\\results.txt";
    form.SaveResultsAs();
    const std::string expected =
        "\xEF\xBB\xBF"
        "Button\t1001\tOK\t\r\n"
        "Static\t1002\tSay \"hi\", then go\t\r\n"
        "Edit\t1003\t\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC "
        "\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9D\x84\x9E\\r\\nline two\t\r\n"
        "Edit\t1004\ttab\\there C:\\\\x\t\r\n";
    EXPECT_EQ(saveFiles.files[u"C:\\out\\results.txt"], expected);
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(SaveAsTest, CharactersNoEncodingHoldsAreWrittenAsReplacementsAndNoted) {
    AddResultRow(u"Edit", Text(1, char16_t(0xDC00)), Text{u'a', char16_t(0xD800)}, false);
    for (const TextView path : {u"C:\\out\\lone.csv", u"C:\\out\\lone.txt"}) {
        dialogs = RecordingDialogs();
        dialogs.chosenPath = Text(path);
        form.SaveResultsAs();
        EXPECT_TRUE(saveFiles.files.at(Text(path))
                        .ends_with("\xEF\xBF\xBD" +
                                   std::string(path.ends_with(u"csv") ? ",a" : "\ta") +
                                   "\xEF\xBF\xBD" +
                                   std::string(path.ends_with(u"csv") ? "" : "\t") + "\r\n"));
        ASSERT_EQ(dialogs.information.size(), 1u);
        EXPECT_EQ(dialogs.information[0].first,
                  u"The results have been saved. 2 characters of the results cannot be held by "
                  u"any encoding (halves of UTF-16 pairs without their other halves): they are "
                  u"written as U+FFFD (\uFFFD).");
    }
}

TEST_F(SaveAsTest, CancelWritesNothingAndAFailedSaveSaysWhyAndKeepsTheFile) {
    form.SaveResultsAs();  // no path chosen
    EXPECT_TRUE(saveFiles.files.empty());
    dialogs.chosenPath = u"C:\\out\\locked.csv";
    saveFiles.readOnly.insert(u"C:\\out\\locked.csv");
    form.SaveResultsAs();
    dialogs.chosenPath = u"C:\\out\\full.csv";
    saveFiles.failWrites = true;
    form.SaveResultsAs();
    EXPECT_TRUE(saveFiles.files.empty());
    ASSERT_EQ(dialogs.information.size(), 2u);
    EXPECT_EQ(dialogs.information[0].first,
              u"The results could not be saved: The file C:\\out\\locked.csv is read-only.");
    EXPECT_EQ(dialogs.information[1].first, u"The results could not be saved: The disk is full.");
}

TEST(CsvExtensionTest, AnyCaseOfDotCsvAtTheEnd) {
    EXPECT_TRUE(HasCsvExtension(u"a.csv"));
    EXPECT_TRUE(HasCsvExtension(u"C:\\x\\B.CsV"));
    EXPECT_FALSE(HasCsvExtension(u"csv"));
    EXPECT_FALSE(HasCsvExtension(u"a.csv.txt"));
    EXPECT_FALSE(HasCsvExtension(u"a_csv"));
}

namespace {

// The text file button's save of rows that its ANSI code page cannot all hold.
struct LossyTextFileTest : SaveAsTest {
    static constexpr TextView kPath = u"C:\\out\\lossy.txt";

    void SetUp() override {
        SaveAsTest::SetUp();
        dialogs.chosenPath = Text(kPath);
    }
};

}  // namespace

TEST_F(LossyTextFileTest, QuestionCountsTheLostCharactersAndYesSavesUtf8) {
    dialogs.threeWayAnswers.push_back(YesNoCancel::Yes);
    form.SaveResultsAsTextFile();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    // Eight Greek letters, two CJK characters and one outside the BMP.
    EXPECT_TRUE(dialogs.questions[0].first.starts_with(
        u"11 characters of the results cannot be written in this system's code page"));
    EXPECT_EQ(dialogs.questions[0].second, u"Tessivane Window Text Reader");
    EXPECT_EQ(saveFiles.files.at(Text(kPath)),
              UnicodeResultsFileBytes(results, ResultsFileType::UnicodeText));
    // The button's own dialog is unchanged.
    EXPECT_EQ(dialogs.saveRequests.at(0).filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
}

TEST_F(LossyTextFileTest, QuestionSaysWhatUtf8CannotHoldEitherAndYesKeepsTheCellsRaw) {
    AddResultRow(u"Edit", u"1004", Text{u'a', char16_t(0xD800), u'\t', u'b'}, false);
    dialogs.threeWayAnswers.push_back(YesNoCancel::Yes);
    form.SaveResultsAsTextFile();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].first,
              u"12 characters of the results cannot be written in this system's code page (ANSI): "
              u"the text file would hold \"?\" or a look-alike in their place. 1 of them cannot "
              u"be held by any encoding (half of a UTF-16 pair without its other half): UTF-8 "
              u"would hold U+FFFD (\uFFFD) in its place.\r\n\r\n"
              u"Yes: save the file as Unicode text (UTF-8) instead.\r\n"
              u"No: save it in the code page anyway.\r\n"
              u"Cancel: do not save.");
    // The text file keeps its cells as they are, a tab in a text too.
    EXPECT_TRUE(saveFiles.files.at(Text(kPath)).ends_with("Edit\t1004\ta\xEF\xBF\xBD\tb\t\r\n"));
    EXPECT_TRUE(dialogs.information.empty());
}

TEST_F(LossyTextFileTest, NoSavesInAnsiAnywayAndCancelWritesNothing) {
    dialogs.threeWayAnswers = {YesNoCancel::Cancel, YesNoCancel::No};
    form.SaveResultsAsTextFile();
    EXPECT_FALSE(saveFiles.files.contains(Text(kPath)));
    form.SaveResultsAsTextFile();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(saveFiles.files.at(Text(kPath)), TextFileBytes(results, saveFiles));
    EXPECT_NE(saveFiles.files.at(Text(kPath)).find("? ?? ??\r\n"), std::string::npos);
}

TEST_F(LossyTextFileTest, NothingLostMeansNoQuestionAndTheAnsiBytes) {
    results.Clear();
    AddResultRow(u"Static", u"1", u"caf\u00E9", false);
    form.SaveResultsAsTextFile();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(saveFiles.files.at(Text(kPath)), "Static\t1\tcaf\xE9\t\r\n");
}
