// Our skin engine and its file format.
#include <gtest/gtest.h>

#include "core/Failure.h"
#include "fakes/FakeServices.h"
#include "skin/SkinFramework.h"

namespace {

struct RecordingTarget : SkinTarget {
    void ApplySkin(std::int32_t window, const SkinDefinition& skin, bool buttons, bool lists,
                   bool windowColour, bool fonts) override {
        applied.push_back({window, buttons, lists, windowColour, fonts});
        last = skin;
    }

    std::vector<std::tuple<std::int32_t, bool, bool, bool, bool>> applied;
    SkinDefinition last;
};

}  // namespace

TEST(SkinFrameworkTest, LoadsAppliesAndHonoursItsProperties) {
    FakeFiles files;
    RecordingTarget target;
    SkinFramework engine(files, target);
    files.contents[u"C:\\s.cjs"] =
        "\xEF\xBB\xBF; a skin\r\n[Window]\r\nBackground = #102030\r\n\r\n[button]\r\n"
        "face=#FFFFFF\r\nHotFace = #E8F0FE\r\nFont = Segoe UI, 10.5, bold\r\n[List]\r\nText = "
        "#000080\r\n";
    EXPECT_THROW(engine.Invoke(3, {std::int32_t{5}}), Failure);  // nothing loaded yet
    engine.Invoke(2, {Text(u"C:\\s.cjs"), Text()});
    EXPECT_EQ(engine.GetProperty(1), 2);
    engine.PutProperty(1, std::int32_t{3});
    engine.PutProperty(5, true);
    engine.Invoke(3, {std::int32_t{77}});
    ASSERT_EQ(target.applied.size(), 1u);
    EXPECT_EQ(target.applied[0], std::make_tuple(77, true, true, true, false));
    EXPECT_EQ(target.last.windowBackground, 0x302010u);  // COLORREF order
    EXPECT_EQ(target.last.hot.face, 0xFEF0E8u);
    EXPECT_EQ(target.last.listText, 0x800000u);
    ASSERT_TRUE(target.last.buttonFont.has_value());
    EXPECT_EQ(target.last.buttonFont->face, u"Segoe UI");
    EXPECT_EQ(target.last.buttonFont->centipoints, 1050);
    EXPECT_TRUE(target.last.buttonFont->bold);
    EXPECT_THROW(engine.PutProperty(4, true), Failure);
}

TEST(SkinFrameworkTest, UnusableFilesNameTheFileTheLineAndTheFault) {
    const auto error = [](std::string_view text) {
        try {
            (void)ParseSkin(text, u"o.cjs");
        } catch (const Failure& failure) {
            return TextToUtf8(failure.Description());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(error("[Window]\nBackground = red\n"),
              "The skin file o.cjs cannot be used: line 2: \"red\" is not a valid value for "
              "Background (colours are written #RRGGBB, fonts \"Face, size[, bold]\").");
    EXPECT_EQ(error("Background = #FFFFFF\n"),
              "The skin file o.cjs cannot be used: line 1: a setting must follow a [section].");
    EXPECT_EQ(error("[Window]\n\n[Colours]\n"),
              "The skin file o.cjs cannot be used: line 3: there is no section \"[Colours]\"; the "
              "sections are [Window], [Button] and [List].");
    EXPECT_EQ(error("[Button]\nShade = #000000\n"),
              "The skin file o.cjs cannot be used: line 2: there is no setting \"Shade\" in this "
              "section.");
    EXPECT_EQ(error("[List]\nText #000000\n"),
              "The skin file o.cjs cannot be used: line 2: expected \"name = value\" or a "
              "[section].");
    EXPECT_EQ(error("[Button]\nFont = Arial, 200\n").substr(0, 48),
              "The skin file o.cjs cannot be used: line 2: \"Ari");
}

namespace {

// The failure a skin file's text gives, or "no failure".
Text SkinError(std::string_view text) {
    try {
        (void)ParseSkin(text, u"o.cjs");
    } catch (const Failure& failure) {
        return failure.Description();
    }
    return u"no failure";
}

}  // namespace

TEST(SkinFrameworkTest, FontSizesThatAreNoNumbersAreRefused) {
    for (const char* size : {"nan", "NaN", "-nan", "inf", "-inf", "infinity", "1e999", "4e-400"}) {
        const std::string text = std::string("[Button]\nFont = Arial, ") + size + "\n";
        EXPECT_EQ(SkinError(text),
                  u"The skin file o.cjs cannot be used: line 2: \"Arial, " + Utf8ToText(size) +
                      u"\" is not a valid value for Font (colours are written #RRGGBB, fonts "
                      u"\"Face, size[, bold]\").")
            << size;
    }
    const SkinDefinition skin = ParseSkin("[Button]\nFont = \xE6\xB8\xB8\xE3\x82\xB4, 72\n", u"o");
    ASSERT_TRUE(skin.buttonFont.has_value());
    EXPECT_EQ(skin.buttonFont->face, u"\u6E38\u30B4");
    EXPECT_EQ(skin.buttonFont->centipoints, 7200);
}

TEST(SkinFrameworkTest, BytesThatAreNoUtf8TextAreRefusedWithTheirLine) {
    const Text notUtf8 =
        u"The skin file o.cjs cannot be used: line 3: the line is not UTF-8 text; save the skin "
        u"file as UTF-8.";
    for (const std::string_view bad : {
             std::string_view("Font = A\xC0\x80rial, 10"),     // overlong NUL
             std::string_view("Font = \xE0\x80\xAF, 10"),      // overlong slash
             std::string_view("Font = \xED\xA0\x80, 10"),      // a surrogate
             std::string_view("Font = \xF4\x90\x80\x80, 10"),  // beyond U+10FFFF
             std::string_view("Font = \xFF, 10"),
             std::string_view("Font = \x80, 10"),          // a lone continuation byte
             std::string_view("Font = Arial\xE3\x82"),     // cut short at the end
             std::string_view("Font = \xE3\x82rial, 10"),  // cut short inside
         }) {
        // A comment is never read, whatever its bytes.
        EXPECT_EQ(SkinError("[Button]\n; \xFF\xC0\x80\n" + std::string(bad)), notUtf8) << bad;
    }
}

TEST(SkinFrameworkTest, ControlCharactersAreShownAsTheirPictures) {
    using namespace std::string_literals;
    EXPECT_EQ(SkinError("[Window]\nBackground = #FF\0FF00\n"s),
              u"The skin file o.cjs cannot be used: line 2: \"#FF\u2400FF00\" is not a valid value "
              u"for Background (colours are written #RRGGBB, fonts \"Face, size[, bold]\").");
    EXPECT_EQ(SkinError("[Button]\nFont = Ari\x01"
                        "al\x7F, 10\n"),
              u"The skin file o.cjs cannot be used: line 2: \"Ari\u2401al\u2421, 10\" is not a "
              u"valid value for Font (colours are written #RRGGBB, fonts \"Face, size[, bold]\").");
    EXPECT_EQ(
        SkinError("[Win\x1B"
                  "dow]\n"),
        u"The skin file o.cjs cannot be used: line 1: there is no section \"[Win\u241Bdow]\"; "
        u"the sections are [Window], [Button] and [List].");
    EXPECT_EQ(SkinError("[List]\nTe\0xt = #000000\n"s),
              u"The skin file o.cjs cannot be used: line 2: there is no setting \"Te\u2400xt\" in "
              u"this section.");
}
