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
