// End-to-end test target: creates a known set of windows and writes what a correct reader must see.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tests/e2e/AccessibleFixture.h"
#include "tests/e2e/FixtureSupport.h"
#include "tests/e2e/ItemsFixture.h"
#include "tests/e2e/TruthFormat.h"

namespace {

constexpr wchar_t kTopClass[] = L"TessivaneFixtureTop";
constexpr wchar_t kTreeClass[] = L"TessivaneFixtureTree";
constexpr wchar_t kBenchClass[] = L"TessivaneFixtureBench";
constexpr wchar_t kPanelClass[] = L"TessivaneFixturePanel";
constexpr wchar_t kHungClass[] = L"TessivaneFixtureHung";
constexpr wchar_t kChangingClass[] = L"TessivaneFixtureChanging";
constexpr wchar_t kHostileClass[] = L"TessivaneFixtureHostile";
constexpr wchar_t kHostileTitle[] = L"Tessivane Fixture Hostile";
constexpr wchar_t kLongClassPrefix[] = L"TessivaneFixtureLongClass";
constexpr wchar_t kStaticClass[] = L"Static";
constexpr wchar_t kButtonClass[] = L"Button";
constexpr wchar_t kEditClass[] = L"Edit";

constexpr wchar_t kTreeTitle[] = L"Tessivane Fixture Tree";
constexpr wchar_t kBenchTitle[] = L"Tessivane Fixture Bench";
constexpr wchar_t kPickTitle[] = L"Tessivane Fixture Pick";
constexpr wchar_t kHungText[] = L"Hung child";
constexpr wchar_t kLongTitlePrefix[] = L"Tessivane Fixture Long ";
constexpr wchar_t kMultiLineText[] = L"First line\r\nSecond\tline with tab\r\nThird line";
// Escaped so the code units do not depend on the compiler's source charset. Reads: Greek
// "Ellinika", CJK "kanji", then U+1D11E (a surrogate pair in UTF-16).
constexpr wchar_t kUnicodeTitle[] =
    L"Tessivane Fixture \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u6f22\u5b57 \U0001D11E";
// Greek "Ellinika keimeno", CJK "kanji", katakana "tekisuto", U+1D11E, " end".
constexpr wchar_t kUnicodeLabel[] =
    L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u03ba\u03b5\u03af\u03bc\u03b5\u03bd\u03bf "
    L"\u6f22\u5b57\u30c6\u30ad\u30b9\u30c8 \U0001D11E end";

// GetClassNameW buffer the readers use; the long class name fills it exactly with its terminator.
constexpr int kClassNameCapacity = 256;
constexpr std::size_t kLongClassLength = 255;
constexpr std::size_t kLongTitleLength = 100;
constexpr int kInternalTextCapacity = 512;
// A bench panel plus its items makes 200 windows.
constexpr int kBenchItemsPerPanel = 199;
// Wine 8's wineserver crashes (taking every process of the prefix with it) instead of failing
// CreateWindowEx once about 32700 window handles exist in the whole session; this leaves room for
// the tool's own windows.
constexpr int kMaxWindows = 30000;
constexpr int kMaxHoldMs = 24 * 60 * 60 * 1000;
// Above the items reader's cap, so a read of more items than it takes can be tested.
constexpr int kMaxItems = 300000;
constexpr DWORD kHungCreateTimeoutMs = 30000;

// How the children of the hostile mode answer WM_GETTEXT; set once before they exist.
struct Hostility {
    std::wstring kind;
    int answerDelayMs = 0;
    int exitAfterReads = 0;
    LONG reads = 0;
    LONG stalled = 0;  // the stall kind's thread has stalled its once
};
Hostility g_hostility;

// What a hostile child does when asked its text, kept in its GWLP_USERDATA; plain ones answer
// as any window does.
enum HostileRole : LONG_PTR {
    kPlainRole = 0,
    kNulInsideRole,       // answers "ab\0cd", 5 units
    kWritesNothingRole,   // writes nothing and claims 2^31 - 1 units
    kWritesLessRole,      // writes "ab" and claims 2^31 - 1 units
    kDestroysItselfRole,  // destroys itself and answers 0
    kChurnsRole,          // gives its long text to the read after its length is asked
    // A long text, whose length it answers as -5. (Wine 8 ends the thread of a window that
    // answers WM_GETTEXT below zero to another process: it cannot carry such a reply back.)
    kNegativeLengthRole,
};

// The texts a churning child changes between: its length is asked at the middle one, and the read
// that follows is given the long one.
const std::wstring& ChurnMiddleText() {
    static const std::wstring text(4096, L'm');
    return text;
}
const std::wstring& ChurnLongText() {
    static const std::wstring text(70000, L'g');
    return text;
}
// The text of the window that answers its length as -5: long enough that its length is asked.
const std::wstring& NegativeLengthText() {
    static const std::wstring text(600, L'n');
    return text;
}
// The churning children whose length was asked last (main thread only).
std::unordered_map<HWND, bool> g_churnedLong;

struct ExpectedWindow {
    std::wstring className;
    std::wstring text;
    bool hung = false;
};

using ExpectedMap = std::unordered_map<HWND, ExpectedWindow>;

// Handed to the thread that owns the hung child; it must not touch this after setting readyEvent.
struct HungChildRequest {
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;
    HANDLE readyEvent = nullptr;
    HWND child = nullptr;
    DWORD error = ERROR_SUCCESS;
};

[[noreturn]] void FailUsage(std::wstring_view what) {
    Fail(kExitUsage,
         std::wstring(what) +
             L"\nusage: TargetFixture.exe toplevel <truthFile>\n"
             L"       TargetFixture.exe tree <truthFile> [--wide N] [--hung] [--states] [--menu]\n"
             L"       TargetFixture.exe bench <truthFile> [--count N]\n"
             L"       TargetFixture.exe pick <truthFile>\n"
             L"  windows to pick by pointing: a nested edit, a disabled edit, a "
             L"button under a group box, a hidden edit\n"
             L"       TargetFixture.exe holdclipboard <truthFile> [--ms M]\n"
             L"       TargetFixture.exe changing <truthFile> [--ms M]\n"
             L"  once WM_APP is posted to its window, one change every M ms (label text, a "
             L"button added and removed, a list item added, the label disabled and hidden), "
             L"then it closes\n"
             L"       TargetFixture.exe hostile <truthFile> --kind K [--count N] "
             L"[--ms M]\n"
             L"  kinds: liars (claim 2^31-1 units, copy \"abc\", answer the whole "
             L"buffer), lengths, exits (after N reads), slow (one thread each, M ms "
             L"an answer), clicker (clicks the tool's buttons when read), stale (liars that "
             L"write less than they claim, each after a long text, and one that destroys "
             L"itself when read), stall (N children of one thread that stalls M ms at its "
             L"first text request), churn (N children whose texts change while read), negative "
             L"(a child that answers its long text's length as -5, between good ones)\n"
             L"       TargetFixture.exe items <truthFile> [--rows N] [--tree-items N]\n"
             L"  one control of each kind with items; --rows: the report list view "
             L"holds N rows of 5 columns, --tree-items: the tree view N items\n"
             L"       TargetFixture.exe hostileitems <truthFile> --kind K\n"
             L"  kinds: lbliar (list box claims 2^31-1 items and one 2^31-1 units "
             L"long), lvhang (list view sleeps 60 s when asked row 10 on), "
             L"treedelete (tree view deletes the next sibling of an item read), "
             L"itemsexit (list view exits when asked a 21st text), "
             L"lvnotext (owner-drawn list view of 12 rows without any text)\n"
             L"       TargetFixture.exe accessible <truthFile> [--nodes N | --hostile K]\n"
             L"  a self-drawn panel whose texts only MSAA gives; --nodes: a tree of N nodes, "
             L"--hostile: hang, liar, cycle, deep, hugename, badvariant, dies or denied");
}

// Clicks a button of the tool's main window, found by its caption.
void ClickToolButton(const wchar_t* caption) {
    const HWND tool = FindWindowW(L"TessivaneMainWindow", nullptr);
    for (HWND child = GetWindow(tool, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[128] = L"";
        GetWindowTextW(child, text, 128);
        if (std::wstring_view(text) == caption) {
            SendMessageTimeoutW(child, BM_CLICK, 0, 0, SMTO_BLOCK, 2000, nullptr);
        }
    }
}

// Copies text into the reader's buffer as WM_GETTEXT does; answers the units copied.
LRESULT CopyText(std::wstring_view text, WPARAM capacity, LPARAM buffer) {
    if (capacity == 0) return 0;
    const std::size_t count = std::min<std::size_t>(text.size(), capacity - 1);
    std::copy_n(text.data(), count, reinterpret_cast<wchar_t*>(buffer));
    reinterpret_cast<wchar_t*>(buffer)[count] = L'\0';
    return static_cast<LRESULT>(count);
}

// The answer of a child whose role is not plain, to the text messages; nothing for the rest.
std::optional<LRESULT> AnswerAsRole(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR role = GetWindowLongPtrW(window, GWLP_USERDATA);
    if (role == kChurnsRole && message == WM_GETTEXTLENGTH) {
        g_churnedLong[window] = true;
        return static_cast<LRESULT>(ChurnMiddleText().size());
    }
    if (role == kNegativeLengthRole && message == WM_GETTEXTLENGTH) {
        return -5;
    }
    if (message != WM_GETTEXT) {
        return std::nullopt;
    }
    switch (role) {
        case kNulInsideRole:
            return CopyText(std::wstring_view(L"ab\0cd", 5), wParam, lParam);
        case kWritesNothingRole:
            return 0x7FFFFFFF;
        case kWritesLessRole:
            CopyText(L"ab", wParam, lParam);
            return 0x7FFFFFFF;
        case kDestroysItselfRole:
            DestroyWindow(window);
            return 0;
        case kChurnsRole:
            return CopyText(
                std::exchange(g_churnedLong[window], false) ? ChurnLongText() : ChurnMiddleText(),
                wParam, lParam);
        default:
            return std::nullopt;
    }
}

LRESULT CALLBACK HostileWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::wstring& kind = g_hostility.kind;
    if (message == WM_GETTEXT &&
        InterlockedIncrement(&g_hostility.reads) == g_hostility.exitAfterReads) {
        ExitProcess(kExitOk);  // the target closes mid-walk
    }
    if (const std::optional<LRESULT> answer = AnswerAsRole(window, message, wParam, lParam)) {
        return *answer;
    }
    if (kind == L"stall" && message == WM_GETTEXT &&
        InterlockedExchange(&g_hostility.stalled, 1) == 0) {
        Sleep(static_cast<DWORD>(g_hostility.answerDelayMs));
    }
    if (kind == L"liars") {
        if (message == WM_GETTEXTLENGTH) return 0x7FFFFFFF;
        if (message == WM_GETTEXT) {
            CopyText(L"abc", wParam, lParam);
            return wParam == 0 ? 0 : static_cast<LRESULT>(wParam - 1);
        }
    } else if (kind == L"slow" && message == WM_GETTEXT) {
        Sleep(static_cast<DWORD>(g_hostility.answerDelayMs));
    } else if (kind == L"clicker" && message == WM_GETTEXT) {
        ClickToolButton(L"Clear Results");
        ClickToolButton(L"Save Results As Text File");
    }
    return FixtureWindowProc(window, message, wParam, lParam);
}

// The thread of one slow child: its own window, answering its own messages.
DWORD WINAPI SlowChildThread(void* parameter) {
    auto* parent = static_cast<HWND>(parameter);
    CreateWindowExW(0, kHostileClass, L"slow child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                    nullptr, GetModuleHandleW(nullptr), nullptr);
    RunMessageLoop();
    return 0;
}

// What the thread that owns the stalling children needs; it must not touch this after ready.
struct StallingChildrenRequest {
    HWND parent = nullptr;
    int count = 0;
    HANDLE ready = nullptr;
};

// The thread of the stall kind's children, "stalling child 0" on: it stalls once, at its first
// text request.
DWORD WINAPI StallingChildrenThread(void* parameter) {
    auto* request = static_cast<StallingChildrenRequest*>(parameter);
    for (int child = 0; child < request->count; ++child) {
        CreateWindowExW(WS_EX_NOPARENTNOTIFY, kHostileClass,
                        (L"stalling child " + std::to_wstring(child)).c_str(),
                        WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, request->parent, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    }
    SetEvent(request->ready);
    RunMessageLoop();
    return 0;
}

// Sets the texts of the churn kind's plain children over and over, through the middle, the long
// and a short text, while the walk reads them.
DWORD WINAPI ChurnThread(void* parameter) {
    const auto& children = *static_cast<const std::vector<HWND>*>(parameter);
    const std::wstring shortText = L"short";
    const std::wstring* texts[] = {&ChurnMiddleText(), &ChurnLongText(), &shortText};
    for (std::size_t round = 0;; ++round) {
        for (std::size_t child = 0; child < children.size(); ++child) {
            SetWindowTextW(children[child], texts[(round + child) % 3]->c_str());
        }
        Sleep(1);
    }
}

void RegisterFixtureClasses(const Fixture& fixture) {
    for (const wchar_t* className : {kTopClass, kTreeClass, kBenchClass, kPanelClass, kHungClass}) {
        RegisterFixtureClass(fixture, className);
    }
    RegisterFixtureClass(fixture, kHostileClass, HostileWindowProc);
    RegisterFixtureClass(fixture, fixture.longClassName.c_str());
}

// The longest class name Windows accepts (an atom holds at most 255 characters).
std::wstring MakeLongClassName() {
    std::wstring name = kLongClassPrefix;
    name.resize(kLongClassLength, L'X');
    return name;
}

std::wstring ReadClassName(HWND window) {
    wchar_t buffer[kClassNameCapacity] = {};
    const int length = GetClassNameW(window, buffer, kClassNameCapacity);
    if (length <= 0) FailApi(kExitMismatch, L"GetClassNameW failed for " + HandleField(window));
    return std::wstring(buffer, static_cast<std::size_t>(length));
}

// Same-thread windows only: GetWindowTextW sends WM_GETTEXT within our own process.
std::wstring ReadWindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// Reads the text the system stores, without sending a message the hung thread would never answer.
std::wstring ReadStoredText(HWND window) {
    wchar_t buffer[kInternalTextCapacity] = {};
    const int copied = InternalGetWindowText(window, buffer, kInternalTextCapacity);
    return std::wstring(buffer, static_cast<std::size_t>(std::max(copied, 0)));
}

// Guards the truth against the system silently altering what the fixture set.
void CheckWindowAgrees(HWND window, const ExpectedWindow& expected, const std::wstring& className) {
    if (CompareStringOrdinal(className.c_str(), -1, expected.className.c_str(), -1, TRUE) !=
        CSTR_EQUAL) {
        Fail(kExitMismatch, L"class of " + HandleField(window) + L" is \"" + className +
                                L"\", created as \"" + expected.className + L"\"");
    }
    const std::wstring text = expected.hung ? ReadStoredText(window) : ReadWindowText(window);
    if (text != expected.text) {
        Fail(kExitMismatch, L"text of " + HandleField(window) + L" is \"" + EscapeField(text) +
                                L"\", set as \"" + EscapeField(expected.text) + L"\"");
    }
}

int RunTopLevelMode(const Fixture& fixture, const Options& options) {
    struct TopLevelWindow {
        const wchar_t* kind;
        std::wstring title;
        bool owned;
        bool shown;
    };
    std::wstring longTitle = kLongTitlePrefix;
    const std::size_t prefixLength = longTitle.size();
    while (longTitle.size() < kLongTitleLength) {
        longTitle += static_cast<wchar_t>(L'0' + (longTitle.size() - prefixLength) % 10);
    }
    // The first one is the main window and the owner of the owned popup.
    const std::vector<TopLevelWindow> windows = {
        {L"titled", L"Tessivane Fixture Titled", false, true},
        {L"untitled", L"", false, true},
        {L"blank", L" ", false, true},
        {L"owned", L"Tessivane Fixture Owned", true, true},
        {L"invisible", L"Tessivane Fixture Invisible", false, false},
        {L"long", longTitle, false, true},
        {L"unicode", kUnicodeTitle, false, true},
    };

    HWND mainWindow = nullptr;
    std::wstring truth;
    int offset = 40;
    for (const TopLevelWindow& entry : windows) {
        const DWORD style = entry.owned ? WS_POPUPWINDOW | WS_CAPTION : WS_OVERLAPPEDWINDOW;
        HWND window =
            CreateWindowChecked(fixture, 0, kTopClass, entry.title, style,
                                {offset, offset, 360, 140}, entry.owned ? mainWindow : nullptr);
        offset += 30;
        if (mainWindow == nullptr) {
            mainWindow = window;
            MarkMainWindow(window);
        }
        if (entry.shown) ShowWindow(window, SW_SHOWNORMAL);
        CheckWindowAgrees(window, {kTopClass, entry.title, false}, ReadClassName(window));
        truth += std::wstring(entry.kind) + L'\t' + HandleField(window) + L'\t' +
                 EscapeField(entry.title) + L'\n';
    }
    WriteTruthFile(options.truthPath, truth);
    return RunMessageLoop();
}

// Records what a correct walker must read from each child the main thread creates.
HWND AddChild(const Fixture& fixture, ExpectedMap& expected, HWND parent, const wchar_t* className,
              const std::wstring& text, DWORD style, Placement at, DWORD exStyle = 0) {
    HWND child = CreateWindowChecked(fixture, exStyle, className, text, style, at, parent);
    expected[child] = {className, text, false};
    return child;
}

// The thread never pumps messages again once its child exists, so readers that send it
// WM_GETTEXT get no answer.
DWORD WINAPI HungThreadMain(void* parameter) {
    auto* request = static_cast<HungChildRequest*>(parameter);
    request->child =
        CreateWindowExW(0, kHungClass, kHungText, WS_CHILD | WS_VISIBLE | WS_BORDER, 320, 210, 200,
                        30, request->parent, nullptr, request->instance, nullptr);
    request->error = request->child != nullptr ? ERROR_SUCCESS : GetLastError();
    SetEvent(request->readyEvent);
    for (;;) Sleep(INFINITE);
}

// Creating a child of another thread's window sends messages (WM_PARENTNOTIFY and others) to
// the parent's thread, so the main thread keeps pumping while it waits.
void PumpUntilSignalled(HANDLE event, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) Fail(kExitSetup, L"timed out waiting for the hung child");
        const DWORD result = MsgWaitForMultipleObjects(
            1, &event, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return;
        if (result == WAIT_FAILED) FailApi(kExitSetup, L"MsgWaitForMultipleObjects failed");
        if (result != WAIT_OBJECT_0 + 1) continue;  // Time-out: the deadline check reports it.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // Closed before the truth was written: nothing left worth doing.
            if (message.message == WM_QUIT) ExitProcess(kExitOk);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void AddHungChild(const Fixture& fixture, ExpectedMap& expected, HWND parent) {
    HungChildRequest request;
    request.instance = fixture.instance;
    request.parent = parent;
    request.readyEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (request.readyEvent == nullptr) FailApi(kExitSetup, L"CreateEventW failed");
    HANDLE thread = CreateThread(nullptr, 0, HungThreadMain, &request, 0, nullptr);
    if (thread == nullptr) FailApi(kExitSetup, L"CreateThread failed");
    // The thread runs until the process exits; nobody waits for it.
    CloseHandle(thread);
    PumpUntilSignalled(request.readyEvent, kHungCreateTimeoutMs);
    CloseHandle(request.readyEvent);
    if (request.child == nullptr) {
        SetLastError(request.error);
        FailApi(kExitSetup, L"cannot create the hung child");
    }
    expected[request.child] = {kHungClass, kHungText, true};
}

void AddWidePanel(const Fixture& fixture, ExpectedMap& expected, HWND parent, int itemCount) {
    // Filled while hidden so no item paints or invalidates anything; WM_SETREDRAW would add
    // nothing on a hidden window.
    HWND panel = AddChild(fixture, expected, parent, kPanelClass, L"Wide panel",
                          WS_CHILD | WS_BORDER, {10, 250, 620, 220});
    constexpr int kColumns = 5;
    for (int item = 0; item < itemCount; ++item) {
        const Placement at = {4 + (item % kColumns) * 122, 4 + (item / kColumns) * 18, 118, 16};
        AddChild(fixture, expected, panel, kStaticClass, L"Item " + std::to_wstring(item + 1),
                 WS_CHILD | WS_VISIBLE | SS_LEFT, at, WS_EX_NOPARENTNOTIFY);
    }
    ShowWindow(panel, SW_SHOWNA);
}

// Pre-order over the live Z order, which is what a correct GW_CHILD/GW_HWNDNEXT walker sees.
void AppendTreeLines(HWND window, int depth, const ExpectedMap& expected, std::wstring& truth,
                     std::size_t& visited) {
    const auto found = expected.find(window);
    if (found == expected.end()) {
        Fail(kExitMismatch, L"the tree holds a window the fixture did not create: " +
                                HandleField(window) + L" " + ReadClassName(window));
    }
    const ExpectedWindow& want = found->second;
    const std::wstring className = ReadClassName(window);
    CheckWindowAgrees(window, want, className);
    truth += std::to_wstring(depth) + L'\t' + HandleField(window) + L'\t' + EscapeField(className) +
             L'\t' + (want.hung ? std::wstring() : EscapeField(want.text)) + L'\t' +
             (want.hung ? L"hung" : L"ok") + L'\n';
    ++visited;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        AppendTreeLines(child, depth + 1, expected, truth, visited);
    }
}

// A menu bar of every kind of item, as tests/e2e/CliE2eTest.cpp expects it: a drop-down menu with
// an accelerator's text, a separator, a greyed and a checked item and a submenu.
void AddMenuBar(HWND top) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    const bool made = bar != nullptr && file != nullptr && recent != nullptr &&
                      AppendMenuW(file, MF_STRING, 101, L"&Open...\tCtrl+O") &&
                      AppendMenuW(file, MF_SEPARATOR, 0, nullptr) &&
                      AppendMenuW(recent, MF_STRING, 102, L"\u03A9.txt") &&
                      AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), L"Recent") &&
                      AppendMenuW(file, MF_STRING | MF_GRAYED, 103, L"E&xit") &&
                      AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File") &&
                      AppendMenuW(bar, MF_STRING | MF_CHECKED, 104, L"&Wrap") && SetMenu(top, bar);
    if (!made) Fail(kExitSetup, L"the menu bar could not be made");
}

