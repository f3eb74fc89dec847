// The extraction under Wine: the target fixture's real window tree read by the real tool and
// compared, cell by cell, with the fixture's own truth about it.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

// Extracts the selected window, whose tree has one hung child: when the walk ends, one note
// says that child's text is missing. Answers how long the walk took.
double ExtractExpectingTheHungChildsNote(const Tool& tool, const std::wstring& screenshot = L"") {
    const auto started = std::chrono::steady_clock::now();
    auto click = tool.Click(kStartButton);
    const auto note = tool.WaitForMessageBox(120s);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!note) {
        ADD_FAILURE() << "no note after the walk";
        return seconds;
    }
    ExpectBox(*note, L"Tessivane Window Text Reader",
              L"Some texts in the results are missing or incomplete:\r\n"
              L"1 window did not answer in time: its text is empty.",
              false, {L"OK"}, screenshot);
    Tool::Answer(*note, IDOK);
    click.get();
    return seconds;
}

// How many pixels of the results row, on screen, are of each colour: the text's (black) and
// the grey of disabled text.
std::pair<int, int> BlackAndGreyPixels(const Tool& tool, int row) {
    const HWND list = GetDlgItem(tool.Main(), kResultsId);
    RECT bounds = tool.Results().RowBounds(row);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    const HDC screen = GetDC(nullptr);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    int black = 0;
    int greyed = 0;
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        for (int x = bounds.left; x < bounds.right; ++x) {
            const COLORREF colour = GetPixel(screen, x, y);
            black += colour == RGB(0, 0, 0) ? 1 : 0;
            greyed += colour == grey ? 1 : 0;
        }
    }
    ReleaseDC(nullptr, screen);
    return {black, greyed};
}

}  // namespace

TEST(ExtractionE2e, ResultsMatchTheFixturesTreeCellByCell) {
    TargetFixture fixture(L"tree", L"--wide 5000 --hung");
    const auto& lines = fixture.Lines();
    ASSERT_GE(lines.size(), 2u);
    ASSERT_EQ(lines[0][0], L"root");
    Tool tool;
    SelectWindow(tool, lines[0][1]);
    const double seconds = ExtractExpectingTheHungChildsNote(tool, L"walk-note.bmp");
    std::printf("extraction of %zu windows with a hung child: %.2f s\n", lines.size() - 1, seconds);

    const auto rows = tool.Results().Rows();
    ASSERT_EQ(rows.size(), lines.size() - 1);
    int hung = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto& want = lines[i];  // depth, handle, class, text, flag
        ASSERT_EQ(want.size(), 5u);
        const auto& got = rows[i - 1];
        EXPECT_EQ(got[0], want[2]) << "row " << i;
        EXPECT_EQ(got[1], want[1]) << "row " << i;
        EXPECT_EQ(got[2], want[3]) << "row " << i;
        hung += want[4] == L"hung";
    }
    EXPECT_EQ(hung, 1);
    EXPECT_EQ(rows[0][1], lines[0][1]);  // the chosen window first, with the list's handle
    const auto has = [&](const std::wstring& text) {
        return std::any_of(rows.begin(), rows.end(),
                           [&](const auto& row) { return row[2] == text; });
    };
    EXPECT_TRUE(has(L"First line\r\nSecond\tline with tab\r\nThird line"));
    EXPECT_TRUE(has(L"Ελληνικά κείμενο 漢字テキスト \U0001D11E end"));
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [](const auto& row) { return row[0].size() == 255; }));
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(tool.Results().Ticked(row));
    }
    // The fixture's window opens where the tool stands; out of the way for the picture.
    ShowWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoi(lines[0][1]))), SW_MINIMIZE);
    Sleep(300);
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"extraction.bmp");

    // A second extraction replaces the first.
    ExtractExpectingTheHungChildsNote(tool);
    EXPECT_EQ(tool.Results().RowCount(), static_cast<int>(lines.size() - 1));
}

TEST(ExtractionE2e, WithoutASelectedRowOneBoxNamesLine104AndARowStartsByEnterOrDoubleClick) {
    TargetFixture fixture(L"tree");
    Tool tool;
    ASSERT_GT(tool.WindowList().RowCount(), 0);
    auto click = tool.Click(kStartButton);
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    ExpectBox(*box, L"Application Error",
              L"No window is selected in the window list.\r\n"
              L"in Tessivane2021/08/31.Form1.PushButton2_Click at line 104\r\r"
              L"Please email screenshot of this message to support@tessivane.example",
              true, {L"OK"}, L"error-report.bmp");
    Tool::Answer(*box, IDOK);
    click.get();
    EXPECT_EQ(tool.Results().RowCount(), 0);
    EXPECT_FALSE(tool.WaitForMessageBox(500ms).has_value());

    // A double-click on the fixture's row, or Enter on it, extracts it as Start does.
    const auto windows = tool.WindowList().Rows();
    const auto fixtureRow = std::find_if(windows.begin(), windows.end(), [&](const auto& row) {
        return row[1] == fixture.Lines().at(0).at(1);
    });
    ASSERT_NE(fixtureRow, windows.end());
    const int row = static_cast<int>(fixtureRow - windows.begin());
    const int treeRows = static_cast<int>(fixture.Lines().size()) - 1;
    for (const bool byEnter : {false, true}) {
        tool.ClickAndWait(L"Clear Results");
        if (byEnter) {
            tool.WindowList().Click(row);
            tool.WindowList().PressEnter();
        } else {
            tool.WindowList().DoubleClick(row);
        }
        EXPECT_TRUE(WaitUntil([&] { return tool.Results().RowCount() == treeRows; }, 10s))
            << (byEnter ? "Enter" : "double-click");
    }
}

TEST(ExtractionE2e, RowsOfHiddenWindowsAreGreyAndOfDisabledOnesGreyWithTheirCellsUnchanged) {
    TargetFixture fixture(L"tree", L"--states");
    const auto& lines = fixture.Lines();
    Tool tool;
    SelectWindow(tool, lines.at(0).at(1));
    ShowWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoi(lines[0][1]))), SW_MINIMIZE);
    tool.ClickAndWait(kStartButton);
    const auto rows = tool.Results().Rows();
    const auto rowOf = [&](const std::wstring& text) {
        return static_cast<int>(std::find_if(rows.begin(), rows.end(),
                                             [&](const auto& row) { return row[2] == text; }) -
                                rows.begin());
    };
    const int plain = rowOf(L"Nested edit");
    const int hidden = rowOf(L"Hidden edit");
    const int disabled = rowOf(L"Disabled edit");
    ASSERT_LT(std::max({plain, hidden, disabled}), static_cast<int>(rows.size()));
    EXPECT_EQ(rows[hidden][0], L"Edit");
    EXPECT_EQ(rows[disabled][0], L"Edit");
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"row-states.bmp");
    const auto [plainBlack, plainGrey] = BlackAndGreyPixels(tool, plain);
    EXPECT_GT(plainBlack, 0);
    for (const int row : {hidden, disabled}) {
        const auto [black, grey] = BlackAndGreyPixels(tool, row);
        EXPECT_EQ(black, 0) << rows[row][2];
        EXPECT_GT(grey, 0) << rows[row][2];
    }
}
