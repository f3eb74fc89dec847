// UTF-8 conversion and the decimal text of handles.
#include <gtest/gtest.h>

#include <string>

#include "core/Failure.h"
#include "core/Text.h"

TEST(TextTest, Utf8RoundTripKeepsCharactersOutsideTheBasicPlane) {
    const Text text = u"Ελληνικά 漢字 \U0001D11E";
    EXPECT_EQ(text.size(), 14u);  // the clef is a surrogate pair: two code units
    EXPECT_EQ(Utf8ToText(TextToUtf8(text)), text);
    EXPECT_EQ(Utf8ToText("\xFF"
                         "a"),
              u"\uFFFDa");
    EXPECT_EQ(TextToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(TextTest, LoneSurrogatesAreCountedAndPairsAreNot) {
    const struct {
        Text text;
        std::size_t lone;
    } cases[] = {
        {u"plain", 0},
        {u"\U0001D11E\U0001D11E", 0},
        {Text(1, char16_t(0xD800)), 1},
        {Text(1, char16_t(0xDC00)) + u"x", 1},
        // A low half first, then a whole pair: only the first is alone.
        {Text{char16_t(0xDC00), char16_t(0xD834), char16_t(0xDD1E)}, 1},
        // Two high halves, the second paired.
        {Text{char16_t(0xD834), char16_t(0xD834), char16_t(0xDD1E)}, 1},
        {Text{char16_t(0xD834), char16_t(0xDD1E), char16_t(0xDD1E), char16_t(0xD834)}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountLoneSurrogates(c.text), c.lone) << &c - cases;
        // Each lone one is a U+FFFD of the UTF-8, whose three bytes never come otherwise here.
        const std::string utf8 = TextToUtf8(c.text);
        std::size_t replacements = 0;
        for (std::size_t at = utf8.find("\xEF\xBF\xBD"); at != std::string::npos;
             at = utf8.find("\xEF\xBF\xBD", at + 1)) {
            ++replacements;
        }
        EXPECT_EQ(replacements, c.lone) << &c - cases;
    }
}

TEST(TextTest, HandlesAreSignedDecimalBothWays) {
    EXPECT_EQ(DecimalText(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(DecimalText(65552), u"65552");
    EXPECT_EQ(ParseHandle(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseHandle(u"131072"), 131072);
    for (const Text bad : {u"", u" 12", u"12a", u"2147483648", u"0x10", u"١٢"}) {
        EXPECT_THROW((void)ParseHandle(bad), Failure) << TextToUtf8(bad);
    }
}
