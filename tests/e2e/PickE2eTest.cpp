// Picking a window by pointing at it, with real pointer and key input under Wine, and the frame
// that outlines the window of a results row.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "wingui/MenuCommands.h"

namespace {

constexpr int kWindowListId = 101;
constexpr wchar_t kFrameClass[] = L"TessivaneHighlightFrame";
constexpr int kInputCoordinates = 65535;

POINT Middle(HWND window) {
    RECT bounds;
    GetWindowRect(window, &bounds);
    return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

// The tool, in front as after a click on its menu, and the pick fixture, whose truth names its
// windows and whose button's text records a click on it.
struct PickRun {
    TargetFixture fixture{L"pick"};
    Tool tool;

    PickRun() {
        SetForegroundWindow(tool.Main());
        WaitUntil([&] { return GetForegroundWindow() == tool.Main(); });
    }
    [[nodiscard]] std::wstring Handle(const std::wstring& name) const {
        for (const auto& line : fixture.Lines()) {
            if (line.at(0) == name) {
                return line.at(1);
            }
        }
        throw std::runtime_error("the fixture has no such window");
    }
    [[nodiscard]] HWND Window(const std::wstring& name) const {
        return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(Handle(name))));
    }
    // The handle cell of a list's selected row; empty when none is selected.
    [[nodiscard]] std::wstring SelectedHandle(int listId) {
        const HWND list = GetDlgItem(tool.Main(), listId);
        const auto row = static_cast<int>(
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return row < 0 ? std::wstring() : RemoteList(list, tool.Program().Handle()).Cell(row, 1);
    }
    [[nodiscard]] HWND Capture() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(tool.Main(), nullptr), &info);
        return info.hwndCapture;
    }
    void Choose(int command) const {
        SendMessageW(tool.Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
};

void Send(std::initializer_list<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.begin()), sizeof(INPUT));
}

INPUT Mouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, kInputCoordinates, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, kInputCoordinates, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags;
    return input;
}

INPUT Key(WORD key, DWORD flags = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

// Moves the real pointer, as a mouse does. Under Wine, SendInput leaves the X server's pointer
// where it was, and an X event of a window shown earlier may later put Wine's pointer back there:
// the X pointer is first put one pixel beside the point.
void MovePointer(POINT to) {
    SetCursorPos(to.x - 1, to.y);
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to)});
}

void ClickLeftButton() {
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
}

// The tool's highlight frame is shown at the window's rectangle.
bool FrameOutlines(HWND window) {
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    RECT frameBounds;
    RECT bounds;
    return IsWindowVisible(frame) && GetWindowRect(frame, &frameBounds) &&
           GetWindowRect(window, &bounds) && EqualRect(&frameBounds, &bounds);
}

bool FrameHidden() {
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    return frame != nullptr && !IsWindowVisible(frame);
}

// Moves the pointer onto window's middle while the tool picks; true once the frame outlines it.
bool PointAt(HWND window) {
    MovePointer(Middle(window));
    return WaitUntil([&] { return FrameOutlines(window); }, 10s);
}

}  // namespace

TEST(PickE2e, AClickPicksTheDeepestWindowUnderThePointerDisabledOrUnderAGroupBox) {
    PickRun run;
    // The cases the system's own hit-tests get wrong: a disabled edit is passed over, and the
    // group box is the child found at the button's middle.
    const HWND top = run.Window(L"root");
    POINT inTop = Middle(run.Window(L"button"));
    ScreenToClient(top, &inTop);
    ASSERT_EQ(ChildWindowFromPointEx(top, inTop, CWP_SKIPINVISIBLE), run.Window(L"group"));
    ASSERT_NE(WindowFromPoint(Middle(run.Window(L"disabled"))), run.Window(L"disabled"));
    const HWND button = run.Window(L"button");
    const std::wstring unclicked = WindowText(button);
    for (const wchar_t* name : {L"nested", L"disabled", L"button"}) {
        run.Choose(MenuCommandId::kPickWindow);
        // The frame follows the pointer while picking.
        EXPECT_TRUE(PointAt(run.Window(name))) << name;
        ClickLeftButton();
        EXPECT_TRUE(WaitUntil([&] { return run.SelectedHandle(kResultsId) == run.Handle(name); }))
            << name;
        EXPECT_EQ(run.SelectedHandle(kWindowListId), run.Handle(L"root")) << name;
    }
    // The whole tree was extracted, the hidden edit too.
    EXPECT_EQ(run.tool.Results().RowCount(), static_cast<int>(run.fixture.Lines().size()));
    // The click that picked the button never reached it; once picking has ended, one does.
    EXPECT_EQ(WindowText(button), unclicked);
    ClickLeftButton();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(button) != unclicked; }, 5s));
}

// Pressed on the finder mark at the status line's end, dragged onto a window and let go there, the
// pointer picks that window.
TEST(PickE2e, DraggingTheFinderMarkOntoAWindowPicksIt) {
    PickRun run;
    constexpr int kStatusLineId = 104;
    constexpr int kFinderId = 105;
    const HWND finder = GetDlgItem(GetDlgItem(run.tool.Main(), kStatusLineId), kFinderId);
    ASSERT_TRUE(IsWindowVisible(finder));
    MovePointer(Middle(finder));
    Send({Mouse(MOUSEEVENTF_LEFTDOWN)});
    EXPECT_TRUE(PointAt(run.Window(L"nested")));
    Send({Mouse(MOUSEEVENTF_LEFTUP)});
    EXPECT_TRUE(WaitUntil([&] { return run.SelectedHandle(kResultsId) == run.Handle(L"nested"); }));
}

