// The menu bar under Wine: its menus above the unchanged client area, its commands run by id and
// by their keys, the ticks of many rows at once, the selection that Refresh keeps and the windows
// that Show All Windows adds, Find and type-to-find.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "core/Delimited.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"
#include "wingui/MenuCommands.h"

namespace {

bool HasLoaded(HANDLE process, const wchar_t* library) {
    HMODULE modules[512];
    DWORD bytes = 0;
    EnumProcessModules(process, modules, sizeof(modules), &bytes);
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t name[MAX_PATH];
        if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) != 0 &&
            _wcsicmp(name, library) == 0) {
            return true;
        }
    }
    return false;
}

constexpr int kWindowListId = 101;

int SelectedIndex(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

// Presses a key on the tool's focused control, as the keyboard does.
void PressKey(const Tool& tool, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(tool.Main(), nullptr), &info);
    const HWND focus = info.hwndFocus != nullptr ? info.hwndFocus : tool.Main();
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// Posts the menu command, as a click on its item does, so the test can answer the boxes it shows.
void Post(const Tool& tool, int command) {
    PostMessageW(tool.Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// Runs a menu command that shows no box, and answers once the tool has run it.
void Choose(const Tool& tool, int command) {
    SendMessageW(tool.Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::wstring Csv(const std::vector<std::wstring>& cells) {
    Text line;
    for (const std::wstring& cell : cells) {
        if (&cell != &cells.front()) {
            line += u',';
        }
        AppendDelimitedCell(line, Text(cell.begin(), cell.end()), u',');
    }
    return std::wstring(line.begin(), line.end()) + L"\r\n";
}

bool AllTicked(const RemoteList& list, bool ticked) {
    for (int row = 0; row < list.RowCount(); ++row) {
        if (list.Ticked(row) != ticked) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Menus live in the tool's process under Wine, out of another program's reach: the test sees the
// bar's place, and runs the items by their ids.
TEST(MenuE2e, WindowGrowsByOneLineOfMenuBarAboveTheLayoutsClientArea) {
    Tool tool;
    ASSERT_NE(GetMenu(tool.Main()), nullptr);
    // The window is its client area, its frame and one line of menu bar.
    RECT window;
    RECT client;
    GetWindowRect(tool.Main(), &window);
    GetClientRect(tool.Main(), &client);
    RECT framed = client;
    AdjustWindowRectEx(&framed, static_cast<DWORD>(GetWindowLongW(tool.Main(), GWL_STYLE)), TRUE,
                       0);
    EXPECT_EQ(window.right - window.left, framed.right - framed.left);
    EXPECT_EQ(window.bottom - window.top, framed.bottom - framed.top);
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"main-window-menu.bmp");

    // The Help boxes: no line of a command is wrapped, and no made-up address is given.
    for (const int command : {MenuCommandId::kCommandLineHelp, MenuCommandId::kAbout}) {
        Post(tool, command);
        const auto box = tool.WaitForMessageBox(5s);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text.find(L"example"), std::wstring::npos) << box->text;
        for (std::size_t start = 0; start < box->text.size();) {
            const std::size_t end = std::min(box->text.find(L"\r\n", start), box->text.size());
            const std::wstring line = box->text.substr(start, end - start);
            EXPECT_LE(line.size(), line.starts_with(L"        ") ? 60u : 100u) << line;
            start = end + 2;
        }
        SaveScreenshot(box->window, BuildFolder() / L"artifacts" /
                                        (L"help-" + std::to_wstring(command) + L".bmp"));
        Tool::Answer(*box, IDOK);
    }
}

TEST(MenuE2e, RefreshKeepsTheSelectedWindowWhenItsRowMoves) {
    TargetFixture fixture(L"tree");
    Tool tool;
    const RemoteList windows = tool.WindowList();
    const std::wstring handle = fixture.Lines()[0][1];
    SelectWindow(tool, handle);
    const int listed = windows.RowCount();
    // The first refresh lists the tool's own window too, above the others.
    Choose(tool, MenuCommandId::kRefreshList);
    ASSERT_TRUE(WaitUntil([&] { return windows.RowCount() == listed + 1; }, 5s));
    const HWND list = GetDlgItem(tool.Main(), kWindowListId);
    const int selected = SelectedIndex(list);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(windows.Cell(selected, 1), handle);
    // F5 refreshes too, listing a new window, and keeps the selection again.
    TargetFixture another(L"tree");
    PressKey(tool, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return windows.RowCount() == listed + 2; }, 5s));
    EXPECT_EQ(windows.Cell(SelectedIndex(list), 1), handle);
}

TEST(MenuE2e, ShowAllWindowsListsOwnedUntitledAndHiddenWindowsMarkedAndTheOwnedOneIsRead) {
    TargetFixture fixture(L"toplevel");
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> truth;  // kind -> handle, title
    for (const auto& line : fixture.Lines()) {
        truth[line.at(0)] = {line.at(1), line.at(2)};
    }
    Tool tool;
    const RemoteList windows = tool.WindowList();
    const auto titleOf = [&](const wchar_t* kind) -> std::optional<std::wstring> {
        for (const auto& row : windows.Rows()) {
            if (row.at(1) == truth.at(kind).first) {
                return row.at(0);
            }
        }
        return std::nullopt;
    };
    ASSERT_FALSE(titleOf(L"owned").has_value());
    Choose(tool, MenuCommandId::kShowAllWindows);
    EXPECT_EQ(GetMenuState(GetMenu(tool.Main()), MenuCommandId::kShowAllWindows, MF_BYCOMMAND) &
                  MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(titleOf(L"owned"), L"Tessivane Fixture Owned [owned]");
    EXPECT_EQ(titleOf(L"invisible"), L"Tessivane Fixture Invisible [hidden]");
    EXPECT_EQ(titleOf(L"untitled"), L"(TessivaneFixtureTop) [untitled]");
    EXPECT_EQ(titleOf(L"titled"), L"Tessivane Fixture Titled");

    SelectWindow(tool, truth.at(L"owned").first);
    tool.ClickAndWait(kStartButton);
    const auto rows = tool.Results().Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"TessivaneFixtureTop", truth.at(L"owned").first,
                                                  L"Tessivane Fixture Owned"}));
    // Off again, the plain list is back.
    Choose(tool, MenuCommandId::kShowAllWindows);
    EXPECT_FALSE(titleOf(L"owned").has_value());
}

TEST(MenuE2e, FindAndF3SelectTheRowsHoldingATextAndTypingFindsAClassName) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    const auto rows = results.Rows();
    // The rows holding "static" in any cell, whatever its case, as Find should visit them.
    std::vector<int> holding;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::wstring cell : rows[row]) {
            std::transform(cell.begin(), cell.end(), cell.begin(), towlower);
            if (cell.find(L"static") != std::wstring::npos) {
                holding.push_back(static_cast<int>(row));
                break;
            }
        }
    }
    ASSERT_GE(holding.size(), 2u);
    const HWND list = GetDlgItem(run.tool.Main(), kResultsId);
    // The dialogs' library, and the printing system it brings, is loaded with the first dialog.
    EXPECT_FALSE(HasLoaded(run.tool.Program().Handle(), L"comdlg32.dll"));

    Post(run.tool, MenuCommandId::kFind);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = FindTopLevel(run.tool.Program().Id(), L"#32770")) != nullptr; },
        5s));
    EXPECT_TRUE(HasLoaded(run.tool.Program().Handle(), L"comdlg32.dll"));
    constexpr int kFindWhat = 0x480;  // the Find dialog's edit box
    SendMessageW(GetDlgItem(dialog, kFindWhat), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"STATIC"));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return SelectedIndex(list) == holding[0]; }, 5s));
    SaveScreenshot(dialog, BuildFolder() / L"artifacts" / L"find-dialog.bmp");
    // With the focus in the dialog, moved off the list, the found row keeps the selection's
    // colours, not the pale ones of a list without the focus.
    RECT box{};
    GetWindowRect(dialog, &box);
    SetWindowPos(dialog, nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - (box.bottom - box.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(300);  // painted
    const RECT found = results.RowBounds(holding[0]);
    // The row may reach past the list's right edge, its class names shown whole.
    RECT client{};
    GetClientRect(list, &client);
    POINT inFound{std::min(found.right, client.right) - 4, (found.top + found.bottom) / 2};
    ClientToScreen(list, &inFound);
    const HDC screen = GetDC(nullptr);
    const COLORREF shown = GetPixel(screen, inFound.x, inFound.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(shown, GetSysColor(COLOR_HIGHLIGHT));
    SaveScreenshot(run.tool.Main(), BuildFolder() / L"artifacts" / L"found-row-while-finding.bmp");
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5s));
    // F3 finds the next one with the dialog closed.
    Choose(run.tool, MenuCommandId::kFindNext);
    EXPECT_EQ(SelectedIndex(list), holding[1]);

    // Typing a class name in the list selects the row that starts with it.
    const auto unique = std::find_if(rows.begin(), rows.end(), [&](const auto& row) {
        return std::count_if(rows.begin(), rows.end(),
                             [&](const auto& other) { return other[0] == row[0]; }) == 1;
    });
    ASSERT_NE(unique, rows.end());
    for (const wchar_t letter : unique->at(0)) {
        SendMessageW(list, WM_CHAR, letter, 1);
    }
    EXPECT_EQ(SelectedIndex(list), static_cast<int>(unique - rows.begin())) << unique->at(0);

    // In the window list, which now holds the tool's own window too, a typed blank is part of
    // the text: "Tessivane F" and "Tessivane W" find different rows.
    Choose(run.tool, MenuCommandId::kRefreshList);
    const HWND windows = GetDlgItem(run.tool.Main(), kWindowListId);
    const auto titles = run.tool.WindowList().Rows();
    for (const std::wstring typed : {L"Tessivane F", L"Tessivane W"}) {
        Sleep(1100);  // a pause ends the text typed before
        for (const wchar_t letter : typed) {
            SendMessageW(windows, WM_CHAR, letter, 1);
        }
        const int selected = SelectedIndex(windows);
        ASSERT_GE(selected, 0) << typed;
        EXPECT_EQ(titles[static_cast<std::size_t>(selected)][0].rfind(typed, 0), 0u) << typed;
    }
}

