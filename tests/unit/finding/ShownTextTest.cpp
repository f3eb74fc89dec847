// Window texts as the screen shows them: which "&" a control draws as an underline, and which
// controls do.
#include <gtest/gtest.h>

#include "finding/ShownText.h"

TEST(ShownTextTest, ASingleAmpersandMarksTheNextLetterAndADoubleOneShowsItself) {
    const struct {
        TextView text;
        TextView shown;
    } cases[] = {
        {u"Add appli&cation...", u"Add application..."},
        {u"&OK", u"OK"},
        {u"Fish && Chips", u"Fish & Chips"},
        {u"&&&Save", u"&Save"},
        {u"Save &", u"Save &"},
        {u"&", u"&"},
        {u"&&", u"&"},
        {u"a&&&", u"a&&"},
        {u"&Ελληνικά", u"Ελληνικά"},
        {u"&😀x", u"😀x"},
        {u"no mark", u"no mark"},
        {u"", u""},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(ShownText(text), shown) << TextToUtf8(text);
    }
}

TEST(ShownTextTest, OnlyControlsThatDrawMnemonicsShowATextOtherThanTheirOwn) {
    const struct {
        TextView className;
        std::uint32_t style;
        TextView text;
        std::optional<Text> shown;
    } cases[] = {
        {u"Button", 0, u"&Apply", u"Apply"},
        {u"BUTTON", 0, u"A&&B", u"A&B"},
        {u"Static", 0, u"&Name:", u"Name:"},
        {u"Static", kStaticNoPrefix, u"&Name:", std::nullopt},
        {u"Button", kStaticNoPrefix, u"&Yes", u"Yes"},
        {u"SysTabControl32", 0, u"&General", u"General"},
        {u"SysHeader32", 0, u"&Size", u"Size"},
        {u"#32768", 0, u"&File", u"File"},
        {u"Edit", 0, u"&Apply", std::nullopt},
        {u"ListBox", 0, u"&Apply", std::nullopt},
        {u"ComboBox", 0, u"&Apply", std::nullopt},
        {u"Button", 0, u"Apply", std::nullopt},
        {u"Button", 0, u"Apply &", std::nullopt},
    };
    for (const auto& [className, style, text, shown] : cases) {
        EXPECT_EQ(ShownTextOf(className, style, text), shown)
            << TextToUtf8(className) << " " << TextToUtf8(text);
    }
}
