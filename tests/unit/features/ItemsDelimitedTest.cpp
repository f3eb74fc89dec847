// Items tables as CSV and tab-separated text: quoting, line ends, chosen rows and trees' depths.
#include <gtest/gtest.h>

#include <vector>

#include "core/Failure.h"
#include "items/ItemsDelimited.h"

namespace {

ItemsTable ListViewOf(std::vector<Text> captions, const std::vector<std::vector<Text>>& rows) {
    ItemsTable table(ItemsKind::ListView, std::move(captions));
    for (const std::vector<Text>& row : rows) {
        table.AppendRow(row);
    }
    return table;
}

}  // namespace

TEST(ItemsDelimited, PlainCellsStandAsTheyAreUnderTheCaptionsWithCrLf) {
    const ItemsTable table = ListViewOf({u"Name", u"Size"}, {{u"a.txt", u"1 KB"}, {u"b", u""}});
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Comma), u"Name,Size\r\na.txt,1 KB\r\nb,\r\n");
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Tab), u"Name\tSize\r\na.txt\t1 KB\r\nb\t\r\n");
}

TEST(ItemsDelimited, CellsWithTheDelimiterQuotesOrLineBreaksAreQuoted) {
    const ItemsTable table = ListViewOf({u"Say \"hi\"", u"a,b"}, {{u"1,5", u"tab\there"},
                                                                  {u"two\r\nlines", u"lone\rCR"},
                                                                  {u"lone\nLF", u"\"quoted\""},
                                                                  {u"\"", u""}});
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Comma),
              u"\"Say \"\"hi\"\"\",\"a,b\"\r\n"
              u"\"1,5\",tab\there\r\n"
              u"\"two\r\nlines\",\"lone\rCR\"\r\n"
              u"\"lone\nLF\",\"\"\"quoted\"\"\"\r\n"
              u"\"\"\"\",\r\n");
    // Tab-separated: the tab is the delimiter to quote, the comma is ordinary.
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Tab),
              u"\"Say \"\"hi\"\"\"\ta,b\r\n"
              u"1,5\t\"tab\there\"\r\n"
              u"\"two\r\nlines\"\t\"lone\rCR\"\r\n"
              u"\"lone\nLF\"\t\"\"\"quoted\"\"\"\r\n"
              u"\"\"\"\"\t\r\n");
}

TEST(ItemsDelimited, ChosenRowsComeInTheOrderGivenAndAnUnknownRowFails) {
    const ItemsTable table = ListViewOf({u"N"}, {{u"zero"}, {u"one"}, {u"two"}, {u"three"}});
    const std::vector<std::size_t> rows{3, 0, 2};
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Comma, rows), u"N\r\nthree\r\nzero\r\ntwo\r\n");
    const std::vector<std::size_t> beyond{1, 4};
    EXPECT_ANY_THROW((void)ItemsDelimitedText(table, Delimiter::Comma, beyond));
}

TEST(ItemsDelimited, EmptyTableGivesTheCaptionLineOnly) {
    EXPECT_EQ(ItemsDelimitedText(ListViewOf({u"A", u"B"}, {}), Delimiter::Tab), u"A\tB\r\n");
    // A kind of one text an item has one column without a caption.
    const ItemsTable list(ItemsKind::ListBox, {});
    EXPECT_EQ(ItemsDelimitedText(list, Delimiter::Comma), u"\r\n");
}

TEST(ItemsDelimited, TreeRowsLeadWithTheirDepth) {
    ItemsTable tree(ItemsKind::TreeView, {});
    const Text texts[] = {u"HKEY_CURRENT_USER", u"Software", u"Wine, the \"emulator\"",
                          u"HKEY_LOCAL_MACHINE"};
    const int depths[] = {0, 1, 2, 0};
    for (std::size_t item = 0; item < std::size(texts); ++item) {
        tree.AppendRow(std::span(&texts[item], 1), depths[item]);
    }
    EXPECT_EQ(ItemsDelimitedText(tree, Delimiter::Comma),
              u"Depth,\r\n0,HKEY_CURRENT_USER\r\n1,Software\r\n2,\"Wine, the \"\"emulator\"\"\"\r\n"
              u"0,HKEY_LOCAL_MACHINE\r\n");
    const std::vector<std::size_t> rows{2};
    EXPECT_EQ(ItemsDelimitedText(tree, Delimiter::Tab, rows),
              u"Depth\t\r\n2\t\"Wine, the \"\"emulator\"\"\"\r\n");
}

TEST(ItemsDelimited, UnicodeIsCopiedUnitForUnit) {
    // Greek, CJK, a character outside the BMP (a surrogate pair) and a lone surrogate.
    const Text cell = u"\u03A9 \u6F22\u5B57 \U0001F600 \xD800x";
    const ItemsTable table = ListViewOf({u"\u540D\u524D"}, {{cell}});
    EXPECT_EQ(ItemsDelimitedText(table, Delimiter::Comma), u"\u540D\u524D\r\n" + cell + u"\r\n");
}