int RunTreeMode(const Fixture& fixture, const Options& options) {
    ExpectedMap expected;
    HWND top = CreateWindowChecked(fixture, 0, kTreeClass, kTreeTitle, WS_OVERLAPPEDWINDOW,
                                   {60, 60, 660, 520}, nullptr);
    MarkMainWindow(top);
    expected[top] = {kTreeClass, kTreeTitle, false};
    // Shown before the hung child exists so showing it never involves that child's thread.
    ShowWindow(top, SW_SHOWNORMAL);

    constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
    AddChild(fixture, expected, top, kStaticClass, L"Label one", kVisibleChild | SS_LEFT,
             {10, 10, 200, 20});
    AddChild(fixture, expected, top, kButtonClass, L"&OK button",
             kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON, {10, 40, 120, 28});
    HWND panel = AddChild(fixture, expected, top, kPanelClass, L"Panel", kVisibleChild | WS_BORDER,
                          {10, 80, 300, 140});
    AddChild(fixture, expected, panel, kEditClass, L"Nested edit",
             kVisibleChild | WS_BORDER | ES_AUTOHSCROLL, {10, 10, 200, 24});
    HWND innerPanel = AddChild(fixture, expected, panel, kPanelClass, L"Inner panel",
                               kVisibleChild | WS_BORDER, {10, 45, 270, 70});
    AddChild(fixture, expected, innerPanel, kStaticClass, L"Deep label", kVisibleChild | SS_LEFT,
             {10, 10, 200, 20});
    AddChild(fixture, expected, top, kEditClass, kMultiLineText,
             kVisibleChild | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
             {320, 10, 310, 80});
    AddChild(fixture, expected, top, kStaticClass, kUnicodeLabel, kVisibleChild | SS_LEFT,
             {320, 100, 310, 20});
    AddChild(fixture, expected, top, fixture.longClassName.c_str(), L"Long class",
             kVisibleChild | WS_BORDER, {320, 130, 200, 30});
    AddChild(fixture, expected, top, kStaticClass, L"", kVisibleChild | SS_LEFT,
             {320, 170, 100, 20});
    if (options.states) {
        AddChild(fixture, expected, top, kEditClass, L"Hidden edit", WS_CHILD | WS_BORDER,
                 {10, 240, 200, 24});
        AddChild(fixture, expected, top, kEditClass, L"Disabled edit",
                 kVisibleChild | WS_BORDER | WS_DISABLED, {10, 270, 200, 24});
    }
    if (options.hung) AddHungChild(fixture, expected, top);
    if (options.menu) AddMenuBar(top);
    if (options.wide > 0) AddWidePanel(fixture, expected, top, options.wide);

    std::wstring truth = L"root\t" + HandleField(top) + L'\n';
    std::size_t visited = 0;
    AppendTreeLines(top, 0, expected, truth, visited);
    if (visited != expected.size()) {
        Fail(kExitMismatch, L"walked " + std::to_wstring(visited) + L" windows, created " +
                                std::to_wstring(expected.size()));
    }
    WriteTruthFile(options.truthPath, truth);
    return RunMessageLoop();
}

