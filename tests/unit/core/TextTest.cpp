// UTF-8 conversion and the decimal text of handles.
#include <gtest/gtest.h>

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

TEST(TextTest, HandlesAreSignedDecimalBothWays) {
    EXPECT_EQ(DecimalText(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(DecimalText(65552), u"65552");
    EXPECT_EQ(ParseHandle(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseHandle(u"131072"), 131072);
    for (const Text bad : {u"", u" 12", u"12a", u"2147483648", u"0x10", u"١٢"}) {
        EXPECT_THROW((void)ParseHandle(bad), Failure) << TextToUtf8(bad);
    }
}
