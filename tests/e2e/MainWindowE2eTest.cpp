// The real tool under Wine: its window layout, keyboard order and the window list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "win32/Win32Settings.h"
#include "wingui/MenuCommands.h"

namespace {

constexpr int kStatusLineId = 104;

// The status line's text, which its control answers and the system does not keep.
std::wstring StatusText(HWND status) {
    wchar_t text[256] = L"";
    SendMessageW(status, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(int twips) {
    return MulDiv(twips, ScreenDpi(), 1440);
}

RECT ClientBounds(HWND main, HWND control) {
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void ExpectAt(HWND main, HWND control, int left, int top, int width, int height) {
    const RECT bounds = ClientBounds(main, control);
    EXPECT_EQ(bounds.left, Px(left));
    EXPECT_EQ(bounds.top, Px(top));
    EXPECT_EQ(bounds.right, Px(left + width));
    EXPECT_EQ(bounds.bottom, Px(top + height));
}

}  // namespace

TEST(MainWindowE2e, LayoutFollowsTheTwipsTable) {
    Tool tool;
    const HWND main = tool.Main();
    EXPECT_EQ(WindowText(main), L"Tessivane Window Text Reader 2021");
    RECT client;
    GetClientRect(main, &client);
    // The layout, and under it the status line across the window.
    const RECT status = ClientBounds(main, GetDlgItem(main, kStatusLineId));
    EXPECT_EQ(client.right, Px(15960));
    EXPECT_EQ(client.bottom, Px(4485) + (status.bottom - status.top));
    EXPECT_EQ(status.top, Px(4485));
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_MINIMIZEBOX),
              WS_MAXIMIZEBOX | WS_THICKFRAME | WS_MINIMIZEBOX);

    ExpectAt(main, GetDlgItem(main, 101), 120, 120, 7800, 3225);
    ExpectAt(main, GetDlgItem(main, 103), 8040, 120, 7800, 3225);
    ExpectAt(main, tool.Button(L"Refresh List"), 120, 3450, 7800, 405);
    ExpectAt(main, tool.Button(kStartButton), 120, 3975, 7800, 405);
    ExpectAt(main, tool.Button(L"Save Results As Text File"), 8040, 3450, 3840, 405);
    ExpectAt(main, tool.Button(L"Save Results As Excel File"), 12000, 3450, 3840, 405);
    ExpectAt(main, tool.Button(L"Copy Results To Clipboard"), 8040, 3975, 3840, 405);
    ExpectAt(main, tool.Button(L"Clear Results"), 12000, 3975, 3840, 405);

    for (const int id : {101, 103}) {
        EXPECT_EQ(GetWindowLongW(GetDlgItem(main, id), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    }
    const auto extended = [&](int id) {
        return SendMessageW(GetDlgItem(main, id), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    };
    EXPECT_EQ(extended(101) & LVS_EX_CHECKBOXES, 0);
    EXPECT_NE(extended(103) & LVS_EX_CHECKBOXES, 0);

    const RemoteList results = tool.Results();
    ASSERT_EQ(results.ColumnCount(), 3);
    EXPECT_EQ(results.Header(0), L"Class Name");
    EXPECT_EQ(results.Header(1), L"Handle");
    EXPECT_EQ(results.Header(2), L"Text");
    EXPECT_EQ(results.ColumnWidth(0), Px(1700));
    EXPECT_EQ(results.ColumnWidth(1), Px(1500));
    EXPECT_EQ(results.ColumnWidth(2), Px(3800));
    SaveScreenshot(main, BuildFolder() / L"artifacts" / L"main-window.bmp");
}

// The window grows from its laid-out size, never below it; the status line counts the results
// while a walk reads them and after.
TEST(MainWindowE2e, GrowsFromTheLayoutAndItsStatusLineCountsTheResults) {
    TargetFixture fixture(L"tree", L"--wide 3000 --hung");
    Tool tool;
    const HWND main = tool.Main();
    const HWND status = GetDlgItem(main, kStatusLineId);
    SelectWindow(tool, fixture.Lines().at(0).at(1));
    auto click = tool.Click(kStartButton);
    EXPECT_TRUE(WaitUntil([&] { return StatusText(status).starts_with(L"Reading: "); }, 10s))
        << StatusText(status);
    const auto note = tool.WaitForMessageBox(60s);
    ASSERT_TRUE(note.has_value());
    Tool::Answer(*note, IDOK);
    click.get();
    const std::wstring rows = std::to_wstring(tool.Results().RowCount());
    EXPECT_TRUE(WaitUntil([&] { return StatusText(status) == rows + L" rows, none ticked"; }, 2s))
        << StatusText(status);
    tool.Results().ClickTick(0);
    EXPECT_TRUE(WaitUntil([&] { return StatusText(status) == rows + L" rows, 1 ticked"; }, 2s))
        << StatusText(status);

    RECT laidOut{};
    GetWindowRect(main, &laidOut);
    const auto size = [&](int width, int height) {
        SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOZORDER);
        RECT now{};
        GetWindowRect(main, &now);
        return SIZE{now.right - now.left, now.bottom - now.top};
    };
    const int width = laidOut.right - laidOut.left;
    const int height = laidOut.bottom - laidOut.top;
    const RECT list = ClientBounds(main, GetDlgItem(main, 101));
    const RECT results = ClientBounds(main, GetDlgItem(main, 103));
    const RECT clear = ClientBounds(main, tool.Button(L"Clear Results"));
    const int textWidth = tool.Results().ColumnWidth(2);
    const SIZE grown = size(width + 150, height + 200);
    EXPECT_EQ(grown.cx, width + 150);
    const RECT grownList = ClientBounds(main, GetDlgItem(main, 101));
    const RECT grownResults = ClientBounds(main, GetDlgItem(main, 103));
    const RECT grownClear = ClientBounds(main, tool.Button(L"Clear Results"));
    EXPECT_EQ((grownList.right - grownList.left) + (grownResults.right - grownResults.left),
              (list.right - list.left) + (results.right - results.left) + 150);
    EXPECT_EQ(grownResults.bottom - grownResults.top, results.bottom - results.top + 200);
    EXPECT_EQ(grownClear.top, clear.top + 200);
    EXPECT_EQ(grownClear.right, clear.right + 150);
    // The results' Text column takes the results list's extra width.
    EXPECT_EQ(tool.Results().ColumnWidth(2) - textWidth,
              (grownResults.right - grownResults.left) - (results.right - results.left));
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(ClientBounds(main, status).bottom, client.bottom);
    ShowWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoi(fixture.Lines()[0][1]))),
               SW_MINIMIZE);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Sleep(500);  // repainted at the new size
    SaveScreenshot(main, BuildFolder() / L"artifacts" / L"main-window-grown.bmp");