// A click on the pick window's button shows in its text: picking keeps its click from it.
LRESULT CALLBACK PickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        SetWindowTextW(reinterpret_cast<HWND>(lParam), L"Pick button clicked");
        return 0;
    }
    return FixtureWindowProc(window, message, wParam, lParam);
}

// Windows that only a careful pick finds, in the top part of the screen, which the tool's window
// (centred) leaves free. The truth names each one: "name<TAB>handle".
int RunPickMode(const Fixture& fixture, const Options& options) {
    HWND top = CreateWindowChecked(fixture, 0, kTopClass, kPickTitle, WS_OVERLAPPEDWINDOW,
                                   {40, 20, 560, 300}, nullptr);
    MarkMainWindow(top);
    SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PickWindowProc));
    constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
    const auto add = [&](const wchar_t* className, const wchar_t* text, DWORD style, Placement at,
                         HWND parent) {
        return CreateWindowChecked(fixture, 0, className, text, style, at, parent);
    };
    HWND panel = add(kPanelClass, L"Pick panel", kVisibleChild | WS_BORDER, {10, 10, 250, 80}, top);
    HWND nested =
        add(kEditClass, L"Pick nested edit", kVisibleChild | WS_BORDER, {10, 10, 200, 24}, panel);
    // The system's hit-test passes over a disabled child: the pick must not.
    HWND disabled = add(kEditClass, L"Pick disabled edit", kVisibleChild | WS_BORDER | WS_DISABLED,
                        {10, 110, 200, 24}, top);
    // Made first, the group box lies above the button in Z order and covers it.
    HWND group =
        add(kButtonClass, L"Pick group", kVisibleChild | BS_GROUPBOX, {280, 10, 240, 120}, top);
    HWND button =
        add(kButtonClass, L"Pick button", kVisibleChild | BS_PUSHBUTTON, {300, 50, 140, 30}, top);
    HWND hidden =
        add(kEditClass, L"Pick hidden edit", WS_CHILD | WS_BORDER, {10, 150, 200, 24}, top);
    ShowWindow(top, SW_SHOWNORMAL);
    std::wstring truth;
    for (const auto& [name, window] :
         {std::pair{L"root", top}, std::pair{L"panel", panel}, std::pair{L"nested", nested},
          std::pair{L"disabled", disabled}, std::pair{L"group", group},
          std::pair{L"button", button}, std::pair{L"hidden", hidden}}) {
        truth += std::wstring(name) + L'\t' + HandleField(window) + L'\n';
    }
    WriteTruthFile(options.truthPath, truth);
    return RunMessageLoop();
}