TEST(MenuE2e, RowsAreIndentedByTheirWindowsDepthUntilShowDepthIsUnticked) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    // The root's line, then a line for each row: depth, handle, class, text, flag.
    const auto lines = run.fixture.Lines();
    ASSERT_EQ(static_cast<std::size_t>(results.RowCount()), lines.size() - 1);
    ASSERT_GE(results.RowCount(), 2);
    const auto labelLeft = [&](int row) { return results.RowBounds(row, LVIR_LABEL).left; };
    for (int row = 0; row < results.RowCount(); ++row) {
        const int depth = std::stoi(lines[static_cast<std::size_t>(row) + 1].at(0));
        EXPECT_EQ(results.Indent(row), depth) << row;
        EXPECT_EQ(labelLeft(row) > labelLeft(0), depth > 0) << row;
    }
    SaveScreenshot(run.tool.Main(), BuildFolder() / L"artifacts" / L"results-by-depth.bmp");

    Choose(run.tool, MenuCommandId::kShowDepth);
    for (int row = 0; row < results.RowCount(); ++row) {
        EXPECT_EQ(results.Indent(row), 0) << row;
        EXPECT_EQ(labelLeft(row), labelLeft(0)) << row;
    }
}

TEST(MenuE2e, TickAllUntickAllSpaceOnASelectionAndTheHeaderBoxTickManyRows) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    const int rows = results.RowCount();
    ASSERT_GE(rows, 3);
    EXPECT_EQ(results.HeaderImage(0), 0);  // the header's tick box, unticked
    Choose(run.tool, MenuCommandId::kTickAll);
    EXPECT_TRUE(AllTicked(results, true));
    EXPECT_EQ(results.HeaderImage(0), 1);

    // Copy from the menu gives what the button gives after every row is ticked by hand.
    const auto copy = [&](const std::function<void()>& start) {
        start();
        const auto box = run.tool.WaitForMessageBox();
        if (box) {
            Tool::Answer(*box, IDOK);
        }
        return ClipboardText();
    };
    const std::wstring allTicked =
        copy([&] { Post(run.tool, MenuCommandId::kCopyResultsToClipboard); });
    for (int row = 0; row < rows; ++row) {
        EXPECT_NE(allTicked.find(results.Cell(row, 1)), std::wstring::npos) << "row " << row;
    }

    Choose(run.tool, MenuCommandId::kUntickAll);
    EXPECT_TRUE(AllTicked(results, false));
    EXPECT_EQ(results.HeaderImage(0), 0);
    for (int row = 0; row < rows; ++row) {
        results.ClickTick(row);
    }
    EXPECT_EQ(results.HeaderImage(0), 1);  // ticked one by one, all are
    std::future<void> click;
    EXPECT_EQ(copy([&] { click = run.tool.Click(L"Copy Results To Clipboard"); }), allTicked);
    click.get();
    Choose(run.tool, MenuCommandId::kUntickAll);

    // Space on rows 0 and 2 selected ticks both, and again unticks both; row 1 stays.
    results.Select(0);
    results.Select(2);
    const HWND list = GetDlgItem(run.tool.Main(), kResultsId);
    for (const bool ticked : {true, false}) {
        SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_EQ(results.Ticked(0), ticked);
        EXPECT_FALSE(results.Ticked(1));
        EXPECT_EQ(results.Ticked(2), ticked);
    }

    // A click on any cell but the tick box selects that row alone and ticks nothing.
    for (const int column : {0, 1, 2}) {
        results.Click(1, column);
        EXPECT_EQ(SelectedIndex(list), 1) << "column " << column;
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1) << "column " << column;
        EXPECT_FALSE(results.Ticked(1)) << "column " << column;
    }

    // The header's tick box ticks every row, then unticks them all.
    results.ClickHeader(0);
    EXPECT_TRUE(AllTicked(results, true));
    EXPECT_EQ(results.HeaderImage(0), 1);
    results.ClickHeader(0);
    EXPECT_TRUE(AllTicked(results, false));
    EXPECT_EQ(results.HeaderImage(0), 0);
}

