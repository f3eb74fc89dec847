// Cells of delimited text: tab-separated cells escaped in UTF-16 and in UTF-8 alike.
#include <gtest/gtest.h>

#include "core/Delimited.h"

TEST(TabSeparatedCellTest, TabsLineBreaksAndBackslashesBecomeEscapesInBothWidths) {
    const struct {
        TextView cell;
        TextView escaped;
    } cases[] = {
        {u"plain, \"quoted\"", u"plain, \"quoted\""},
        {u"tab\there", u"tab\\there"},
        {u"one\r\ntwo\n", u"one\\r\\ntwo\\n"},
        {u"C:\\temp", u"C:\\\\temp"},
        // A typed backslash and t stays apart from a tab.
        {u"\\t", u"\\\\t"},
        {u"\u6f22\U0001D11E\t", u"\u6f22\U0001D11E\\t"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        Text wide = u"x";
        AppendTabSeparatedCell(wide, c.cell);
        EXPECT_EQ(wide, u"x" + Text(c.escaped)) << TextToUtf8(c.cell);
        std::string narrow;
        AppendTabSeparatedCell(narrow, std::string_view(TextToUtf8(c.cell)));
        EXPECT_EQ(narrow, TextToUtf8(c.escaped)) << TextToUtf8(c.cell);
    }
}
