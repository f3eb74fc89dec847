// The pointer rules of the main window.
#include <gtest/gtest.h>

#include "fakes/FormHarness.h"

namespace {

struct PointerTest : ::testing::Test, FormHarness {};

}  // namespace

TEST_F(PointerTest, PointerRules) {
    MainForm form = MakeForm();
    form.PointerOverButton();
    EXPECT_EQ(window.pointer, 99);
    form.PointerOverButton();
    EXPECT_EQ(window.pointer, 99);  // from one button to the next: still the hand
    form.PointerOverSurface();
    EXPECT_EQ(window.pointer, 0);
    form.PointerOverButton();
    form.PointerOverList();
    EXPECT_EQ(window.pointer, 0);
    form.PointerOverButton();
    form.PointerOverList();
    EXPECT_EQ(window.pointer, 0);
    form.PointerOverButton();  // then the pointer leaves the window: nothing changes it
    EXPECT_EQ(window.pointer, 99);

    window.SetMousePointer(11);
    form.PointerOverButton();
    form.PointerOverSurface();
    form.PointerOverList();
    form.PointerOverList();
    EXPECT_EQ(window.pointer, 11);
}