TEST(MenuE2e, SaveResultsAsWritesEveryRowAsUtf8CsvOrEscapedTabSeparatedTextByTheChosenType) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    const auto rows = results.Rows();
    ASSERT_FALSE(rows.empty());
    const std::filesystem::path stem =
        ScratchRoot() / (L"results-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(stem.parent_path());
    for (const wchar_t* extension : {L".csv", L".txt"}) {
        std::filesystem::remove(std::filesystem::path(stem).concat(extension));
    }
    std::wstring csv = Csv({L"Class Name", L"Handle", L"Text"});
    std::wstring tabbed;
    for (const auto& row : rows) {
        csv += Csv(row);
        tabbed += EscapeField(row[0]) + L"\t" + EscapeField(row[1]) + L"\t" + EscapeField(row[2]) +
                  L"\t\r\n";
    }
    // Rows ticked or not, all of them; the fixture's label holds Greek, CJK and a character
    // outside the BMP, and its multi-line edit a tab and line breaks, escaped.
    EXPECT_NE(tabbed.find(L"\U0001D11E"), std::wstring::npos);
    EXPECT_NE(tabbed.find(L"First line\\r\\nSecond\\tline with tab"), std::wstring::npos);
    Post(run.tool, MenuCommandId::kSaveResultsAs);
    EXPECT_EQ(SaveThroughDialog(run.tool, L"Save Results As", stem, 0),
              (std::vector<std::wstring>{L"CSV, UTF-8 (*.csv)", L"Unicode Text, UTF-8 (*.txt)"}));
    EXPECT_EQ(WrittenFileBytes(std::filesystem::path(stem).concat(L".csv")),
              std::string(kUtf8ByteOrderMark) + ToUtf8(csv));
    Post(run.tool, MenuCommandId::kSaveResultsAs);
    SaveThroughDialog(run.tool, L"Save Results As", stem, 1);
    EXPECT_EQ(WrittenFileBytes(std::filesystem::path(stem).concat(L".txt")),
              std::string(kUtf8ByteOrderMark) + ToUtf8(tabbed));
}

