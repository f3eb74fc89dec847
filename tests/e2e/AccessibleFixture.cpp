// The target fixture's accessible mode: builds the panel's tree, shows the self-drawn panel that
// answers for it and writes what a correct reader must see.
#include "tests/e2e/AccessibleFixture.h"

#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/AccessibleObject.h"
#include "tests/e2e/TruthFormat.h"

namespace {

constexpr wchar_t kAccessibleTopClass[] = L"TessivaneFixtureAccessible";
constexpr wchar_t kSelfDrawnClass[] = L"TessivaneFixtureSelfDrawn";
constexpr wchar_t kAccessibleTitle[] = L"Tessivane Fixture Accessible";
constexpr wchar_t kPanelName[] = L"Self-drawn panel";
// Escaped so the code units do not depend on the compiler's source charset: Greek "Ellinika".
constexpr wchar_t kGreekButtonName[] = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
// CJK "kanji", katakana "tekisuto".
constexpr wchar_t kCjkTextName[] = L"\u6f22\u5b57\u30c6\u30ad\u30b9\u30c8";

constexpr int kGeneratedFanOut = 10;
constexpr int kChildlessObjectEvery = 7;
constexpr LONG kLiarClaim = 1000000000;
constexpr int kDeepLevels = 100;
constexpr std::size_t kHugeNameLength = 10 * 1024 * 1024;
// Names longer than this are cut in the truth to their first kTruthNameCut units.
constexpr std::size_t kLongestTruthName = 4096;
constexpr std::size_t kTruthNameCut = 64;
constexpr std::size_t kPaintedNameLength = 200;
constexpr int kRoleTextCapacity = 128;

using Expectations = std::vector<std::pair<std::wstring, std::wstring>>;

struct HostileKind {
    const wchar_t* name;
    AccessibleHostility hostility;
};
constexpr HostileKind kHostileKinds[] = {
    {L"hang", AccessibleHostility::Hang},         {L"liar", AccessibleHostility::Liar},
    {L"cycle", AccessibleHostility::Cycle},       {L"deep", AccessibleHostility::Deep},
    {L"hugename", AccessibleHostility::HugeName}, {L"badvariant", AccessibleHostility::BadVariant},
    {L"dies", AccessibleHostility::Dies},         {L"denied", AccessibleHostility::Denied},
};

// The mode's tree and what the truth says beside its nodes; it lives as long as the process, as
// clients may hold its objects until the end.
struct AccessibleState {
    AccessibleTree tree;
    std::wstring mode = L"default";
    Expectations expectations;
    std::vector<std::size_t> order;  // the nodes in painted pre-order, each once
};
AccessibleState g_accessible;

AccessibleNode SimpleNode(std::wstring name, LONG role, LONG state = 0, std::wstring value = {}) {
    AccessibleNode node;
    node.name = std::move(name);
    node.value = std::move(value);
    node.role = role;
    node.state = state;
    return node;
}

AccessibleNode ObjectNode(std::wstring name, LONG role, LONG state = 0) {
    AccessibleNode node = SimpleNode(std::move(name), role, state);
    node.object = true;
    return node;
}

// Adds node as the last child of parent; answers its index.
std::size_t AddNode(AccessibleTree& tree, std::size_t parent, AccessibleNode node) {
    node.parent = parent;
    tree.nodes.push_back(std::move(node));
    const std::size_t index = tree.nodes.size() - 1;
    tree.nodes[parent].children.push_back(index);
    return index;
}

void AddRoot(AccessibleTree& tree, std::wstring name) {
    tree.nodes.push_back(ObjectNode(std::move(name), ROLE_SYSTEM_CLIENT, STATE_SYSTEM_FOCUSABLE));
}

void BuildDefaultTree(AccessibleTree& tree) {
    AddRoot(tree, kPanelName);
    AddNode(tree, 0, SimpleNode(kGreekButtonName, ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE));
    AddNode(tree, 0, SimpleNode(kCjkTextName, ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY));
    const std::size_t details = AddNode(tree, 0, ObjectNode(L"Details", ROLE_SYSTEM_GROUPING));
    AddNode(tree, details,
            SimpleNode(L"Amount", ROLE_SYSTEM_TEXT, STATE_SYSTEM_FOCUSABLE, L"42.50"));
    AddNode(tree, details,
            SimpleNode(L"Paid", ROLE_SYSTEM_CHECKBUTTON,
                       STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE));
    AddNode(tree, details,
            SimpleNode(L"Hidden note", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_INVISIBLE));
    AddNode(tree, details,
            SimpleNode(L"PIN", ROLE_SYSTEM_TEXT, STATE_SYSTEM_PROTECTED | STATE_SYSTEM_FOCUSABLE,
                       L"1234"));
    const std::size_t lines =
        AddNode(tree, details, ObjectNode(L"Lines", ROLE_SYSTEM_LIST, STATE_SYSTEM_FOCUSABLE));
    for (const wchar_t* item : {L"First line", L"Second line", L"Third line"}) {
        const LONG selected = std::wstring_view(item) == L"Second line" ? STATE_SYSTEM_SELECTED : 0;
        AddNode(tree, lines,
                SimpleNode(item, ROLE_SYSTEM_LISTITEM, STATE_SYSTEM_SELECTABLE | selected));
    }
}

void BuildGeneratedTree(AccessibleTree& tree, int count) {
    AddRoot(tree, L"Node 1");
    for (int index = 1; index < count; ++index) {
        const std::wstring name = L"Node " + std::to_wstring(index + 1);
        const bool hasChildren = index * kGeneratedFanOut + 1 < count;
        AccessibleNode node;
        if (hasChildren || index % kChildlessObjectEvery == 0) {
            node = ObjectNode(name, ROLE_SYSTEM_GROUPING);
        } else if (index % 3 == 0) {
            node = SimpleNode(name, ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE);
        } else if (index % 3 == 1) {
            node = SimpleNode(name, ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY);
        } else {
            node = SimpleNode(name, ROLE_SYSTEM_TEXT, STATE_SYSTEM_FOCUSABLE,
                              L"Value " + std::to_wstring(index + 1));
        }
        AddNode(tree, static_cast<std::size_t>((index - 1) / kGeneratedFanOut), std::move(node));
    }
}

void AddStaticTexts(AccessibleTree& tree, std::initializer_list<std::wstring> names) {
    for (const std::wstring& name : names) {
        AddNode(tree, 0, SimpleNode(name, ROLE_SYSTEM_STATICTEXT));
    }
}

// The hostile trees of plain shape, whose nodes misbehave when asked.
Expectations BuildMisbehavingTree(AccessibleTree& tree) {
    switch (tree.hostility) {
        case AccessibleHostility::Hang: {
            AddStaticTexts(tree, {L"Answers"});
            AccessibleNode hangs = SimpleNode(L"Hangs when named", ROLE_SYSTEM_PUSHBUTTON);
            hangs.hangsOnName = true;
            AddNode(tree, 0, std::move(hangs));
            AddStaticTexts(tree, {L"Never reached"});
            return {{L"hangingCall", L"get_accName"}, {L"hangingNode", L"Hangs when named"}};
        }
        case AccessibleHostility::Liar:
            AddStaticTexts(tree, {L"One", L"Two", L"Three"});
            tree.claimedChildren = kLiarClaim;
            return {{L"claimedChildren", std::to_wstring(kLiarClaim)}, {L"trueChildren", L"3"}};
        case AccessibleHostility::Dies:
            for (int child = 1; child <= 8; ++child) {
                AddStaticTexts(tree, {L"Child " + std::to_wstring(child)});
            }
            return {{L"exitsOnNameCall", L"5"}};
        default:
            AddStaticTexts(tree, {L"Denied 1", L"Denied 2", L"Denied 3"});
            return {{L"rootChildren", L"3"}, {L"otherCalls", L"E_ACCESSDENIED"}};
    }
}

std::wstring HugeName() {
    std::wstring name(kHugeNameLength, L'0');
    for (std::size_t unit = 0; unit < name.size(); ++unit) {
        name[unit] = static_cast<wchar_t>(L'0' + unit % 10);
    }
    return name;
}

// The hostile trees whose shape or answers' types are wrong.
Expectations BuildOddTree(AccessibleTree& tree) {
    switch (tree.hostility) {
        case AccessibleHostility::Cycle: {
            AddStaticTexts(tree, {L"Plain child"});
            const std::size_t up =
                AddNode(tree, 0, ObjectNode(L"Loops to parent", ROLE_SYSTEM_GROUPING));
            tree.nodes[up].children.push_back(0);
            const std::size_t self =
                AddNode(tree, 0, ObjectNode(L"Loops to itself", ROLE_SYSTEM_GROUPING));
            tree.nodes[self].children.push_back(self);
            return {{L"cycleToParent", L"Loops to parent"}, {L"cycleToItself", L"Loops to itself"}};
        }
        case AccessibleHostility::Deep: {
            std::size_t parent = 0;
            for (int level = 1; level <= kDeepLevels; ++level) {
                parent =
                    AddNode(tree, parent,
                            ObjectNode(L"Level " + std::to_wstring(level), ROLE_SYSTEM_GROUPING));
            }
            return {{L"depth", std::to_wstring(kDeepLevels)}};
        }
        case AccessibleHostility::HugeName:
            AddStaticTexts(tree, {L"Before huge", HugeName(), L"After huge"});
            return {{L"hugeNameLength", std::to_wstring(kHugeNameLength)}};
        default: {
            AddStaticTexts(tree, {L"Good child"});
            AccessibleNode slot;
            slot.badSlot = true;
            AddNode(tree, 0, std::move(slot));
            AccessibleNode odd =
                SimpleNode(L"Odd variants", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE);
            odd.oddVariants = true;
            AddNode(tree, 0, std::move(odd));
            return {{L"childVariant", L"VT_R8"},
                    {L"roleVariant", L"VT_R8"},
                    {L"stateVariant", L"VT_BSTR"},
                    {L"oddNode", L"Odd variants"}};
        }
    }
}

AccessibleHostility HostilityOf(std::wstring_view kind) {
    for (const HostileKind& known : kHostileKinds) {
        if (kind == known.name) return known.hostility;
    }
    return AccessibleHostility::None;
}

void BuildTree(AccessibleState& state, const Options& options) {
    AccessibleTree& tree = state.tree;
    if (options.nodes > 0) {
        state.mode = L"nodes";
        BuildGeneratedTree(tree, options.nodes);
        return;
    }
    if (options.kind.empty()) {
        BuildDefaultTree(tree);
        return;
    }
    state.mode = options.kind;
    tree.hostility = HostilityOf(options.kind);
    AddRoot(tree, kPanelName);
    switch (tree.hostility) {
        case AccessibleHostility::Hang:
        case AccessibleHostility::Liar:
        case AccessibleHostility::Dies:
        case AccessibleHostility::Denied:
            state.expectations = BuildMisbehavingTree(tree);
            break;
        default:
            state.expectations = BuildOddTree(tree);
    }
}

// Pre-order, each node once; sets each node's painted line and depth.
void OrderForPainting(AccessibleState& state) {
    std::vector<AccessibleNode>& nodes = state.tree.nodes;
    std::vector<bool> met(nodes.size(), false);
    std::vector<std::pair<std::size_t, int>> pending{{0, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (met[node] || nodes[node].badSlot) continue;
        met[node] = true;
        nodes[node].depth = depth;
        nodes[node].line = static_cast<int>(state.order.size());
        state.order.push_back(node);
        const std::vector<std::size_t>& children = nodes[node].children;
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            pending.emplace_back(*child, depth + 1);
        }
    }
}

std::wstring RoleText(LONG role) {
    wchar_t text[kRoleTextCapacity] = L"";
    const UINT length = GetRoleTextW(static_cast<DWORD>(role), text, kRoleTextCapacity);
    return std::wstring(text, std::min<UINT>(length, kRoleTextCapacity - 1));
}

std::wstring NodeLine(const AccessibleNode& node) {
    const LONG role = node.oddVariants ? 0 : node.role;
    const LONG state = node.oddVariants ? 0 : node.state;
    const std::wstring name =
        node.name.size() > kLongestTruthName ? node.name.substr(0, kTruthNameCut) : node.name;
    const std::wstring value = (state & STATE_SYSTEM_PROTECTED) != 0 ? L"" : node.value;
    std::wostringstream line;
    line << L"node\t" << node.depth << L'\t' << EscapeField(name) << L'\t'
         << EscapeField(role == 0 ? L"" : RoleText(role)) << L'\t' << EscapeField(value) << L"\t0x"
         << std::hex << state << std::dec << L'\t' << role << L'\t'
         << (node.object ? L"object" : L"child") << L'\n';
    return line.str();
}

std::wstring Truth(const AccessibleState& state) {
    std::wstring truth =
        L"panel\t" + HandleField(state.tree.panel) + L"\nmode\t" + state.mode + L'\n';
    std::size_t listed = 0;
    if (state.tree.hostility != AccessibleHostility::Denied) {
        for (const std::size_t node : state.order) {
            truth += NodeLine(state.tree.nodes[node]);
            ++listed;
        }
    }
    truth += L"count\t" + std::to_wstring(listed) + L'\n';
    for (const auto& [what, value] : state.expectations) {
        truth += L"expect\t" + what + L'\t' + EscapeField(value) + L'\n';
    }
    return truth;
}

void PaintNodes(HWND panel) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(panel, &paint);
    RECT client{};
    GetClientRect(panel, &client);
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const std::size_t index : g_accessible.order) {
        const AccessibleNode& node = g_accessible.tree.nodes[index];
        RECT line{kAccessibleMargin + node.depth * kAccessibleIndent,
                  node.line * kAccessibleLineHeight, client.right,
                  (node.line + 1) * kAccessibleLineHeight};
        if (line.top >= client.bottom) break;
        if ((node.state & STATE_SYSTEM_INVISIBLE) != 0) continue;
        DrawTextW(dc, node.name.c_str(),
                  static_cast<int>(std::min(node.name.size(), kPaintedNameLength)), &line,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, oldFont);
    EndPaint(panel, &paint);
}