    const SIZE smallest = size(200, 100);
    EXPECT_EQ(smallest.cx, width);
    EXPECT_EQ(smallest.cy, height);
    ShowWindow(main, SW_MAXIMIZE);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT maximised = ClientBounds(main, GetDlgItem(main, 103));
            return maximised.right - maximised.left > grownResults.right - grownResults.left;
        },
        3s));
}

TEST(MainWindowE2e, AStopStaysOnTheStatusLineUntilTheResultsChange) {
    TargetFixture fixture(L"tree", L"--wide 3000 --hung");
    Tool tool;
    const HWND status = GetDlgItem(tool.Main(), kStatusLineId);
    SelectWindow(tool, fixture.Lines().at(0).at(1));
    auto start = tool.Click(kStartButton);
    ASSERT_TRUE(WaitUntil([&] { return StatusText(status).starts_with(L"Reading: "); }, 10s));
    tool.Click(L"Stop").get();
    const auto note = tool.WaitForMessageBox(30s);
    ASSERT_TRUE(note.has_value());
    Tool::Answer(*note, IDOK);
    start.get();
    const int rows = tool.Results().RowCount();
    const std::wstring stopped = L"Stopped after " + std::to_wstring(rows) + L" windows";
    EXPECT_TRUE(note->text.starts_with(stopped + L".")) << note->text;
    EXPECT_TRUE(WaitUntil([&] { return StatusText(status) == stopped; }, 2s)) << StatusText(status);
    tool.Results().ClickTick(0);
    EXPECT_TRUE(WaitUntil(
        [&] { return StatusText(status) == std::to_wstring(rows) + L" rows, 1 ticked"; }, 2s))
        << StatusText(status);
}

