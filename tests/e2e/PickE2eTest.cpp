// Picking a window by pointing at it, with real pointer and key input under Wine, and the frame
// that outlines the window of a results row.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Truth.h"
#include "win32/MenuCommands.h"

namespace {

constexpr int kWindowListId = 101;
constexpr int kResultsId = 103;
constexpr wchar_t kFrameClass[] = L"TessivaneHighlightFrame";
constexpr int kInputCoordinates = 65535;

POINT Middle(HWND window) {
    RECT bounds;
    GetWindowRect(window, &bounds);
    return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

// The tool and the pick fixture, whose windows the truth names.
struct PickRun {
    TargetFixture fixture{L"pick"};
    Tool tool;

    // The tool in front, as after a click on its menu: the pointer's input goes to the capture
    // of the foreground window only.
    PickRun() {
        SetForegroundWindow(tool.Main());
        WaitUntil([&] { return GetForegroundWindow() == tool.Main(); });
    }

    [[nodiscard]] HWND Window(const std::wstring& name) const {
        for (const auto& line : fixture.Lines()) {
            if (line.at(0) == name) {
                return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(line.at(1))));
            }
        }
        throw std::runtime_error("the fixture has no such window");
    }
    [[nodiscard]] std::wstring Handle(const std::wstring& name) const {
        return std::to_wstring(reinterpret_cast<INT_PTR>(Window(name)));
    }
    // The handle cell of a list's selected row; empty when none is selected.
    [[nodiscard]] std::wstring SelectedHandle(int listId) {
        const HWND list = GetDlgItem(tool.Main(), listId);
        const int row = static_cast<int>(
            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return row < 0 ? std::wstring() : RemoteList(list, tool.Program().Handle()).Cell(row, 1);
    }
    [[nodiscard]] GUITHREADINFO ToolThread() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(tool.Main(), nullptr), &info);
        return info;
    }
};

void Send(INPUT input) {
    SendInput(1, &input, sizeof(input));
}