TEST(MenuE2e, TextFileButtonAsksBeforeLosingCharactersAndSavesUtf8AnsiOrNothing) {
    ExtractedTree run;
    std::wstring tabbed;
    for (const auto& row : run.tool.Results().Rows()) {
        tabbed += row[0] + L"\t" + row[1] + L"\t" + row[2] + L"\t\r\n";
    }
    std::string ansi(tabbed.size() * 2, '\0');
    ansi.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_ACP, 0, tabbed.data(), static_cast<int>(tabbed.size()), ansi.data(),
                            static_cast<int>(ansi.size()), nullptr, nullptr)));
    const std::filesystem::path folder = ScratchRoot();
    std::filesystem::create_directories(folder);
    const std::wstring stem = L"lossy-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (const auto& [answer, name, bytes] :
         {std::tuple{IDYES, stem + L"yes.txt", std::string(kUtf8ByteOrderMark) + ToUtf8(tabbed)},
          std::tuple{IDNO, stem + L"no.txt", ansi},
          std::tuple{IDCANCEL, stem + L"cancel.txt", std::string()}}) {
        const std::filesystem::path path = folder / name;
        std::filesystem::remove(path);
        auto click = run.tool.Click(L"Save Results As Text File");
        // The button's dialog offers exactly its two types.
        EXPECT_EQ(SaveThroughDialog(run.tool, L"Save", path, 0),
                  (std::vector<std::wstring>{L"Text Files (*.txt)", L"All Files (*.*)"}));
        // The count takes a moment on a loaded machine; the button's command waits on the box.
        const auto box = run.tool.WaitForMessageBox(120s);
        ASSERT_TRUE(box.has_value());
        EXPECT_NE(box->text.find(L"characters of the results cannot be written in this system's "
                                 L"code page"),
                  std::wstring::npos);
        EXPECT_EQ(box->buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
        Tool::Answer(*box, answer);
        click.get();
        if (answer == IDCANCEL) {
            EXPECT_FALSE(std::filesystem::exists(path));
        } else {
            EXPECT_EQ(WrittenFileBytes(path), bytes) << "answer " << answer;
        }
    }
}

