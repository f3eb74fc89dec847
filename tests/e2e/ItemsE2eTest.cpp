// The items window under Wine, on Registry Editor's own list view and tree: opened from the
// results list by a double-click and by Enter, its title and its Copy checked against the
// controls read from outside; on every control of the items fixture, built 64-bit and 32-bit,
// each cell, the copy and the saved file checked against the fixture's truth; and on a console
// window's lines, in the items window and tessivane-cli's dump.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "items/ItemsDelimited.h"
#include "items/ItemsReader.h"
#include "tests/e2e/ConsoleRun.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/ItemsFixture.h"
#include "tests/e2e/Truth.h"
#include "tests/e2e/TruthFormat.h"

namespace {

constexpr wchar_t kItemsWindowClass[] = L"TessivaneItemsWindow";
constexpr int kItemsCopyButton = 2001;
constexpr int kItemsSaveAsButton = 2002;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

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
    // Every items window opens over the main window, not in a corner of the screen.
    RECT items{};
    RECT main{};
    if (found != nullptr && GetWindowRect(found, &items) && GetWindowRect(tool.Main(), &main)) {
        EXPECT_TRUE(PtInRect(&main, POINT{items.left, items.top}))
            << "items window at " << items.left << "," << items.top;
        // Its buttons are drawn in the main window's look, not the system's.
        EXPECT_EQ(GetWindowLongW(GetDlgItem(found, kItemsCopyButton), GWL_STYLE) & BS_TYPEMASK,
                  BS_OWNERDRAW);
    }
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

// Saves the items window's items through its save dialog, typing name (without an extension)
// and choosing the type at typeIndex; answers the dialog's types.
std::vector<std::wstring> SaveAs(Tool& tool, HWND itemsWindow, const std::filesystem::path& name,
                                 int typeIndex) {
    PostMessageW(GetDlgItem(itemsWindow, kItemsSaveAsButton), BM_CLICK, 0, 0);
    return SaveThroughDialog(tool, L"Save Items As", name, typeIndex);
}

}  // namespace

// Registry Editor with HKEY_CURRENT_USER selected, whose values its list shows (at least the
// default value), and the tool after it has extracted Registry Editor's window.
class ItemsE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil(
            [&] { return (editor = FindTopLevel(regedit.Id(), L"RegEdit_RegEdit")) != nullptr; }));
        listView = FindChildOfClass(editor, L"SysListView32");
        tree = FindChildOfClass(editor, L"SysTreeView32");
        ASSERT_NE(listView, nullptr);
        ASSERT_NE(tree, nullptr);
        const auto step = [&](LPARAM item, WPARAM flag) {
            return SendMessageW(tree, TVM_GETNEXTITEM, flag, item);
        };
        const LPARAM currentUser = step(step(step(0, TVGN_ROOT), TVGN_CHILD), TVGN_NEXT);
        ASSERT_NE(currentUser, 0);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, currentUser);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0) > 0; }));
        tool.emplace();
        SelectWindow(*tool, DecimalHandle(editor));
        tool->ClickAndWait(kStartButton);
    }

    // The results row of control.
    [[nodiscard]] int ResultsRow(HWND control) const {
        return ResultsRowOf(tool->Results(), control);
    }

    Process regedit{L"regedit.exe"};
    HWND editor = nullptr;
    HWND listView = nullptr;
    HWND tree = nullptr;
    std::optional<Tool> tool;
};

TEST_F(ItemsE2e, RegistryEditorsListAndTreeOpenInItemsWindowsThatCopyTheirItems) {
    const RemoteList results = tool->Results();
    const int listRow = ResultsRow(listView);
    ASSERT_GE(listRow, 0);

    // A double-click on the list view's row opens its items.
    results.DoubleClick(listRow);
    const HWND listItems = WaitForItemsWindow(*tool, L"SysListView32", listView);
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
    const int treeRow = ResultsRow(tree);
    ASSERT_GE(treeRow, 0);
    results.Click(treeRow);
    results.PressEnter();
    const HWND treeItems = WaitForItemsWindow(*tool, L"SysTreeView32", tree);
    ASSERT_NE(treeItems, nullptr);
    const auto count = SendMessageW(tree, TVM_GETCOUNT, 0, 0);
    EXPECT_TRUE(WindowText(treeItems).ends_with(L" \u2014 " + std::to_wstring(count) + L" items"));
    const std::vector<std::wstring> lines = Lines(CopiedText(treeItems));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_EQ(lines[0], L"Depth\t");
    EXPECT_TRUE(lines[1].starts_with(L"0\t"));
    SaveScreenshot(treeItems, BuildFolder() / L"artifacts" / L"items-tree.bmp");
}

