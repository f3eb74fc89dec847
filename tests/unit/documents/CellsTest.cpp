// Escaping of the documents' cells: CSV cells as RFC 4180 has them, tab-separated cells and JSON
// strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/Cells.h"
#include "documents/JsonText.h"

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