// Copy Path gives the selected row's path as tessivane-cli's dump of the extracted window writes
// it for the same handle.
TEST(MenuE2e, CopyPathPutsTheSelectedRowsPathAsTheCommandLineWritesIt) {
    ExtractedTree run;
    const RemoteList results = run.tool.Results();
    const int last = results.RowCount() - 1;
    ASSERT_GE(last, 2);
    const ConsoleRun dump =
        RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe",
                          L"dump -f tsv --handle " + results.Cell(0, 1), std::chrono::seconds(120));
    ASSERT_EQ(dump.exitCode, 0u) << dump.error;
    std::map<std::wstring, std::wstring> paths;  // by handle, in decimal
    std::wistringstream lines(FromUtf8(dump.out));
    for (std::wstring line; std::getline(lines, line);) {
        std::vector<std::wstring> cells;
        std::wistringstream cellsOfLine(line);
        for (std::wstring cell; std::getline(cellsOfLine, cell, L'\t');) {
            cells.push_back(cell);
        }
        paths[cells.at(0)] = cells.at(7);
    }
    results.Select(last);
    ASSERT_EQ(SelectedIndex(GetDlgItem(run.tool.Main(), kResultsId)), last);
    Choose(run.tool, MenuCommandId::kCopyPath);
    const std::wstring path = paths.at(results.Cell(last, 1));
    EXPECT_FALSE(path.empty());
    EXPECT_EQ(ClipboardText(), path);
    // The status line says what was copied.
    wchar_t status[512] = L"";
    SendMessageW(GetDlgItem(run.tool.Main(), 104), WM_GETTEXT, std::size(status),
                 reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(status, L"Path copied to the clipboard: " + path);
}