// Moves the real pointer, as a mouse does. Under Wine, SendInput leaves the X server's pointer
// where it was, and an X event of a window shown earlier may later put Wine's pointer back there:
// the X pointer is first put one pixel beside the point.
void MovePointer(POINT to) {
    SetCursorPos(to.x - 1, to.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(to.x, kInputCoordinates, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(to.y, kInputCoordinates, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(input);
}

void ClickLeftButton() {
    for (const DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = button;
        Send(input);
    }
}

void PressKeys(std::initializer_list<WORD> keys) {
    for (const bool up : {false, true}) {
        for (const WORD key : keys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            Send(input);
        }
    }
}

bool SameRect(const RECT& one, const RECT& other) {
    return EqualRect(&one, &other) != FALSE;
}

// The tool's highlight frame, shown at the window's rectangle.
bool FrameOutlines(HWND window) {
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    RECT frameBounds;
    RECT bounds;
    return frame != nullptr && IsWindowVisible(frame) && GetWindowRect(frame, &frameBounds) &&
           GetWindowRect(window, &bounds) && SameRect(frameBounds, bounds);
}

// Moves the pointer onto window's middle while the tool picks; true once the frame outlines it.
bool PointAt(HWND window) {
    MovePointer(Middle(window));
    return WaitUntil([&] { return FrameOutlines(window); }, 10s);
}

bool FrameHidden() {
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    return frame != nullptr && !IsWindowVisible(frame);
}

}  // namespace

TEST(PickE2e, AClickPicksTheDeepestWindowUnderThePointerDisabledOrUnderAGroupBox) {
    PickRun run;
    const HWND top = run.Window(L"root");
    // The cases the system's own hit-tests get wrong: a disabled edit is passed over, and the
    // group box is the child found at the button's middle.
    POINT inTop = Middle(run.Window(L"button"));
    ScreenToClient(top, &inTop);
    ASSERT_EQ(ChildWindowFromPointEx(top, inTop, CWP_SKIPINVISIBLE), run.Window(L"group"));
    ASSERT_NE(WindowFromPoint(Middle(run.Window(L"disabled"))), run.Window(L"disabled"));
    for (const wchar_t* name : {L"nested", L"disabled", L"button"}) {
        const HWND target = run.Window(name);
        SendMessageW(run.tool.Main(), WM_COMMAND, MAKEWPARAM(MenuCommandId::kPickWindow, 0), 0);
        EXPECT_EQ(run.ToolThread().hwndCapture, run.tool.Main()) << name;
        // The frame follows the pointer while picking.
        EXPECT_TRUE(PointAt(target)) << name;
        ClickLeftButton();
        EXPECT_TRUE(WaitUntil([&] { return run.SelectedHandle(kResultsId) == run.Handle(name); }))
            << name;
        EXPECT_EQ(run.SelectedHandle(kWindowListId), run.Handle(L"root")) << name;
        EXPECT_EQ(run.ToolThread().hwndCapture, nullptr) << name;
    }
    // The whole tree was extracted, the hidden edit too.
    EXPECT_EQ(run.tool.Results().RowCount(), static_cast<int>(run.fixture.Lines().size()));
}

TEST(PickE2e, EscEndsPickingWithNothingPickedAndThePointerGivenBack) {
    PickRun run;
    const std::wstring listed = run.SelectedHandle(kWindowListId);
    MovePointer(Middle(GetDlgItem(run.tool.Main(), kResultsId)));
    const HCURSOR before = PointerRestingOn(GetDlgItem(run.tool.Main(), kResultsId));
    SendMessageW(run.tool.Main(), WM_COMMAND, MAKEWPARAM(MenuCommandId::kPickWindow, 0), 0);
    const HWND target = run.Window(L"nested");
    ASSERT_TRUE(PointAt(target));
    EXPECT_NE(ShownCursor(), before);
    const HWND focus = run.ToolThread().hwndFocus;
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(WaitUntil([&] { return run.ToolThread().hwndCapture == nullptr; }, 10s));
    EXPECT_TRUE(FrameHidden());
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
    PressKeys({VK_CONTROL, 'D'});
    EXPECT_TRUE(WaitUntil([&] { return run.SelectedHandle(kResultsId) == run.Handle(L"nested"); }));
    EXPECT_EQ(run.SelectedHandle(kWindowListId), run.Handle(L"root"));
    // No click was needed: the tool is not left picking.
    EXPECT_EQ(run.ToolThread().hwndCapture, nullptr);
}

TEST(PickE2e, SelectedResultsRowIsOutlinedOnTopForAMomentUnlessItsWindowIsHidden) {
    PickRun run;
    SelectWindow(run.tool, run.Handle(L"root"));
    run.tool.ClickAndWait(L"Start Extracting From Selected Window (Above)");
    const RemoteList results = run.tool.Results();
    const auto rowOf = [&](const wchar_t* name) {
        for (int row = 0; row < results.RowCount(); ++row) {
            if (results.Cell(row, 1) == run.Handle(name)) {
                return row;
            }
        }
        throw std::runtime_error("no results row of the window");
    };
    const HWND button = run.Window(L"button");
    results.Click(rowOf(L"button"));
    ASSERT_TRUE(FrameOutlines(button));
    const HWND frame = FindWindowW(kFrameClass, nullptr);
    DWORD frameProcess = 0;
    GetWindowThreadProcessId(frame, &frameProcess);
    EXPECT_EQ(frameProcess, run.tool.Program().Id());
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(frame, GWL_EXSTYLE));
    for (const DWORD style : std::initializer_list<DWORD>{WS_EX_TOPMOST, WS_EX_LAYERED,
                                                          WS_EX_TRANSPARENT, WS_EX_NOACTIVATE}) {
        EXPECT_NE(exStyle & style, 0u) << std::hex << style;
    }
    // Neither the focus nor the activation went to the frame.
    EXPECT_NE(run.ToolThread().hwndActive, frame);
    EXPECT_NE(run.ToolThread().hwndFocus, frame);
    SaveScreenshot(run.Window(L"root"), BuildFolder() / L"artifacts" / L"pick-highlight.bmp");
    // It hides itself after a while.
    EXPECT_TRUE(WaitUntil(FrameHidden, 10s));

    // The menu outlines the selected row's window again.
    SendMessageW(run.tool.Main(), WM_COMMAND,
                 MAKEWPARAM(MenuCommandId::kHighlightSelectedWindow, 0), 0);
    EXPECT_TRUE(FrameOutlines(button));
    // A hidden window is not outlined: the frame goes at once, by the row and by the menu.
    results.Click(rowOf(L"hidden"));
    EXPECT_TRUE(FrameHidden());
    SendMessageW(run.tool.Main(), WM_COMMAND,
                 MAKEWPARAM(MenuCommandId::kHighlightSelectedWindow, 0), 0);
    EXPECT_TRUE(FrameHidden());
}
