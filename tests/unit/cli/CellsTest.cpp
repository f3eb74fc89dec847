// Escaping of the command line's output: CSV cells as RFC 4180 has them, tab-separated cells,
// JSON strings, handles in hexadecimal and the exit codes' rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Cells.h"
#include "cli/ExitCodes.h"
#include "cli/JsonText.h"

TEST(CsvCell, QuotesOnlyCellsWithACommaQuoteOrLineBreakAndDoublesTheirQuotes) {
    EXPECT_EQ(CsvCell("plain text"), "plain text");
    EXPECT_EQ(CsvCell(""), "");
    EXPECT_EQ(CsvCell("tab\there"), "tab\there");
    EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvCell("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvCell("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvCell("lone\rcr"), "\"lone\rcr\"");
    EXPECT_EQ(CsvCell("\""), "\"\"\"\"");
    // UTF-8 passes as it is.
    EXPECT_EQ(CsvCell("\xE6\xBC\xA2\xF0\x9D\x84\x9E"), "\xE6\xBC\xA2\xF0\x9D\x84\x9E");
}

TEST(TsvCell, WritesTabsLineBreaksAndBackslashesAsEscapes) {
    EXPECT_EQ(TsvCell("plain, \"quoted\""), "plain, \"quoted\"");
    EXPECT_EQ(TsvCell("a\tb"), "a\\tb");
    EXPECT_EQ(TsvCell("one\r\ntwo\n"), "one\\r\\ntwo\\n");
    EXPECT_EQ(TsvCell("C:\\temp\\new"), "C:\\\\temp\\\\new");
    // An escape's backslash and a text's own stay apart: "\t" typed and a tab differ.
    EXPECT_NE(TsvCell("\\t"), TsvCell("\t"));
}

TEST(DelimitedLine, SeparatesCellsAndEndsWithCrLf) {
    const std::vector<std::string> cells{"a,b", "c\td", "", "e\"f"};
    std::string csv;
    AppendLine(csv, cells, CellFormat::Csv);
    EXPECT_EQ(csv, "\"a,b\",c\td,,\"e\"\"f\"\r\n");
    std::string tsv;
    AppendLine(tsv, cells, CellFormat::Tsv);
    EXPECT_EQ(tsv, "a,b\tc\\td\t\te\"f\r\n");
}

TEST(HexHandle, GivesAll32BitsInEightUpperCaseDigits) {
    EXPECT_EQ(HexHandle(0x10054), "0x00010054");
    EXPECT_EQ(HexHandle(0), "0x00000000");
    EXPECT_EQ(HexHandle(-1), "0xFFFFFFFF");
    EXPECT_EQ(HexHandle(0x7FFFABCD), "0x7FFFABCD");
}

TEST(JsonString, EscapesQuotesBackslashesAndControlsAndKeepsEveryCharacter) {
    EXPECT_EQ(JsonText(JsonString(u"say \"hi\" C:\\x")), R"("say \"hi\" C:\\x")");
    EXPECT_EQ(JsonText(JsonString(u"a\tb\r\nc\x01")), R"("a\tb\r\nc\u0001")");
    // Greek, CJK and a character outside the BMP (a surrogate pair) as UTF-8.
    EXPECT_EQ(JsonText(JsonString(u"\u03bb\u6f22\U0001D11E")),
              "\"\xCE\xBB\xE6\xBC\xA2\xF0\x9D\x84\x9E\"");
    // A lone surrogate cannot be UTF-8: it becomes U+FFFD and the document stays valid.
    EXPECT_EQ(JsonText(JsonString(Text(1, static_cast<char16_t>(0xD800)))), "\"\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonText(JsonString(u"")), "\"\"");
}

TEST(ExitCodes, SelectionNeedsOneMatchOrFirst) {
    EXPECT_EQ(SelectionExitCode(0, false), ExitCode::kNoMatch);
    EXPECT_EQ(SelectionExitCode(0, true), ExitCode::kNoMatch);
    EXPECT_EQ(SelectionExitCode(1, false), ExitCode::kDone);
    EXPECT_EQ(SelectionExitCode(2, false), ExitCode::kManyMatches);
    EXPECT_EQ(SelectionExitCode(2, true), ExitCode::kDone);
}

TEST(ExitCodes, ADumpMissingAnythingEndsWithFour) {
    EXPECT_EQ(DumpExitCode(DumpTally{}), ExitCode::kDone);
    EXPECT_EQ(DumpExitCode({.windows = 5}), ExitCode::kDone);
    for (const DumpTally& missing :
         {DumpTally{.windows = 5, .timedOut = 1}, DumpTally{.windows = 5, .gone = 1},
          DumpTally{.windows = 5, .cut = 1}, DumpTally{.windows = 5, .itemsIncomplete = 1},
          DumpTally{.windows = 5, .rowLimitReached = true}}) {
        EXPECT_EQ(DumpExitCode(missing), ExitCode::kIncomplete);
    }
}