namespace {

constexpr int kItemsList = 201;

// The truth's items as the reader's table, for the delimited text a correct window makes of it.
ItemsTable TableOf(const ControlTruth& control) {
    std::vector<Text> captions;
    for (const std::wstring& caption : control.captions) {
        captions.emplace_back(caption.begin(), caption.end());
    }
    ItemsTable table(*ItemsKindOfClass(Text(control.kind.begin(), control.kind.end())),
                     std::move(captions));
    for (std::size_t row = 0; row < control.rows.size(); ++row) {
        std::vector<Text> cells;
        for (const std::wstring& cell : control.rows[row]) {
            cells.emplace_back(cell.begin(), cell.end());
        }
        table.AppendRow(cells, control.depths[row]);
    }
    return table;
}

// The tool after it has extracted the items fixture's window, built 64-bit or 32-bit.
class ItemsWindowE2e : public testing::TestWithParam<FixtureBuild> {
protected:
    void SetUp() override {
        ASSERT_GE(controls.size(), 8u);
        const HWND top = GetAncestor(HwndOf(controls[0]), GA_ROOT);
        SelectWindow(tool, DecimalHandle(top));
        tool.ClickAndWait(kStartButton);
    }

    static HWND HwndOf(const ControlTruth& control) {
        return reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::stol(control.handle)));
    }

    // Opens the control's items window from its results row and waits for its read.
    HWND Open(const ControlTruth& control) {
        const RemoteList results = tool.Results();
        const int row = ResultsRowOf(results, HwndOf(control));
        if (row < 0) {
            return nullptr;
        }
        results.DoubleClick(row);
        wchar_t className[256] = L"";
        GetClassNameW(HwndOf(control), className, 256);
        return WaitForItemsWindow(tool, className, HwndOf(control));
    }

    TargetFixture fixture{L"items", L"", GetParam()};
    std::vector<ControlTruth> controls = ItemsControls(fixture);
    Tool tool;
};

TEST_P(ItemsWindowE2e, EveryControlsItemsWindowShowsExactlyItsItems) {
    // Beside the controls, the icon static's row says what it shows.
    const HWND icon = FindChildOfClass(GetAncestor(HwndOf(controls[0]), GA_ROOT), L"Static");
    const RemoteList results = tool.Results();
    const int iconRow = ResultsRowOf(results, icon);
    ASSERT_GE(iconRow, 0);
    EXPECT_EQ(results.Cell(iconRow, 2), L"(icon " + std::to_wstring(kStaticIconOrdinal) + L")");
    for (const ControlTruth& control : controls) {
        SCOPED_TRACE(control.name);
        const HWND items = Open(control);
        ASSERT_NE(items, nullptr);
        const std::wstring title = WindowText(items);
        if (!control.keepsTexts) {
            EXPECT_TRUE(title.ends_with(L"owner-drawn without texts")) << title;
        } else {
            EXPECT_TRUE(title.ends_with(L" \u2014 " + std::to_wstring(control.count) +
                                        (control.count == 1 ? L" item" : L" items")))
                << title;
        }
        const RemoteList shown(GetDlgItem(items, kItemsList), tool.Program().Handle());
        EXPECT_EQ(shown.Rows(), control.rows);
        // A column the control does not show is shown here, headed as hidden.
        for (std::size_t column = 0; column < control.captions.size(); ++column) {
            const bool hidden =
                std::ranges::find(control.hiddenColumns, column) != control.hiddenColumns.end();
            EXPECT_EQ(shown.Header(static_cast<int>(column)),
                      control.captions[column] + (hidden ? L" (hidden)" : L""));
        }
        if (control.name == L"report") {
            SaveScreenshot(items, BuildFolder() / L"artifacts" / L"items-fixture-report.bmp");
        }
        SendMessageW(items, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(items); }));
    }
}

