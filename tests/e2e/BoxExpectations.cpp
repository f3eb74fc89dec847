// The driver's parts that report to GoogleTest (a box's expectations, a box that should not
// have shown), apart from the rest so that the showcase runs the driver without GoogleTest.
#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"

void ExpectBox(const MessageBoxSeen& box, const std::wstring& caption, const std::wstring& text,
               bool exclamationIcon, const std::vector<std::wstring>& buttons,
               const std::wstring& screenshotName) {
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.hasExclamationIcon, exclamationIcon);
    EXPECT_EQ(box.buttons, buttons);
    if (!screenshotName.empty()) {
        SaveScreenshot(box.window, BuildFolder() / L"artifacts" / screenshotName);
    }
}

void ReportUnexpectedBox() {
    ADD_FAILURE() << "unexpected message box";
}
