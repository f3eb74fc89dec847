// The look under Wine: the sample skin's colours on screen, and the pointer over the buttons,
// the lists and during a long export.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

// The sample skin beside the tool as x\o.cjs while this lives.
class SkinBesideTool {
public:
    explicit SkinBesideTool(DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::filesystem::create_directories(File().parent_path());
        std::filesystem::copy_file(BuildFolder() / L"skins" / L"Harbour.cjs", File(),
                                   std::filesystem::copy_options::overwrite_existing);
        SetFileAttributesW(File().c_str(), attributes);
    }
    ~SkinBesideTool() {
        SetFileAttributesW(File().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(File().parent_path());
    }
    SkinBesideTool(const SkinBesideTool&) = delete;
    SkinBesideTool& operator=(const SkinBesideTool&) = delete;

    static std::filesystem::path File() { return BuildFolder() / L"x" / L"o.cjs"; }
};

// The colour on screen at a point of the window's client area.
COLORREF PixelAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The colours of the window's margin and of a button's left border.
std::pair<COLORREF, COLORREF> Colours(const Tool& tool) {
    const HWND button = tool.Button(L"Refresh List");
    RECT bounds;
    GetWindowRect(button, &bounds);
    MapWindowPoints(nullptr, tool.Main(), reinterpret_cast<POINT*>(&bounds), 2);
    WaitUntil([&] { return PixelAt(tool.Main(), 2, 2) != CLR_INVALID; }, 2s);
    Sleep(300);  // the first paint
    return {PixelAt(tool.Main(), 2, 2),
            PixelAt(tool.Main(), bounds.left, (bounds.top + bounds.bottom) / 2)};
}

}  // namespace

TEST(LookE2e, SampleSkinColoursTheWindowAndButtons) {
    const SkinBesideTool skin;
    Tool tool;
    const auto [margin, border] = Colours(tool);
    EXPECT_EQ(margin, RGB(0xE9, 0xEE, 0xF4));
    EXPECT_EQ(border, RGB(0x9F, 0xB3, 0xC8));
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"skinned.bmp");
}

TEST(LookE2e, WithoutOrWithAHiddenSkinTheWindowIsWhite) {
    for (const bool hidden : {false, true}) {
        std::unique_ptr<SkinBesideTool> skin;
        if (hidden) {
            skin = std::make_unique<SkinBesideTool>(FILE_ATTRIBUTE_HIDDEN);
        }
        Tool tool;
        const auto [margin, border] = Colours(tool);
        EXPECT_EQ(margin, RGB(255, 255, 255)) << hidden;
        EXPECT_EQ(border, RGB(173, 173, 173)) << hidden;
    }
}

TEST(LookE2e, PointerIsTheHandOverButtonsTheArrowOverListsAndTheHourglassDuringAnExport) {
    // A slow spreadsheet keeps the export running while the pointer moves about.
    const RegisteredSpreadsheet spreadsheet;
    const ScopedEnvironment slow(L"TESSIVANE_AUTOMATION_CALL_DELAY_MS", L"150");
    ExtractedTree run;
    SetForegroundWindow(run.tool.Main());
    const HWND list = GetDlgItem(run.tool.Main(), 103);
    const HWND button = run.tool.Button(L"Clear Results");
    const HCURSOR arrow = PointerRestingOn(list);
    const HCURSOR hand = PointerRestingOn(button);
    EXPECT_NE(hand, arrow);
    EXPECT_NE(hand, nullptr);
    EXPECT_EQ(PointerRestingOn(list), arrow);

    for (int row = 0; row < 10; ++row) {
        run.tool.Results().ClickTick(row);
    }
    auto click = run.tool.Click(L"Save Results As Excel File");  // about five seconds
    const HCURSOR busy = PointerRestingOn(button);
    EXPECT_NE(busy, hand);
    EXPECT_NE(busy, arrow);
    EXPECT_EQ(PointerRestingOn(list), busy);  // the hourglass stays over the list too
    EXPECT_EQ(PointerRestingOn(button), busy);
    EXPECT_NE(click.wait_for(0s), std::future_status::ready);  // all of that during the export
    click.get();
    EXPECT_EQ(PointerRestingOn(list), arrow);
    EXPECT_EQ(PointerRestingOn(button), hand);
}