namespace {

// How many pixels of the screen in bounds are darker than the light faces of the window and its
// lists, as text and tick boxes are drawn.
int DarkPixels(const RECT& bounds) {
    const HDC screen = GetDC(nullptr);
    int dark = 0;
    for (LONG y = bounds.top; y < bounds.bottom; ++y) {
        for (LONG x = bounds.left; x < bounds.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            dark += GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 200 ? 1 : 0;
        }
    }
    ReleaseDC(nullptr, screen);
    return dark;
}

}  // namespace

// (Beside the menu tests, which run tessivane-cli too.) Maximised and restored, the window paints
// its status line's text and its rows' tick boxes where
// they now are, and tessivane-cli reads the status line's counts; the Class Name column has grown
// to the deepest class names, up to half the list; resting on a row shows its tip.
TEST(MainWindowE2e, AfterAResizeTheStatusLineAndRowsArePaintedAndClassNamesShowWhole) {
    ExtractedTree run;
    const HWND main = run.tool.Main();
    const HWND status = GetDlgItem(main, 104);
    const HWND list = GetDlgItem(main, kResultsId);
    const std::wstring counts = std::to_wstring(run.tool.Results().RowCount()) + L" rows";
    for (const int show : {SW_MAXIMIZE, SW_RESTORE}) {
        ShowWindow(main, show);
        Sleep(1000);  // painted at the new size
        RECT line{};
        GetWindowRect(status, &line);
        // Where its counts are written.
        line.right = line.left + 120;
        EXPECT_GT(DarkPixels(line), 20) << "the status line is blank after " << show;
        // The first row's tick box, left of its class name.
        RECT row = run.tool.Results().RowBounds(0);
        row.right = run.tool.Results().RowBounds(0, LVIR_ICON).left;
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
        EXPECT_GT(DarkPixels(row), 4) << "no tick box after " << show << " in " << row.left << ","
                                      << row.top << "," << row.right << "," << row.bottom;
        const ConsoleRun dump = RunConsoleProgram(
            BuildFolder() / L"tessivane-cli.exe",
            L"dump -f tsv --handle " + std::to_wstring(reinterpret_cast<std::uintptr_t>(status)),
            60s);
        EXPECT_NE(FromUtf8(dump.out).find(counts), std::wstring::npos) << dump.out;
    }
    SaveScreenshot(main, BuildFolder() / L"artifacts" / L"main-window-restored.bmp");
    RECT client{};
    GetClientRect(list, &client);
    // The fixture's longest class name takes more than half the list: the column stops there.
    EXPECT_EQ(run.tool.Results().ColumnWidth(0), client.right / 2);

    const POINT rest = [&] {
        const RECT bounds = run.tool.Results().RowBounds(1);
        POINT middle{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(list, &middle);
        return middle;
    }();
    SetCursorPos(rest.x - 2, rest.y);
    SetCursorPos(rest.x, rest.y);
    HWND tip = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            tip = FindTopLevel(run.tool.Program().Id(), TOOLTIPS_CLASSW);
            return tip != nullptr;
        },
        5s));
    wchar_t text[512] = L"";
    SendMessageW(tip, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    EXPECT_NE(std::wstring(text).find(L"Path:"), std::wstring::npos) << text;
    SaveScreenshot(main, BuildFolder() / L"artifacts" / L"row-tip.bmp");
}