TEST_P(ItemsWindowE2e, CopyAndSaveAsGiveTheItemsWholeInUnicode) {
    const std::filesystem::path stem =
        ScratchRoot() / (L"items-fixture-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(stem.parent_path());
    for (const wchar_t* name : {L"tree", L"report", L"listbox"}) {
        SCOPED_TRACE(name);
        const ItemsTable truth = TableOf(ItemsControl(fixture, name));
        const ControlTruth control = ItemsControl(fixture, name);
        const HWND items = Open(control);
        ASSERT_NE(items, nullptr);
        const Text tabbed = ItemsDelimitedText(truth, Delimiter::Tab);
        EXPECT_EQ(CopiedText(items), std::wstring(tabbed.begin(), tabbed.end()));
        const std::filesystem::path csv = std::filesystem::path(stem).concat(L".csv");
        const std::filesystem::path txt = std::filesystem::path(stem).concat(L".txt");
        std::filesystem::remove(csv);
        std::filesystem::remove(txt);
        EXPECT_EQ(SaveAs(tool, items, stem, 0),
                  (std::vector<std::wstring>{L"CSV (UTF-8) (*.csv)",
                                             L"Tab-separated text (UTF-8) (*.txt)"}));
        const Text commas = ItemsDelimitedText(truth, Delimiter::Comma);
        EXPECT_EQ(WrittenFileBytes(csv),
                  kByteOrderMark + ToUtf8(std::wstring(commas.begin(), commas.end())));
        SaveAs(tool, items, stem, 1);
        EXPECT_EQ(WrittenFileBytes(txt),
                  kByteOrderMark + ToUtf8(std::wstring(tabbed.begin(), tabbed.end())));
        SendMessageW(items, WM_CLOSE, 0, 0);
    }
}

// A self-drawn panel's results row opens the objects its program tells screen readers of: each by
// name, role, value (never a protected one's) and state in words, as the fixture has them.
TEST(AccessibleItemsWindowE2e, ASelfDrawnPanelsRowOpensTheObjectsItsProgramExposes) {
    const TargetFixture fixture(L"accessible");
    const AccessibleTruth truth = ReadAccessibleTruth(fixture);
    const HWND panel = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stol(truth.panel)));
    Tool tool;
    SelectWindow(tool, DecimalHandle(GetAncestor(panel, GA_ROOT)));
    tool.ClickAndWait(kStartButton);
    const RemoteList results = tool.Results();
    const int row = ResultsRowOf(results, panel);
    ASSERT_GE(row, 0);
    results.DoubleClick(row);
    const HWND items = WaitForItemsWindow(tool, L"TessivaneFixtureSelfDrawn", panel);
    ASSERT_NE(items, nullptr);
    std::vector<std::vector<std::wstring>> expected;
    for (const AccessibleNodeTruth& node : truth.nodes) {
        const Text state = AccessibleStateWords(node.state);
        expected.push_back({node.name, node.roleText, node.value, {state.begin(), state.end()}});
    }
    const RemoteList shown(GetDlgItem(items, kItemsList), tool.Program().Handle());
    EXPECT_EQ(shown.Rows(), expected);
    EXPECT_EQ(shown.Header(3), L"State");
    SaveScreenshot(items, BuildFolder() / L"artifacts" / L"items-accessible.bmp");
    SaveScreenshot(tool.Main(), BuildFolder() / L"artifacts" / L"results-accessible.bmp");
}

INSTANTIATE_TEST_SUITE_P(Builds, ItemsWindowE2e,
                         testing::Values(FixtureBuild::Native, FixtureBuild::Bits32),
                         [](const testing::TestParamInfo<FixtureBuild>& info) {
                             return info.param == FixtureBuild::Native ? "SixtyFourBit"
                                                                       : "ThirtyTwoBit";
                         });

}  // namespace

namespace {

// Wine's console window.
constexpr wchar_t kConsoleClass[] = L"WineConsoleClass";

// The console windows on the desktop now.
std::vector<HWND> ConsoleWindows() {
    std::vector<HWND> found;
    for (HWND window = FindWindowExW(nullptr, nullptr, kConsoleClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kConsoleClass, nullptr)) {
        found.push_back(window);
    }
    return found;
}

// Starts a console that runs command in cmd and answers its window once it shows.
HWND StartConsole(const std::wstring& command, std::optional<Process>& console) {
    const std::vector<HWND> before = ConsoleWindows();
    console.emplace(L"wineconsole.exe cmd.exe /k " + command);
    HWND window = nullptr;
    WaitUntil([&] {
        for (const HWND found : ConsoleWindows()) {
            if (std::find(before.begin(), before.end(), found) == before.end()) {
                window = found;
            }
        }
        return window != nullptr;
    });
    return window;
}

// Dumps the console's items until they hold at least rows lines (cmd writes its lines a moment
// after its window shows); answers them, or null when they never did, and the last dump.
nlohmann::json ConsoleItems(HWND window, std::size_t rows, ConsoleRun& dump) {
    nlohmann::json items;
    WaitUntil([&] {
        dump = RunConsoleProgram(BuildFolder() / L"tessivane-cli.exe",
                                 L"dump --items --handle " + DecimalHandle(window), 30s);
        const auto document = nlohmann::json::parse(dump.out, nullptr, false);
        items = document.is_discarded() ? nlohmann::json() : document["window"]["items"];
        return items.is_object() && items["rows"].size() >= rows;
    });
    return items;
}

// Whether a process that parent started runs now.
bool HasChildProcess(DWORD parent) {
    const HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32FirstW(processes, &entry); more && !found;
         more = Process32NextW(processes, &entry)) {
        found = entry.th32ParentProcessID == parent;
    }
    CloseHandle(processes);
    return found;
}