TEST(PickE2e, EscEndsPickingWithNothingPickedAndThePointerGivenBack) {
    PickRun run;
    const std::wstring listed = run.SelectedHandle(kWindowListId);
    MovePointer(Middle(GetDlgItem(run.tool.Main(), kResultsId)));
    const HCURSOR before = PointerRestingOn(GetDlgItem(run.tool.Main(), kResultsId));
    run.Choose(MenuCommandId::kPickWindow);
    ASSERT_TRUE(PointAt(run.Window(L"nested")));
    EXPECT_NE(ShownCursor(), before);
    // Esc from the keyboard, which the picker's hook takes wherever the focus is.
    Send({Key(VK_ESCAPE), Key(VK_ESCAPE, KEYEVENTF_KEYUP)});
    EXPECT_TRUE(WaitUntil(FrameHidden, 10s));
    // The click now reaches the fixture, not the tool.
    ClickLeftButton();
    SendMessageW(run.tool.Main(), WM_NULL, 0, 0);
    EXPECT_EQ(run.tool.Results().RowCount(), 0);
    EXPECT_EQ(run.SelectedHandle(kWindowListId), listed);
}

TEST(PickE2e, CtrlDWithThePointerOverAWindowPicksItAtOnce) {
    PickRun run;
    const POINT nested = Middle(run.Window(L"nested"));
    MovePointer(nested);
    POINT at;
    ASSERT_TRUE(
        WaitUntil([&] { return GetCursorPos(&at) && at.x == nested.x && at.y == nested.y; }));
    Send({Key(VK_CONTROL), Key('D'), Key('D', KEYEVENTF_KEYUP), Key(VK_CONTROL, KEYEVENTF_KEYUP)});
    EXPECT_TRUE(WaitUntil([&] { return run.SelectedHandle(kResultsId) == run.Handle(L"nested"); }));
    EXPECT_EQ(run.SelectedHandle(kWindowListId), run.Handle(L"root"));
    // No click was needed: the tool is not left picking.
    EXPECT_EQ(run.Capture(), nullptr);
}

TEST(PickE2e, SelectedResultsRowIsOutlinedOnTopForAMomentUnlessItsWindowIsHidden) {
    PickRun run;
    SelectWindow(run.tool, run.Handle(L"root"));
    run.tool.ClickAndWait(kStartButton);
    const RemoteList results = run.tool.Results();
    const auto rowOf = [&](const wchar_t* name) {
        int row = 0;
        while (row < results.RowCount() && results.Cell(row, 1) != run.Handle(name)) {
            ++row;
        }
        return row;
    };
    const HWND button = run.Window(L"button");
    results.Click(rowOf(L"button"));
    ASSERT_TRUE(FrameOutlines(button));
    // Topmost, click-through, and neither activated nor focused.
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    constexpr DWORD kFrameStyle = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT;
    EXPECT_EQ(GetWindowLongW(frame, GWL_EXSTYLE) & kFrameStyle, kFrameStyle);
    EXPECT_EQ(GetForegroundWindow(), run.tool.Main());
    SaveScreenshot(run.Window(L"root"), BuildFolder() / L"artifacts" / L"pick-highlight.bmp");
    EXPECT_TRUE(WaitUntil(FrameHidden, 10s));  // it hides itself after a while

    // The menu outlines the selected row's window again. A hidden window is not outlined: the
    // frame goes at once, by the row and by the menu.
    run.Choose(MenuCommandId::kHighlightSelectedWindow);
    EXPECT_TRUE(FrameOutlines(button));
    results.Click(rowOf(L"hidden"));
    EXPECT_TRUE(FrameHidden());
    run.Choose(MenuCommandId::kHighlightSelectedWindow);
    EXPECT_TRUE(FrameHidden());
}

TEST(PickE2e, TheOutlineFollowsItsWindowAsItMovesAndGoesWhenItCloses) {
    PickRun run;
    SelectWindow(run.tool, run.Handle(L"root"));
    run.tool.ClickAndWait(kStartButton);
    const RemoteList results = run.tool.Results();
    int row = 0;
    while (row < results.RowCount() && results.Cell(row, 1) != run.Handle(L"button")) {
        ++row;
    }
    const HWND button = run.Window(L"button");
    results.Click(row);
    // The frame outlines a row's window for two seconds from the click: what follows happens
    // within them, or the frame would have gone by itself.
    const auto shownUntil = std::chrono::steady_clock::now() + 2s;
    const auto whileShown = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            shownUntil - std::chrono::steady_clock::now());
    };
    ASSERT_TRUE(FrameOutlines(button));
    RECT before;
    GetWindowRect(button, &before);
    POINT place{before.left, before.top};
    ScreenToClient(GetParent(button), &place);
    SetWindowPos(button, nullptr, place.x + 40, place.y + 10, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return FrameOutlines(button); }, whileShown()));
    PostMessageW(run.Window(L"root"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(FrameHidden, whileShown()));
}
