// The main window's layout grown with the window: the laid-out places when it has its laid-out
// size, and how the lists and buttons share what it gains.
#include <cstdlib>

#include <gtest/gtest.h>

#include "wingui/Layout.h"

namespace {

LONG Width(const RECT& place) {
    return place.right - place.left;
}
LONG Height(const RECT& place) {
    return place.bottom - place.top;
}

RECT Place(const RECT& twips, UINT dpi, Stretch stretch = {}) {
    return StretchedPlace(twips, dpi, stretch);
}

}  // namespace

TEST(Layout, AtItsLaidOutSizeEveryControlIsWhereTheTwipsPutIt) {
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        for (const RECT& twips : {kWindowListPlace.twips, kResultsPlace.twips}) {
            const RECT want = TwipsToPixels(twips, dpi);
            const RECT got = Place(twips, dpi);
            EXPECT_TRUE(EqualRect(&want, &got)) << dpi;
        }
        for (const ButtonPlace& button : kButtonPlaces) {
            const RECT want = TwipsToPixels(button.twips, dpi);
            const RECT got = Place(button.twips, dpi);
            EXPECT_TRUE(EqualRect(&want, &got)) << dpi;
        }
    }
}

TEST(Layout, AGrownWindowsListsShareTheGainAndTheButtonsFollowTheirLists) {
    for (const UINT dpi : {96u, 144u}) {
        for (const Stretch stretch : {Stretch{300, 120}, Stretch{1, 1}, Stretch{1001, 0}}) {
            const RECT left = Place(kWindowListPlace.twips, dpi);
            const RECT right = Place(kResultsPlace.twips, dpi);
            const RECT grownLeft = Place(kWindowListPlace.twips, dpi, stretch);
            const RECT grownRight = Place(kResultsPlace.twips, dpi, stretch);
            // All of the gain goes to the lists, in proportion to their widths (here equal).
            EXPECT_EQ(Width(grownLeft) + Width(grownRight),
                      Width(left) + Width(right) + stretch.width);
            EXPECT_LE(std::abs(Width(grownLeft) - Width(grownRight)), 1);
            EXPECT_EQ(Height(grownLeft), Height(left) + stretch.height);
            // The margins and the gap between the lists keep their sizes.
            EXPECT_EQ(grownLeft.left, left.left);
            EXPECT_EQ(grownRight.left - grownLeft.right, right.left - left.right);
            EXPECT_EQ(grownRight.right, right.right + stretch.width);
            for (const ButtonPlace& button : kButtonPlaces) {
                const RECT laidOut = Place(button.twips, dpi);
                const RECT grown = Place(button.twips, dpi, stretch);
                EXPECT_EQ(grown.top, laidOut.top + stretch.height) << button.id;
                EXPECT_EQ(Height(grown), Height(laidOut)) << button.id;
                // A button spans in its list's width what it spanned before: the whole of it,
                // or one of the columns with the gap between them kept.
                const bool underLeft = laidOut.right <= left.right;
                const RECT& list = underLeft ? left : right;
                const RECT& grownList = underLeft ? grownLeft : grownRight;
                EXPECT_LE(std::abs(Width(grown) * Width(list) - Width(laidOut) * Width(grownList)),
                          Width(list))
                    << button.id;
                EXPECT_GE(grown.left, grownList.left) << button.id;
                EXPECT_LE(grown.right, grownList.right) << button.id;
            }
        }
    }
}