// Suspends or resumes each thread of the process.
void SetThreadsRunning(DWORD process, bool running) {
    const HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        const HANDLE thread = entry.th32OwnerProcessID == process
                                  ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)
                                  : nullptr;
        if (thread != nullptr) {
            running ? ResumeThread(thread) : SuspendThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(threads);
}

}  // namespace

// A console started with known lines, Greek and CJK among them: its window's results row opens
// them as its items, dump --items gives the same, and the command line's own output stays whole
// after it read another program's console.
TEST(ConsoleItemsE2e, AConsolesLinesAreItsItemsInTheItemsWindowAndInTheDump) {
    const std::wstring unicodeLine =
        L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u6f22\u5b57";
    std::optional<Process> console;
    const HWND window = StartConsole(L"echo First line& echo " + unicodeLine, console);
    ASSERT_NE(window, nullptr);
    const std::vector<std::string> expected = {"First line", ToUtf8(unicodeLine)};
    ConsoleRun dump;
    const nlohmann::json items = ConsoleItems(window, expected.size() + 1, dump);
    EXPECT_EQ(dump.exitCode, 0u) << dump.error;
    ASSERT_TRUE(items.is_object()) << dump.out;
    EXPECT_EQ(items["kind"], "console");
    EXPECT_EQ(items["status"], "read");
    ASSERT_GE(items["rows"].size(), expected.size());
    EXPECT_EQ(items["rows"][0][0], expected[0]);
    EXPECT_EQ(items["rows"][1][0], expected[1]);
    // The dump's own standard output went on after the read: the summary closes it.
    EXPECT_EQ(nlohmann::json::parse(dump.out)["summary"]["complete"], true);

    Tool tool;
    SelectWindow(tool, DecimalHandle(window));
    tool.ClickAndWait(kStartButton);
    const RemoteList results = tool.Results();
    const int row = ResultsRowOf(results, window);
    ASSERT_GE(row, 0);
    results.DoubleClick(row);
    const HWND itemsWindow = WaitForItemsWindow(tool, kConsoleClass, window);
    ASSERT_NE(itemsWindow, nullptr);
    const std::vector<std::wstring> lines = Lines(CopiedText(itemsWindow));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], L"First line");
    EXPECT_EQ(lines[2], unicodeLine);
    SaveScreenshot(itemsWindow, BuildFolder() / L"artifacts" / L"items-console.bmp");
    PostMessageW(window, WM_CLOSE, 0, 0);
}

// A console closed while its lines are read: Wine's console answers a read in milliseconds, so its
// host is held (its threads suspended) through the dump, and the close, posted once the dump's
// reader has started, waits behind the held read as it would behind a busy console. The read ends
// at its bound of 5 seconds (README), the console's items say timedOut, and the console then
// closes.
TEST(ConsoleItemsE2e, AConsoleClosedWhileItsLinesAreReadEndsTheDumpByTheReadsBound) {
    std::optional<Process> console;
    const HWND window = StartConsole(L"echo Held line", console);
    ASSERT_NE(window, nullptr);
    ConsoleRun ready;
    ASSERT_FALSE(ConsoleItems(window, 1, ready).is_null()) << ready.out;
    DWORD host = 0;
    GetWindowThreadProcessId(window, &host);
    // Only a hang fails here: ten times the read's bound.
    constexpr auto kHangLimit = 50s;
    ULONGLONG readStart = 0;
    ULONGLONG dumpEnd = 0;
    SetThreadsRunning(host, false);
    const ConsoleRun closing = RunConsoleProgramAfterLines(
        BuildFolder() / L"tessivane-cli.exe", L"dump --items --handle " + DecimalHandle(window),
        kHangLimit * 2, 0, [&](const RunningProgram& dump) {
            const DWORD dumpId = GetProcessId(dump.process);
            WaitUntil([&] { return HasChildProcess(dumpId); }, kHangLimit);
            readStart = GetTickCount64();
            PostMessageW(window, WM_CLOSE, 0, 0);
            WaitForSingleObject(dump.process, static_cast<DWORD>(kHangLimit.count() * 1000));
            dumpEnd = GetTickCount64();
            SetThreadsRunning(host, true);
        });
    ASSERT_NE(readStart, 0u) << "the dump started no reader";
    EXPECT_LT(dumpEnd - readStart, static_cast<ULONGLONG>(kHangLimit.count() * 1000));
    EXPECT_TRUE(closing.finished);
    EXPECT_EQ(closing.exitCode, 4u) << closing.error;
    const auto document = nlohmann::json::parse(closing.out, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << closing.out;
    EXPECT_EQ(document["window"]["items"]["status"], "timedOut");
    EXPECT_EQ(document["summary"]["itemsIncomplete"], 1);
    EXPECT_TRUE(WaitUntil([&] { return IsWindow(window) == FALSE; }));
}
