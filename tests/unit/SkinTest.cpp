// The skin at start-up, our skin engine and its file format, and the pointer rules.
#include <gtest/gtest.h>

#include "app/ErrorReport.h"
#include "common/Failure.h"
#include "fakes/FormHarness.h"

namespace {

const Text kSkinFile = u"C:\\Tools\\Tessivane\\x\\o.cjs";

struct ApplySkinTest : ::testing::Test, FormHarness {};

}  // namespace

TEST_F(ApplySkinTest, PresentSkinColoursTheWindowThenMakesTheFiveCalls) {
    files.ordinary.insert(kSkinFile);
    MakeForm().Form_Load();
    EXPECT_EQ(window.background, 0x8000000Fu);
    EXPECT_EQ(skin.calls,
              (std::vector<std::string>{"call 2 C:\\Tools\\Tessivane\\x\\o.cjs ", "get 1",
                                        "put 1 7", "put 5 true", "put 10 true", "call 3 196674"}));
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ApplySkinTest, AbsentHiddenSystemOrFolderSkinChangesNothing) {
    files.existing.insert(kSkinFile);  // there, but not listed as an ordinary file
    MakeForm().Form_Load();
    EXPECT_EQ(window.background, 0xFFFFFFu);
    EXPECT_TRUE(skin.calls.empty());
    EXPECT_TRUE(dialogs.errorReports.empty());
}

TEST_F(ApplySkinTest, UnusableSkinIsReportedAtLine100AndTheColourStays) {
    files.ordinary.insert(kSkinFile);
    skin.failLoading = true;
    Form1 form = MakeForm();
    form.Form_Load();
    EXPECT_EQ(window.background, 0x8000000Fu);
    EXPECT_EQ(skin.calls.size(), 1u);
    ASSERT_EQ(dialogs.errorReports.size(), 1u);
    EXPECT_EQ(dialogs.errorReports[0],
              ErrorReportText(u"The skin file cannot be used: line 3: expected \"name = value\".",
                              Location::Form_Load, 100));
    EXPECT_EQ(form.ApplicationTitle(), u"Tessivane Window Text Reader");  // loading went on
}

TEST_F(ApplySkinTest, PointerRules) {
    Form1 form = MakeForm();
    form.PushButton_MouseMove();
    EXPECT_EQ(window.pointer, 99);
    form.PushButton_MouseMove();
    EXPECT_EQ(window.pointer, 99);  // from one button to the next: still the hand
    form.Form_MouseMove();
    EXPECT_EQ(window.pointer, 0);
    form.PushButton_MouseMove();
    form.ListView1_MouseMove();
    EXPECT_EQ(window.pointer, 0);
    form.PushButton_MouseMove();
    form.ListView2_MouseMove();
    EXPECT_EQ(window.pointer, 0);
    form.PushButton_MouseMove();  // then the pointer leaves the window: nothing changes it
    EXPECT_EQ(window.pointer, 99);

    window.SetMousePointer(11);
    form.PushButton_MouseMove();
    form.Form_MouseMove();
    form.ListView1_MouseMove();
    form.ListView2_MouseMove();
    EXPECT_EQ(window.pointer, 11);
}

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
