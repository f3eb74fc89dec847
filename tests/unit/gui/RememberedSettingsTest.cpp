// What the main window keeps between runs: the rules for its saved place, and values that cannot
// be used are ignored.
#include "gui/RememberedSettings.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/FakeServices.h"

namespace {

// A 1280 x 1024 screen whose lowest 40 pixels hold a task bar.
constexpr ScreenRect kWorkArea{0, 0, 1280, 984};
// The laid-out window's outer size.
constexpr int kSmallestWidth = 700;
constexpr int kSmallestHeight = 400;

struct RememberedSettingsTest : ::testing::Test {
    FakeSettings store;
    RememberedSettings remembered{store};

    void StorePlace(int left, int top, int right, int bottom) {
        store.values[u"WindowLeft"] = left;
        store.values[u"WindowTop"] = top;
        store.values[u"WindowRight"] = right;
        store.values[u"WindowBottom"] = bottom;
    }
};

}  // namespace

TEST(PlaceOnWorkAreaTest, KeepsAPlaceOnScreenAndMovesOrSizesOneThatIsNotBack) {
    const struct {
        const char* what;
        ScreenRect saved;
        ScreenRect opened;
    } cases[] = {
        {"wholly on screen", {100, 50, 900, 650}, {100, 50, 900, 650}},
        {"past the right edge", {1000, 50, 1800, 650}, {480, 50, 1280, 650}},
        {"on a monitor that is gone", {3000, 2000, 3800, 2600}, {480, 384, 1280, 984}},
        {"above and left of the screen", {-900, -700, -100, -100}, {0, 0, 800, 600}},
        {"under the task bar", {100, 700, 900, 1100}, {100, 584, 900, 984}},
        {"smaller than the layout", {100, 50, 300, 150}, {100, 50, 800, 450}},
        {"larger than the screen", {-10, -10, 2000, 1500}, {0, 0, 1280, 984}},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(PlaceOnWorkArea(each.saved, kSmallestWidth, kSmallestHeight, kWorkArea),
                  each.opened)
            << each.what;
    }
}

TEST(PlaceOnWorkAreaTest, TheLaidOutSizeWinsOverAScreenTooSmallForIt) {
    const ScreenRect opened = PlaceOnWorkArea({0, 0, 500, 300}, 700, 400, {0, 0, 640, 360});
    EXPECT_EQ(opened, (ScreenRect{0, 0, 700, 400}));
}

TEST_F(RememberedSettingsTest, APlaceIsKeptWithWhetherTheWindowWasMaximized) {
    EXPECT_FALSE(remembered.Place());
    remembered.SetPlace({{-1200, 10, -300, 610}, true});
    const std::optional<WindowPlace> place = remembered.Place();
    ASSERT_TRUE(place);
    EXPECT_EQ(place->bounds, (ScreenRect{-1200, 10, -300, 610}));
    EXPECT_TRUE(place->maximized);
}

TEST_F(RememberedSettingsTest, APlaceWithAValueMissingOfTheWrongKindOrOutOfRangeIsIgnored) {
    const struct {
        const char* what;
        std::function<void(FakeSettings&)> spoil;
    } cases[] = {
        {"no bottom", [](FakeSettings& s) { s.values.erase(u"WindowBottom"); }},
        {"a text", [](FakeSettings& s) { s.values[u"WindowLeft"] = Text(u"100"); }},
        {"a minimized window's place", [](FakeSettings& s) { s.values[u"WindowLeft"] = -32000; }},
        {"beyond any screen", [](FakeSettings& s) { s.values[u"WindowRight"] = 40000; }},
        {"no width", [](FakeSettings& s) { s.values[u"WindowRight"] = 100; }},
        {"upside down", [](FakeSettings& s) { s.values[u"WindowBottom"] = 0; }},
    };
    for (const auto& each : cases) {
        StorePlace(100, 50, 900, 650);
        each.spoil(store);
        EXPECT_FALSE(remembered.Place()) << each.what;
    }
    // A maximized flag that is neither 0 nor 1 is ignored alone.
    StorePlace(100, 50, 900, 650);
    store.values[u"WindowMaximized"] = 7;
    ASSERT_TRUE(remembered.Place());
    EXPECT_FALSE(remembered.Place()->maximized);
}

TEST_F(RememberedSettingsTest, ColumnWidthsOutOfRangeOrOfTheWrongKindAreIgnored) {
    remembered.SetColumnTwips(RememberedList::kResults, 3, 5000);
    remembered.SetColumnTwips(RememberedList::kWindowList, 3, 99999);  // kept at the widest
    EXPECT_EQ(remembered.ColumnTwips(RememberedList::kResults, 3), 5000);
    EXPECT_EQ(remembered.ColumnTwips(RememberedList::kWindowList, 3), 28800);
    EXPECT_FALSE(remembered.ColumnTwips(RememberedList::kWindowList, 1));
    store.values[u"ResultsColumn1Width"] = -5;
    store.values[u"ResultsColumn2Width"] = 28801;
    store.values[u"WindowListColumn1Width"] = Text(u"wide");
    EXPECT_FALSE(remembered.ColumnTwips(RememberedList::kResults, 1));
    EXPECT_FALSE(remembered.ColumnTwips(RememberedList::kResults, 2));
    EXPECT_FALSE(remembered.ColumnTwips(RememberedList::kWindowList, 1));
}

TEST(FolderOfPathTest, IsThePathUpToItsLastSeparator) {
    const struct {
        const char16_t* path;
        const char16_t* folder;
    } cases[] = {
        {u"C:\\a\\b\\file.txt", u"C:\\a\\b"},
        {u"C:\\file.txt", u"C:\\"},
        {u"\\\\server\\share\\file.csv", u"\\\\server\\share"},
        {u"Z:/unix/style.tsv", u"Z:/unix"},
        {u"file.txt", u""},
        {u"", u""},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(FolderOfPath(each.path), Text(each.folder)) << TextToUtf8(each.path);
    }
}