namespace {

// Closes the tool as its user does and waits until it has ended.
void CloseTool(Tool& tool) {
    PostMessageW(tool.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(tool.Program().HasExited(10s));
}

RECT WindowBounds(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds;
}

}  // namespace

// The menus' ticks live in the tool's process under Wine, out of another program's reach: the
// test sees what they do, in the lists.
TEST(MainWindowE2e, KeepsItsPlaceColumnWidthsAndViewTicksAcrossARestart) {
    const std::filesystem::path program = BuildFolder() / L"Tessivane.exe";
    TargetFixture owning(L"toplevel");
    TargetFixture tree(L"tree");
    RECT placed{};
    {
        Tool tool;
        const HWND main = tool.Main();
        const RECT laidOut = WindowBounds(main);
        SetWindowPos(main, nullptr, 37, 29, laidOut.right - laidOut.left + 120,
                     laidOut.bottom - laidOut.top + 80, SWP_NOZORDER);
        SendMessageW(GetDlgItem(main, 103), LVM_SETCOLUMNWIDTH, 0, 150);
        SendMessageW(main, WM_COMMAND, MenuCommandId::kShowAllWindows, 0);
        SendMessageW(main, WM_COMMAND, MenuCommandId::kShowDepth, 0);
        placed = WindowBounds(main);
        CloseTool(tool);
    }
    {
        Tool tool(program, KeptSettings::kKept);
        const HWND main = tool.Main();
        const RECT now = WindowBounds(main);
        EXPECT_EQ(std::tuple(now.left, now.top, now.right, now.bottom),
                  std::tuple(placed.left, placed.top, placed.right, placed.bottom));
        EXPECT_EQ(tool.Results().ColumnWidth(0), 150);
        // Show All Windows lists the owned window; without Show Depth no row is indented.
        const auto windows = tool.WindowList().Rows();
        EXPECT_TRUE(std::any_of(windows.begin(), windows.end(), [](const auto& row) {
            return row.at(0) == L"Tessivane Fixture Owned [owned]";
        }));
        SelectWindow(tool, tree.Lines().at(0).at(1));
        tool.ClickAndWait(kStartButton);
        const RemoteList results = tool.Results();
        ASSERT_GE(results.RowCount(), 2);
        for (int row = 0; row < results.RowCount(); ++row) {
            EXPECT_EQ(results.Indent(row), 0) << row;
        }
        ShowWindow(main, SW_MAXIMIZE);
        CloseTool(tool);
    }
    {
        Tool tool(program, KeptSettings::kKept);
        EXPECT_TRUE(IsZoomed(tool.Main()));
        ShowWindow(tool.Main(), SW_RESTORE);
        const RECT restored = WindowBounds(tool.Main());
        EXPECT_EQ(std::tuple(restored.left, restored.top, restored.right, restored.bottom),
                  std::tuple(placed.left, placed.top, placed.right, placed.bottom));
    }
    // A place on a monitor that is gone opens on the screen, as large as it was.
    const auto keep = [](const wchar_t* name, DWORD value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
    };
    keep(L"WindowLeft", 5000);
    keep(L"WindowRight", 5000 + static_cast<DWORD>(placed.right - placed.left));
    keep(L"WindowMaximized", 0);
    Tool tool(program, KeptSettings::kKept);
    const RECT moved = WindowBounds(tool.Main());
    EXPECT_EQ(moved.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(moved.right - moved.left, placed.right - placed.left);
    EXPECT_EQ(moved.top, placed.top);
}

TEST(MainWindowE2e, TabVisitsTheControlsInTheLayoutsOrder) {
    TargetFixture fixture(L"tree");  // a row in the window list
    Tool tool;
    const DWORD thread = GetWindowThreadProcessId(tool.Main(), nullptr);
    const auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(thread, &info);
        return info.hwndFocus;
    };
    const auto press = [&](WPARAM key) {
        const HWND before = focus();
        PostMessageW(before, WM_KEYDOWN, key, 0);
        PostMessageW(before, WM_KEYUP, key, 0xC0000001);
        WaitUntil([&] { return focus() != before; }, 3s);
        return GetDlgCtrlID(focus());
    };
    // The window gives the focus to its first control once it is active.
    ASSERT_TRUE(WaitUntil([&] { return GetDlgCtrlID(focus()) == 101; }));
    std::vector<int> visited;
    for (int step = 0; step < 8; ++step) {
        visited.push_back(press(VK_TAB));
    }
    // The results list, the left buttons, the right ones two by two, back to the window list.
    EXPECT_EQ(visited, (std::vector<int>{103, 1001, 1002, 1006, 1003, 1004, 1005, 101}));
    // The list that Tab reached shows where the focus is: a row of it has the focus rectangle.
    EXPECT_GE(SendMessageW(focus(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    Sleep(300);  // painted
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"window-list-focused.bmp");

    // Enter presses the focused button: "Refresh List" now lists the tool's own window too.
    const int listed = tool.WindowList().RowCount();
    press(VK_TAB);
    ASSERT_EQ(press(VK_TAB), 1001);
    PostMessageW(focus(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(focus(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_TRUE(WaitUntil([&] { return tool.WindowList().RowCount() == listed + 1; }, 5s));
}

TEST(MainWindowE2e, WindowListShowsVisibleUnownedTitledWindows) {
    TargetFixture fixture(L"toplevel");
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> truth;  // kind -> handle, title
    for (const auto& line : fixture.Lines()) {
        ASSERT_EQ(line.size(), 3u);
        truth[line[0]] = {line[1], line[2]};
    }
    Tool tool;
    const RemoteList list = tool.WindowList();
    ASSERT_EQ(list.ColumnCount(), 2);
    EXPECT_EQ(list.Header(0), L" Window");
    EXPECT_EQ(list.Header(1), L"Handle");
    EXPECT_EQ(list.ColumnWidth(0), Px(7000));
    EXPECT_EQ(list.ColumnWidth(1), 0);

    const auto rows = list.Rows();
    const auto rowOf = [&](const std::wstring& handle) {
        return std::find_if(rows.begin(), rows.end(),
                            [&](const auto& row) { return row[1] == handle; });
    };
    for (const wchar_t* listed : {L"titled", L"blank", L"long", L"unicode"}) {
        const auto& [handle, title] = truth.at(listed);
        const auto row = rowOf(handle);
        ASSERT_NE(row, rows.end()) << listed;
        EXPECT_EQ((*row)[0], title.substr(0, 79)) << listed;
        EXPECT_EQ(
            std::count_if(rows.begin(), rows.end(), [&](const auto& r) { return r[1] == handle; }),
            1);
    }
    EXPECT_EQ(rowOf(truth.at(L"long").first)->at(0).size(), 79u);
    for (const wchar_t* hidden : {L"untitled", L"owned", L"invisible"}) {
        EXPECT_EQ(rowOf(truth.at(hidden).first), rows.end()) << hidden;
    }
    // The tool's own window was not shown yet when the list was first filled.
    const std::wstring self =
        std::to_wstring(static_cast<int>(reinterpret_cast<INT_PTR>(tool.Main())));
    EXPECT_EQ(rowOf(self), rows.end());

    tool.ClickAndWait(L"Refresh List");
    const auto refreshed = list.Rows();
    EXPECT_EQ(refreshed.size(), rows.size() + 1);
    EXPECT_NE(std::find_if(refreshed.begin(), refreshed.end(),
                           [&](const auto& row) {
                               return row[1] == self &&
                                      row[0] == L"Tessivane Window Text Reader 2021";
                           }),
              refreshed.end());
    tool.ClickAndWait(L"Refresh List");
    EXPECT_EQ(list.Rows(), refreshed);
}

TEST(MainWindowE2e, ProgramFileCarriesTheFourImageIcon) {
    const HMODULE program =
        LoadLibraryExW((BuildFolder() / L"Tessivane.exe").c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    // The icon directory: three WORDs, then 14-byte entries (width, height, colours, reserved,
    // planes, bits per pixel, size, id).
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    std::vector<std::pair<int, int>> images;  // size, bits per pixel
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + i * 14;
        images.push_back(
            {entry[0] == 0 ? 256 : entry[0], *reinterpret_cast<const WORD*>(entry + 6)});
    }
    EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{32, 24}, {48, 32}, {128, 32}, {256, 32}}));
    FreeLibrary(program);
}