LRESULT CALLBACK SelfDrawnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* root = RootObject(g_accessible.tree);
        const LRESULT answer = LresultFromObject(AccessibleIid(), wParam, root);
        root->Release();
        return answer;
    }
    if (message == WM_PAINT) {
        PaintNodes(window);
        return 0;
    }
    if (message == kLiveObjectsMessage) return g_accessible.tree.liveObjects;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool IsAccessibleHostileKind(std::wstring_view kind) {
    return HostilityOf(kind) != AccessibleHostility::None;
}

int RunAccessibleMode(const Fixture& fixture, const Options& options) {
    // The objects live in this thread's apartment: the message loop below answers their calls.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        Fail(kExitSetup, L"cannot start COM");
    }
    BuildTree(g_accessible, options);
    OrderForPainting(g_accessible);
    RegisterFixtureClass(fixture, kAccessibleTopClass);
    RegisterFixtureClass(fixture, kSelfDrawnClass, SelfDrawnProc);
    const HWND top = CreateWindowChecked(fixture, 0, kAccessibleTopClass, kAccessibleTitle,
                                         WS_OVERLAPPEDWINDOW, {60, 60, 520, 440}, nullptr);
    MarkMainWindow(top);
    RECT client{};
    GetClientRect(top, &client);
    g_accessible.tree.panel =
        CreateWindowChecked(fixture, 0, kSelfDrawnClass, L"", WS_CHILD | WS_VISIBLE,
                            {0, 0, client.right, client.bottom}, top);
    ShowWindow(top, SW_SHOWNORMAL);
    WriteTruthFile(options.truthPath, Truth(g_accessible));
    return RunMessageLoop();
}