int RunBenchMode(const Fixture& fixture, const Options& options) {
    // Filled while the top window is hidden so creating children neither paints nor invalidates.
    HWND top =
        CreateWindowChecked(fixture, 0, kBenchClass, kBenchTitle,
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, {80, 80, 800, 600}, nullptr);
    MarkMainWindow(top);
    const int panelCount = (options.count + kBenchItemsPerPanel) / (kBenchItemsPerPanel + 1);
    const int itemCount = options.count - panelCount;
    constexpr int kPanelColumns = 10;
    constexpr int kItemColumns = 4;
    int item = 0;
    for (int panelIndex = 0; panelIndex < panelCount; ++panelIndex) {
        const Placement panelAt = {(panelIndex % kPanelColumns) * 78,
                                   (panelIndex / kPanelColumns) * 56, 76, 54};
        HWND panel = CreateWindowChecked(fixture, WS_EX_NOPARENTNOTIFY, kPanelClass,
                                         L"Panel " + std::to_wstring(panelIndex + 1),
                                         WS_CHILD | WS_VISIBLE, panelAt, top);
        const int panelEnd = std::min(item + kBenchItemsPerPanel, itemCount);
        for (int slot = 0; item < panelEnd; ++item, ++slot) {
            const Placement itemAt = {(slot % kItemColumns) * 19, (slot / kItemColumns) * 2, 18,
                                      12};
            CreateWindowChecked(fixture, WS_EX_NOPARENTNOTIFY, kStaticClass,
                                L"Bench item " + std::to_wstring(item + 1), WS_CHILD | WS_VISIBLE,
                                itemAt, panel);
        }
    }
    ShowWindow(top, SW_SHOWNORMAL);

    // Counted as created rather than walked again: under Wine every GetWindow is a server round
    // trip, which costs over a second for 20000 windows.
    if (panelCount + item != options.count) {
        Fail(kExitMismatch,
             L"bench tree holds " + std::to_wstring(panelCount + item) + L" descendants");
    }
    WriteTruthFile(options.truthPath,
                   L"root\t" + HandleField(top) + L'\t' + std::to_wstring(options.count) + L'\n');
    return RunMessageLoop();
}

