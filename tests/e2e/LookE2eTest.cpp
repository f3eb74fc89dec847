// The look under Wine: the sample skin's colours on screen, and the pointer over the buttons,
// the lists and during a long export.
#include <windows.h>

#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

// The sample skin, or a skin of the given bytes, as x\o.cjs beside a copy of the tool in this
// group's own folder while this lives: a skin beside the build's tool would be read by every
// other group's tool as it starts.
class SkinBesideTool {
public:
    explicit SkinBesideTool(DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        CopyTool();
        std::filesystem::copy_file(BuildFolder() / L"skins" / L"Harbour.cjs", File(),
                                   std::filesystem::copy_options::overwrite_existing);
        SetFileAttributesW(File().c_str(), attributes);
    }
    explicit SkinBesideTool(const std::string& bytes) {
        CopyTool();
        std::ofstream(File(), std::ios::binary) << bytes;
    }
    ~SkinBesideTool() {
        SetFileAttributesW(File().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(File().parent_path());
    }
    SkinBesideTool(const SkinBesideTool&) = delete;
    SkinBesideTool& operator=(const SkinBesideTool&) = delete;

    static std::filesystem::path Folder() { return ScratchRoot() / L"skinned-tool"; }
    static std::filesystem::path Program() { return Folder() / L"Tessivane.exe"; }
    static std::filesystem::path File() { return Folder() / L"x" / L"o.cjs"; }

private:
    // The tool and its pointer file, as they lie in the build folder.
    static void CopyTool() {
        std::filesystem::create_directories(File().parent_path());
        // The system's copy: the C++ library's does not replace a file under MinGW.
        for (const wchar_t* name : {L"Tessivane.exe", L"HAND-M.CUR"}) {
            if (!CopyFileW((BuildFolder() / name).c_str(), (Folder() / name).c_str(), FALSE)) {
                throw std::runtime_error("the tool could not be copied beside its skin");
            }
        }
    }
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

// The box the tool shows as it starts, before its window; nothing when none shows.
std::optional<std::wstring> StartUpBoxText(const Process& tool) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindTopLevel(tool.Id(), L"#32770")) != nullptr; })) {
        return std::nullopt;
    }
    Sleep(100);  // the box fills itself in as it shows
    std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return text;
}

}  // namespace

TEST(LookE2e, AnUnusableSkinIsReportedWholeAtStartUp) {
    const std::wstring path = SkinBesideTool::File().wstring();
    const std::wstring located =
        L"\r\nin Tessivane2021/08/31.Form1.Form_Load at line 100\r\rPlease email screenshot of "
        L"this message to support@tessivane.example";
    const std::pair<std::string, std::wstring> skins[] = {
        // Too large to be read.
        {std::string((1 << 20) + 1, ';'),
         L"The file " + path +
             L" is too large: it holds 1048577 bytes, and at most 1 MB (1048576 bytes) is read."},
        // A NUL in a value, shown as its picture, and the box keeps its last lines.
        {std::string("[Button]\nFont = Ari\0al, 10\n", 27),
         L"The skin file " + path +
             L" cannot be used: line 2: \"Ari\u2400al, 10\" is not a valid value for Font "
             L"(colours are written #RRGGBB, fonts \"Face, size[, bold]\")."},
        // An overlong form of NUL.
        {"[Button]\nFont = Ari\xC0\x80"
         "al, 10\n",
         L"The skin file " + path +
             L" cannot be used: line 2: the line is not UTF-8 text; save the skin file as UTF-8."},
        // Not a number.
        {"[Button]\nFont = Arial, nan\n",
         L"The skin file " + path +
             L" cannot be used: line 2: \"Arial, nan\" is not a valid value for Font (colours are "
             L"written #RRGGBB, fonts \"Face, size[, bold]\")."},
    };
    for (const auto& [bytes, description] : skins) {
        const SkinBesideTool skin(bytes);
        const Process tool(L"\"" + SkinBesideTool::Program().wstring() + L"\"");
        EXPECT_EQ(StartUpBoxText(tool), description + located);
        // The window shows after the report.
        EXPECT_TRUE(
            WaitUntil([&] { return FindTopLevel(tool.Id(), L"TessivaneMainWindow") != nullptr; }));
    }
}

TEST(LookE2e, SampleSkinColoursTheWindowAndButtons) {
    const SkinBesideTool skin;
    Tool tool(SkinBesideTool::Program());
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
        Tool tool(hidden ? SkinBesideTool::Program() : BuildFolder() / L"Tessivane.exe");
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
