// The items window under Wine, on Registry Editor's own list view and tree: opened from the
// results list by a double-click and by Enter, its title and its Copy checked against the
// controls read from outside.
#include <windows.h>
#include <commctrl.h>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"

namespace {

constexpr wchar_t kStartButton[] = L"Start Extracting From Selected Window (Above)";
constexpr wchar_t kItemsWindowClass[] = L"TessivaneItemsWindow";
constexpr int kItemsCopyButton = 2001;

std::wstring DecimalHandle(HWND window) {
    return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)));
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found = nullptr;
    } search{className};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto& search = *reinterpret_cast<Search*>(data);
            wchar_t name[64] = L"";
            GetClassNameW(child, name, 64);
            if (std::wstring(name) == search.className) {
                search.found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The results row of the window with that handle.
int ResultsRowOf(const RemoteList& results, HWND window) {
    const std::wstring handle = DecimalHandle(window);
    for (int row = 0; row < results.RowCount(); ++row) {
        if (results.Cell(row, 1) == handle) {
            return row;
        }
    }
    return -1;
}

// The tool's items window whose title names control, once its read has ended.
HWND WaitForItemsWindow(Tool& tool, const std::wstring& className, HWND control) {
    const std::wstring stem =
        L"Items of " + className + L" " + DecimalHandle(control) + L" \u2014 ";
    HWND found = nullptr;
    WaitUntil([&] {
        found = FindTopLevel(tool.Program().Id(), kItemsWindowClass);
        const std::wstring title = found != nullptr ? WindowText(found) : L"";
        return title.starts_with(stem) && !title.ends_with(L"reading");
    });
    return found;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

std::wstring CopiedText(HWND itemsWindow) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    SendMessageW(GetDlgItem(itemsWindow, kItemsCopyButton), BM_CLICK, 0, 0);
    std::wstring text;
    WaitUntil([&] { return !(text = ClipboardText()).empty(); });
    return text;
}

}  // namespace

TEST(ItemsE2e, RegistryEditorsListAndTreeOpenInItemsWindowsThatCopyTheirItems) {
    Process regedit(L"regedit.exe");
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (editor = FindTopLevel(regedit.Id(), L"RegEdit_RegEdit")) != nullptr; }));
    const HWND listView = FindChildOfClass(editor, L"SysListView32");
    const HWND tree = FindChildOfClass(editor, L"SysTreeView32");
    ASSERT_NE(listView, nullptr);
    ASSERT_NE(tree, nullptr);
    // HKEY_CURRENT_USER, whose values the list shows: at least its default value.
    const auto step = [&](LPARAM item, WPARAM flag) {
        return SendMessageW(tree, TVM_GETNEXTITEM, flag, item);
    };
    const LPARAM currentUser = step(step(step(0, TVGN_ROOT), TVGN_CHILD), TVGN_NEXT);
    ASSERT_NE(currentUser, 0);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, currentUser);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0) > 0; }));
    Tool tool;
    SelectWindow(tool, DecimalHandle(editor));
    tool.ClickAndWait(kStartButton);
    const RemoteList results = tool.Results();
    const int listRow = ResultsRowOf(results, listView);
    ASSERT_GE(listRow, 0);

    // A double-click on the list view's row opens its items.
    results.DoubleClick(listRow);
    const HWND listItems = WaitForItemsWindow(tool, L"SysListView32", listView);
    ASSERT_NE(listItems, nullptr);
    const RemoteList shown(listView, regedit.Handle());
    const auto rows = shown.Rows();
    EXPECT_TRUE(WindowText(listItems).ends_with(L" \u2014 " + std::to_wstring(rows.size()) +
                                                (rows.size() == 1 ? L" item" : L" items")));
    std::vector<std::wstring> expected{L""};
    for (int column = 0; column < shown.ColumnCount(); ++column) {
        expected[0] += (column == 0 ? L"" : L"\t") + shown.Header(column);
    }
    for (const auto& row : rows) {
        std::wstring line;
        for (std::size_t cell = 0; cell < row.size(); ++cell) {
            line += (cell == 0 ? L"" : L"\t") + row[cell];
        }
        expected.push_back(line);
    }
    EXPECT_EQ(Lines(CopiedText(listItems)), expected);
    SaveScreenshot(listItems, BuildFolder() / L"artifacts" / L"items-list-view.bmp");

    // Enter on the tree's row opens the tree's items, depth first with their depths.
    const int treeRow = ResultsRowOf(results, tree);
    ASSERT_GE(treeRow, 0);
    results.Click(treeRow);
    results.PressEnter();
    const HWND treeItems = WaitForItemsWindow(tool, L"SysTreeView32", tree);
    ASSERT_NE(treeItems, nullptr);
    const auto count = SendMessageW(tree, TVM_GETCOUNT, 0, 0);
    EXPECT_TRUE(WindowText(treeItems).ends_with(L" \u2014 " + std::to_wstring(count) + L" items"));
    const std::vector<std::wstring> lines = Lines(CopiedText(treeItems));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_EQ(lines[0], L"Depth\t");
    EXPECT_TRUE(lines[1].starts_with(L"0\t"));
    SaveScreenshot(treeItems, BuildFolder() / L"artifacts" / L"items-tree.bmp");
}