int CountChildren(HWND parent) {
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    return count;
}

// A top window whose children misbehave as options.kind says; the truth is its handle and how
// many children it has.
int RunHostileMode(const Fixture& fixture, const Options& options) {
    g_hostility.kind = options.kind;
    g_hostility.answerDelayMs = options.holdMs;
    HWND top =
        CreateWindowChecked(fixture, 0, kTopClass, kHostileTitle,
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, {60, 60, 600, 400}, nullptr);
    MarkMainWindow(top);
    int children = 0;
    const auto add = [&](const std::wstring& text) {
        return CreateWindowChecked(fixture, WS_EX_NOPARENTNOTIFY, kHostileClass, text,
                                   WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, top);
    };
    if (options.kind == L"lengths") {
        for (const std::size_t length : {510u, 511u, 512u, 513u, 2000u, 1000000u}) {
            add(std::wstring(length, static_cast<wchar_t>(L'a' + length % 26)));
        }
        SetWindowLongPtrW(add(L"ab"), GWLP_USERDATA, kNulInsideRole);
        children = 7;
    } else if (options.kind == L"stale") {
        // Each liar comes after a window with a long text, whose units a reused buffer holds.
        for (const HostileRole role : {kWritesNothingRole, kWritesLessRole, kDestroysItselfRole}) {
            add(std::wstring(2000, static_cast<wchar_t>(L'K' + children / 2)));
            SetWindowLongPtrW(add(L"liar"), GWLP_USERDATA, role);
            children += 2;
        }
    } else if (options.kind == L"negative") {
        // Between good windows of the same thread, one answers its long text's length as -5.
        add(L"good 0");
        SetWindowLongPtrW(add(NegativeLengthText()), GWLP_USERDATA, kNegativeLengthRole);
        add(L"good 2");
        children = 3;
    } else if (options.kind == L"stall") {
        StallingChildrenRequest request{top, options.count,
                                        CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        if (request.ready == nullptr) FailApi(kExitSetup, L"CreateEventW failed");
        const HANDLE thread =
            CreateThread(nullptr, 0, StallingChildrenThread, &request, 0, nullptr);
        if (thread == nullptr) FailApi(kExitSetup, L"cannot start the stalling children's thread");
        CloseHandle(thread);
        PumpUntilSignalled(request.ready, kHungCreateTimeoutMs);
        CloseHandle(request.ready);
        children = options.count;
    } else if (options.kind == L"churn") {
        // Even children churn as they are read; a thread of the target changes the odd ones.
        static std::vector<HWND> churned;
        for (; children < options.count; ++children) {
            const HWND child = add(ChurnMiddleText());
            if (children % 2 == 0) {
                SetWindowLongPtrW(child, GWLP_USERDATA, kChurnsRole);
            } else {
                churned.push_back(child);
            }
        }
        const HANDLE thread = CreateThread(nullptr, 0, ChurnThread, &churned, 0, nullptr);
        if (thread == nullptr) FailApi(kExitSetup, L"cannot start the churning thread");
        CloseHandle(thread);
    } else if (options.kind == L"slow") {
        for (; children < options.count; ++children) {
            const HANDLE thread = CreateThread(nullptr, 0, SlowChildThread, top, 0, nullptr);
            if (thread == nullptr) FailApi(kExitSetup, L"cannot start a slow child's thread");
            CloseHandle(thread);
        }
        while (GetWindow(top, GW_CHILD) == nullptr || CountChildren(top) < options.count) {
            Sleep(10);
        }
    } else {
        if (options.kind == L"exits") {
            g_hostility.exitAfterReads = 10;
        }
        for (; children < options.count; ++children) {
            add(L"child " + std::to_wstring(children));
        }
    }
    ShowWindow(top, SW_SHOWNORMAL);
    WriteTruthFile(options.truthPath,
                   L"root\t" + HandleField(top) + L'\t' + std::to_wstring(children) + L'\n');
    return RunMessageLoop();
}

// The changing mode's window and what its timer changes, one step a tick.
struct ChangingWindows {
    HWND top = nullptr;
    HWND label = nullptr;
    HWND list = nullptr;
    HWND added = nullptr;
    int step = 0;
    int stepMs = 0;
};
ChangingWindows g_changing;

constexpr int kChangingLabelId = 101;
constexpr int kChangingListId = 102;
constexpr int kChangingButtonId = 103;
constexpr int kChangingAddedId = 104;
constexpr UINT_PTR kChangingTimer = 1;

void CALLBACK ChangeNextThing(HWND, UINT, UINT_PTR, DWORD) {
    ChangingWindows& windows = g_changing;
    switch (windows.step++) {
        case 0:
            SetWindowTextW(windows.label, L"Status: busy");
            break;
        case 1:
            windows.added = CreateWindowExW(
                0, kButtonClass, L"Added", WS_CHILD | WS_VISIBLE, 10, 110, 100, 24, windows.top,
                reinterpret_cast<HMENU>(kChangingAddedId), GetModuleHandleW(nullptr), nullptr);
            break;
        case 2:
            SendMessageW(windows.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"gamma"));
            break;
        case 3:
            DestroyWindow(windows.added);
            break;
        case 4:
            EnableWindow(windows.label, FALSE);
            break;
        case 5:
            ShowWindow(windows.label, SW_HIDE);
            break;
        default:
            // All its windows go at once, as when the program is closed from outside.
            ExitProcess(kExitOk);
    }
}

// The changing mode's main window starts its changes when WM_APP comes.
LRESULT CALLBACK ChangingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        SetTimer(window, kChangingTimer, static_cast<UINT>(g_changing.stepMs), ChangeNextThing);
        return 0;
    }
    return FixtureWindowProc(window, message, wParam, lParam);
}

// A window with a label, a list box and a button, changed one step at a time once told to start;
// the truth is the handles.
int RunChangingMode(const Fixture& fixture, const Options& options) {
    RegisterFixtureClass(fixture, kChangingClass, ChangingWindowProc);
    ChangingWindows& windows = g_changing;
    windows.stepMs = options.holdMs;
    windows.top = CreateWindowChecked(fixture, 0, kChangingClass, L"Tessivane Fixture Changing",
                                      WS_OVERLAPPEDWINDOW, {80, 80, 400, 220}, nullptr);
    MarkMainWindow(windows.top);
    const auto add = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id,
                         Placement at) {
        HWND child = CreateWindowChecked(fixture, 0, className, text, WS_CHILD | WS_VISIBLE | style,
                                         at, windows.top);
        SetWindowLongPtrW(child, GWLP_ID, id);
        return child;
    };
    windows.label = add(kStaticClass, L"Status: idle", 0, kChangingLabelId, {10, 10, 200, 20});
    windows.list = add(L"ListBox", L"", WS_BORDER, kChangingListId, {10, 40, 200, 60});
    for (const wchar_t* item : {L"alpha", L"beta"}) {
        SendMessageW(windows.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    const HWND button = add(kButtonClass, L"Apply", 0, kChangingButtonId, {220, 10, 80, 24});
    ShowWindow(windows.top, SW_SHOWNORMAL);
    WriteTruthFile(options.truthPath, L"root\t" + HandleField(windows.top) + L"\nlabel\t" +
                                          HandleField(windows.label) + L"\nlist\t" +
                                          HandleField(windows.list) + L"\nbutton\t" +
                                          HandleField(button) + L'\n');
    return RunMessageLoop();
}

int RunHoldClipboardMode(const Fixture& fixture, const Options& options) {
    HWND owner = CreateWindowChecked(fixture, 0, kTopClass, L"Tessivane Fixture Clipboard",
                                     WS_OVERLAPPEDWINDOW, {100, 100, 200, 100}, nullptr);
    if (!OpenClipboard(owner)) FailApi(kExitSetup, L"OpenClipboard failed");
    WriteTruthFile(options.truthPath, L"held\n");
    Sleep(static_cast<DWORD>(options.holdMs));
    CloseClipboard();
    return kExitOk;
}

int ParseNumber(const wchar_t* option, const wchar_t* text, int maxValue) {
    if (text == nullptr || *text == L'\0') FailUsage(std::wstring(option) + L" needs a number");
    long long value = 0;
    for (const wchar_t* digit = text; *digit != L'\0'; ++digit) {
        if (*digit < L'0' || *digit > L'9') FailUsage(std::wstring(option) + L" needs a number");
        value = value * 10 + (*digit - L'0');
        if (value > maxValue) {
            FailUsage(std::wstring(option) + L" is at most " + std::to_wstring(maxValue));
        }
    }
    return static_cast<int>(value);
}

Options ParseOptions(int argc, wchar_t** argv) {
    if (argc < 3 || argv == nullptr) FailUsage(L"missing mode or truth file");
    Options options;
    options.mode = argv[1];
    options.truthPath = argv[2];
    if (options.mode != L"toplevel" && options.mode != L"tree" && options.mode != L"bench" &&
        options.mode != L"holdclipboard" && options.mode != L"hostile" &&
        options.mode != L"items" && options.mode != L"hostileitems" && options.mode != L"pick" &&
        options.mode != L"changing" && options.mode != L"accessible") {
        FailUsage(L"unknown mode " + options.mode);
    }
    for (int index = 3; index < argc; ++index) {
        const std::wstring_view option = argv[index];
        const wchar_t* value = index + 1 < argc ? argv[index + 1] : nullptr;
        if (option == L"--wide" && options.mode == L"tree") {
            options.wide = ParseNumber(argv[index], value, kMaxWindows);
            ++index;
        } else if (option == L"--hung" && options.mode == L"tree") {
            options.hung = true;
        } else if (option == L"--states" && options.mode == L"tree") {
            options.states = true;
        } else if (option == L"--menu" && options.mode == L"tree") {
            options.menu = true;
        } else if (option == L"--count" &&
                   (options.mode == L"bench" || options.mode == L"hostile")) {
            options.count = ParseNumber(argv[index], value, kMaxWindows);
            ++index;
        } else if (option == L"--kind" &&
                   (options.mode == L"hostile" || options.mode == L"hostileitems") &&
                   value != nullptr) {
            options.kind = value;
            ++index;
        } else if (option == L"--rows" && options.mode == L"items") {
            options.rows = ParseNumber(argv[index], value, kMaxItems);
            ++index;
        } else if (option == L"--tree-items" && options.mode == L"items") {
            options.treeItems = ParseNumber(argv[index], value, kMaxItems);
            ++index;
        } else if (option == L"--nodes" && options.mode == L"accessible") {
            options.nodes = ParseNumber(argv[index], value, kMaxAccessibleNodes);
            if (options.nodes == 0) FailUsage(L"--nodes is at least 1");
            ++index;
        } else if (option == L"--hostile" && options.mode == L"accessible" && value != nullptr) {
            options.kind = value;
            ++index;
        } else if (option == L"--ms" &&
                   (options.mode == L"holdclipboard" || options.mode == L"hostile" ||
                    options.mode == L"changing")) {
            options.holdMs = ParseNumber(argv[index], value, kMaxHoldMs);
            ++index;
        } else {
            FailUsage(L"unexpected argument " + std::wstring(option) + L" for mode " +
                      options.mode);
        }
    }
    if (options.mode == L"hostileitems" && !IsHostileItemsKind(options.kind)) {
        FailUsage(L"hostileitems needs a --kind it knows, not \"" + options.kind + L"\"");
    }
    if (options.mode == L"accessible" && !options.kind.empty() &&
        (!IsAccessibleHostileKind(options.kind) || options.nodes > 0)) {
        FailUsage(L"accessible takes --nodes or one --hostile kind it knows, not \"" +
                  options.kind + L"\"");
    }
    return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const Options options = ParseOptions(__argc, __wargv);
    Fixture fixture;
    fixture.instance = instance;
    fixture.longClassName = MakeLongClassName();
    RegisterFixtureClasses(fixture);
    if (options.mode == L"toplevel") return RunTopLevelMode(fixture, options);
    if (options.mode == L"tree") return RunTreeMode(fixture, options);
    if (options.mode == L"bench") return RunBenchMode(fixture, options);
    if (options.mode == L"pick") return RunPickMode(fixture, options);
    if (options.mode == L"hostile") return RunHostileMode(fixture, options);
    if (options.mode == L"items") return RunItemsMode(fixture, options);
    if (options.mode == L"hostileitems") return RunHostileItemsMode(fixture, options);
    if (options.mode == L"changing") return RunChangingMode(fixture, options);
    if (options.mode == L"accessible") return RunAccessibleMode(fixture, options);
    return RunHoldClipboardMode(fixture, options);
}
