// The target fixture's item modes: controls of every kind with known items, and controls whose
// items misbehave. Each control is read back in-process before its truth is written, so the
// truth is what the control holds, not only what the fixture meant to give it.
#include "tests/e2e/ItemsFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cwchar>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/TruthFormat.h"

namespace {

constexpr wchar_t kItemsClass[] = L"TessivaneFixtureItems";
constexpr wchar_t kItemsTitle[] = L"Tessivane Fixture Items";
constexpr wchar_t kHostileItemsTitle[] = L"Tessivane Fixture Hostile Items";

// Escaped so the code units do not depend on the compiler's source charset.
// Greek "Kalimera" (good morning).
constexpr wchar_t kGreek[] = L"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1";
// CJK "kanji", katakana "tesuto".
constexpr wchar_t kCjk[] = L"\u6f22\u5b57\u30c6\u30b9\u30c8";
// U+1F600, a grinning face: a surrogate pair in UTF-16.
constexpr wchar_t kOutsideBmp[] = L"\U0001F600";
// Greek "Apothikefsi" (save).
constexpr wchar_t kGreekSave[] = L"\u0391\u03c0\u03bf\u03b8\u03ae\u03ba\u03b5\u03c5\u03c3\u03b7";
// Greek "Ellinika".
constexpr wchar_t kGreekTab[] = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
// German "Groesse" with its sharp s and umlaut.
constexpr wchar_t kLatinCaption[] = L"Gr\u00f6\u00dfe";

constexpr std::size_t kLongTextLength = 2000;
// Larger than any text the fixture sets: reading one back into it never cuts it.
constexpr int kReadBackCapacity = 4096;
using ReadBuffer = std::array<wchar_t, kReadBackCapacity>;

constexpr int kDrawnItems = 3;
constexpr LPARAM kFirstDrawnItemData = 1001;
constexpr UINT kDrawnItemHeight = 18;
constexpr int kListColumnWidth = 140;
constexpr int kHeaderItemWidth = 110;
constexpr int kStatusPartWidth = 240;
constexpr int kToolbarSeparatorWidth = 8;
constexpr int kFirstToolbarCommand = 100;
constexpr int kBenchColumns = 5;
constexpr int kBenchTreeFanOut = 10;
constexpr int kBenchTreeLevels = 4;

// The hostile controls.
constexpr LRESULT kClaimedCount = 0x7FFFFFFF;
constexpr WPARAM kClaimedLengthItem = 1;
constexpr int kHangingRows = 20;
constexpr int kAnsweredRows = 10;
constexpr DWORD kHangMs = 60000;
constexpr int kExitingRows = 50;
constexpr LONG_PTR kAnsweredTexts = 20;
constexpr int kTextlessRows = 12;
constexpr UINT_PTR kSubclassId = 1;
constexpr DWORD kHostileCreateTimeoutMs = 30000;

enum class Kind { ListBox, ComboBox, ListView, TreeView, Tab, Header, StatusBar, Toolbar };
// In Kind's order: the names the truth gives the kinds.
constexpr const wchar_t* kKindNames[] = {L"ListBox", L"ComboBox", L"ListView",  L"TreeView",
                                         L"Tab",     L"Header",   L"StatusBar", L"Toolbar"};

struct ItemRow {
    int depth = 0;
    std::vector<std::wstring> cells;

    bool operator==(const ItemRow&) const = default;
};

// A control the fixture made, with the items it holds: the truth about it.
struct ControlItems {
    ControlItems() = default;
    ControlItems(std::wstring controlName, Kind controlKind, HWND control)
        : name(std::move(controlName)), kind(controlKind), window(control) {}

    std::wstring name;
    Kind kind = Kind::ListBox;
    HWND window = nullptr;
    std::vector<std::wstring> captions;      // list views only
    std::vector<std::size_t> hiddenColumns;  // list views only: columns of zero width
    std::vector<ItemRow> rows;
    bool keepsTexts = true;
    std::size_t dataItems = 0;  // the items of a list that keeps no texts
    std::vector<std::pair<std::wstring, std::wstring>> expectations;
};

// A tree item in pre-order, as it is inserted.
struct TreeNode {
    int depth = 0;
    std::wstring text;
    bool expanded = false;
};

// A text of kLongTextLength units that starts with lead, so that a cut anywhere shows.
std::wstring LongText(std::wstring_view lead) {
    std::wstring text(lead);
    while (text.size() < kLongTextLength) text += static_cast<wchar_t>(L'0' + text.size() % 10);
    return text;
}

std::vector<ItemRow> OneColumn(const std::vector<std::wstring>& texts) {
    std::vector<ItemRow> rows;
    for (const std::wstring& text : texts) rows.push_back({0, {text}});
    return rows;
}

// The setting messages only read the text their structures point to.
wchar_t* TextField(const std::wstring& text) {
    return const_cast<wchar_t*>(text.c_str());
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, const void* lParam) {
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

std::size_t SendCount(HWND window, UINT message) {
    return static_cast<std::size_t>(std::max<LRESULT>(SendMessageW(window, message, 0, 0), 0));
}

HWND CreateControl(const Fixture& fixture, HWND parent, const wchar_t* className, DWORD style,
                   Placement at) {
    return CreateWindowChecked(fixture, 0, className, L"", WS_CHILD | WS_VISIBLE | style, at,
                               parent);
}

// ---- Controls and their items

// A list box or combo box that keeps its strings.
ControlItems MakeStringList(const Fixture& fixture, HWND parent, std::wstring name, Kind kind,
                            Placement at, const std::vector<std::wstring>& texts) {
    const bool isListBox = kind == Kind::ListBox;
    const DWORD style =
        isListBox ? WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT
                  : WS_VSCROLL | CBS_DROPDOWNLIST;
    ControlItems control{
        std::move(name), kind,
        CreateControl(fixture, parent, isListBox ? WC_LISTBOXW : WC_COMBOBOXW, style, at)};
    for (const std::wstring& text : texts) {
        Send(control.window, isListBox ? LB_ADDSTRING : CB_ADDSTRING, 0, text.c_str());
    }
    if (!isListBox) SendMessageW(control.window, CB_SETCURSEL, 0, 0);
    control.rows = OneColumn(texts);
    return control;
}

// An owner-drawn list box without LBS_HASSTRINGS: LB_ADDSTRING's argument is item data.
ControlItems MakeDrawnList(const Fixture& fixture, HWND parent, Placement at) {
    ControlItems control{
        L"drawnlist", Kind::ListBox,
        CreateControl(
            fixture, parent, WC_LISTBOXW,
            WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, at)};
    for (int item = 0; item < kDrawnItems; ++item) {
        SendMessageW(control.window, LB_ADDSTRING, 0, kFirstDrawnItemData + item);
    }
    control.keepsTexts = false;
    control.dataItems = kDrawnItems;
    return control;
}

// Filled with redraw off: a list view that redraws after each insert is many times slower.
ControlItems MakeListView(const Fixture& fixture, HWND parent, std::wstring name, DWORD view,
                          Placement at, std::vector<std::wstring> captions,
                          std::vector<ItemRow> rows) {
    ControlItems control{
        std::move(name), Kind::ListView,
        CreateControl(fixture, parent, WC_LISTVIEWW, WS_BORDER | LVS_SHOWSELALWAYS | view, at)};
    const HWND list = control.window;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t column = 0; column < captions.size(); ++column) {
        LVCOLUMNW entry{};
        entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        entry.cx = kListColumnWidth;
        entry.pszText = TextField(captions[column]);
        entry.iSubItem = static_cast<int>(column);
        Send(list, LVM_INSERTCOLUMNW, column, &entry);
    }
    SendMessageW(list, LVM_SETITEMCOUNT, rows.size(), LVSICF_NOINVALIDATEALL);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::vector<std::wstring>& cells = rows[row].cells;
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = TextField(cells.at(0));
        Send(list, LVM_INSERTITEMW, 0, &item);
        for (std::size_t column = 1; column < cells.size(); ++column) {
            item.iSubItem = static_cast<int>(column);
            item.pszText = TextField(cells[column]);
            Send(list, LVM_SETITEMTEXTW, row, &item);
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    control.captions = std::move(captions);
    control.rows = std::move(rows);
    return control;
}

ControlItems MakeTreeView(const Fixture& fixture, HWND parent, std::wstring name, Placement at,
                          const std::vector<TreeNode>& nodes) {
    ControlItems control{
        std::move(name), Kind::TreeView,
        CreateControl(
            fixture, parent, WC_TREEVIEWW,
            WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, at)};
    const HWND tree = control.window;
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    std::vector<HTREEITEM> lastAtDepth;
    std::vector<HTREEITEM> expanded;
    for (const TreeNode& node : nodes) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = node.depth == 0 ? TVI_ROOT : lastAtDepth.at(node.depth - 1);
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = TextField(node.text);
        const auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_INSERTITEMW, 0, &insert));
        lastAtDepth.resize(node.depth + 1);
        lastAtDepth[node.depth] = item;
        if (node.expanded) expanded.push_back(item);
        control.rows.push_back({node.depth, {node.text}});
    }
    // Expanded once their children exist; the other parents are never expanded.
    for (const HTREEITEM item : expanded) Send(tree, TVM_EXPAND, TVE_EXPAND, item);
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    return control;
}

ControlItems MakeTabs(const Fixture& fixture, HWND parent, Placement at,
                      const std::vector<std::wstring>& texts) {
    ControlItems control{L"tabs", Kind::Tab, CreateControl(fixture, parent, WC_TABCONTROLW, 0, at)};
    for (std::size_t index = 0; index < texts.size(); ++index) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = TextField(texts[index]);
        Send(control.window, TCM_INSERTITEMW, index, &item);
    }
    control.rows = OneColumn(texts);
    return control;
}

ControlItems MakeHeader(const Fixture& fixture, HWND parent, Placement at,
                        const std::vector<std::wstring>& texts) {
    ControlItems control{L"header", Kind::Header,
                         CreateControl(fixture, parent, WC_HEADERW, WS_BORDER | HDS_HORZ, at)};
    for (std::size_t index = 0; index < texts.size(); ++index) {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = kHeaderItemWidth;
        item.fmt = HDF_LEFT | HDF_STRING;
        item.pszText = TextField(texts[index]);
        Send(control.window, HDM_INSERTITEMW, index, &item);
    }
    control.rows = OneColumn(texts);
    return control;
}

// Places itself along the bottom of its parent.
ControlItems MakeStatusBar(const Fixture& fixture, HWND parent,
                           const std::vector<std::wstring>& texts) {
    ControlItems control{L"status", Kind::StatusBar,
                         CreateControl(fixture, parent, STATUSCLASSNAMEW, SBARS_SIZEGRIP, {})};
    std::vector<int> rightEdges;
    for (std::size_t part = 1; part < texts.size(); ++part) {
        rightEdges.push_back(static_cast<int>(part) * kStatusPartWidth);
    }
    rightEdges.push_back(-1);  // the last part reaches the right end
    Send(control.window, SB_SETPARTS, rightEdges.size(), rightEdges.data());
    for (std::size_t part = 0; part < texts.size(); ++part) {
        Send(control.window, SB_SETTEXTW, part, texts[part].c_str());
    }
    control.rows = OneColumn(texts);
    return control;
}

// Places itself along the top of its parent. An empty text stands for a separator.
ControlItems MakeToolbar(const Fixture& fixture, HWND parent,
                         const std::vector<std::wstring>& texts) {
    ControlItems control{L"toolbar", Kind::Toolbar,
                         CreateControl(fixture, parent, TOOLBARCLASSNAMEW,
                                       TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP, {})};
    SendMessageW(control.window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(control.window, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    for (std::size_t index = 0; index < texts.size(); ++index) {
        TBBUTTON button{};
        if (texts[index].empty()) {
            button.iBitmap = kToolbarSeparatorWidth;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = I_IMAGENONE;
            button.idCommand = kFirstToolbarCommand + static_cast<int>(index);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
            button.iString = reinterpret_cast<INT_PTR>(texts[index].c_str());  // copied
        }
        Send(control.window, TB_ADDBUTTONSW, 1, &button);
    }
    SendMessageW(control.window, TB_AUTOSIZE, 0, 0);
    control.rows = OneColumn(texts);
    return control;
}

// ---- Reading the controls back in-process

std::wstring BufferText(const wchar_t* text) {
    return std::wstring(text, wcsnlen(text, kReadBackCapacity));
}

// Reads a text through a structure with mask, pszText and cchTextMax, which the item messages of
// list views, trees, tabs and headers take; item comes with the rest of it set.
template <typename Item>
std::wstring StructText(HWND control, UINT message, WPARAM wParam, UINT mask, Item item) {
    ReadBuffer buffer{};
    item.mask = mask;
    item.pszText = buffer.data();
    item.cchTextMax = kReadBackCapacity;
    Send(control, message, wParam, &item);
    // The control may point pszText at its own copy instead of filling the buffer.
    return BufferText(item.pszText);
}

// Items 0 .. count - 1 of a one-column control, each read by textOf.
std::vector<ItemRow> ReadIndexed(std::size_t count,
                                 const std::function<std::wstring(std::size_t)>& textOf) {
    std::vector<ItemRow> rows;
    for (std::size_t index = 0; index < count; ++index) rows.push_back({0, {textOf(index)}});
    return rows;
}

std::vector<ItemRow> ReadStringList(HWND window, UINT countMessage, UINT lengthMessage,
                                    UINT textMessage) {
    return ReadIndexed(SendCount(window, countMessage), [&](std::size_t index) {
        const LRESULT length = SendMessageW(window, lengthMessage, index, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT copied = Send(window, textMessage, index, text.data());
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
        return text;
    });
}

std::size_t ListViewColumns(HWND list) {
    return SendCount(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)),
                     HDM_GETITEMCOUNT);
}

std::vector<std::wstring> ReadListViewCaptions(HWND list) {
    std::vector<std::wstring> captions;
    for (std::size_t column = 0; column < ListViewColumns(list); ++column) {
        captions.push_back(StructText(list, LVM_GETCOLUMNW, column, LVCF_TEXT, LVCOLUMNW{}));
    }
    return captions;
}

std::vector<ItemRow> ReadListViewRows(HWND list) {
    const std::size_t columns = ListViewColumns(list);
    std::vector<ItemRow> rows(SendCount(list, LVM_GETITEMCOUNT));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = static_cast<int>(column);
            rows[row].cells.push_back(StructText(list, LVM_GETITEMTEXTW, row, LVIF_TEXT, item));
        }
    }
    return rows;
}

HTREEITEM NextTreeItem(HWND tree, WPARAM relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, relation, item));
}

void ReadTreeRows(HWND tree, HTREEITEM first, int depth, std::vector<ItemRow>& rows) {
    for (HTREEITEM item = first; item != nullptr; item = NextTreeItem(tree, TVGN_NEXT, item)) {
        TVITEMW entry{};
        entry.hItem = item;
        rows.push_back({depth, {StructText(tree, TVM_GETITEMW, 0, TVIF_TEXT, entry)}});
        ReadTreeRows(tree, NextTreeItem(tree, TVGN_CHILD, item), depth + 1, rows);
    }
}

std::wstring TabText(HWND tabs, std::size_t index) {
    return StructText(tabs, TCM_GETITEMW, index, TCIF_TEXT, TCITEMW{});
}

std::wstring HeaderText(HWND header, std::size_t index) {
    return StructText(header, HDM_GETITEMW, index, HDI_TEXT, HDITEMW{});
}

std::wstring StatusText(HWND status, std::size_t part) {
    ReadBuffer buffer{};
    Send(status, SB_GETTEXTW, part, buffer.data());
    return BufferText(buffer.data());
}

std::wstring ToolbarText(HWND toolbar, std::size_t index) {
    TBBUTTON button{};
    Send(toolbar, TB_GETBUTTON, index, &button);
    if ((button.fsStyle & BTNS_SEP) != 0) return {};
    ReadBuffer buffer{};
    Send(toolbar, TB_GETBUTTONTEXTW, button.idCommand, buffer.data());
    return BufferText(buffer.data());
}

std::vector<ItemRow> ReadRows(const ControlItems& control) {
    const HWND window = control.window;
    const auto indexed = [window](std::wstring (*textOf)(HWND, std::size_t), UINT countMessage) {
        return ReadIndexed(SendCount(window, countMessage),
                           [&](std::size_t index) { return textOf(window, index); });
    };
    switch (control.kind) {
        case Kind::ListBox:
            return ReadStringList(window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
        case Kind::ComboBox:
            return ReadStringList(window, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
        case Kind::ListView:
            return ReadListViewRows(window);
        case Kind::TreeView: {
            std::vector<ItemRow> rows;
            ReadTreeRows(window, NextTreeItem(window, TVGN_ROOT, nullptr), 0, rows);
            return rows;
        }
        case Kind::Tab:
            return indexed(TabText, TCM_GETITEMCOUNT);
        case Kind::Header:
            return indexed(HeaderText, HDM_GETITEMCOUNT);
        case Kind::StatusBar:
            return indexed(StatusText, SB_GETPARTS);
        case Kind::Toolbar:
            return indexed(ToolbarText, TB_BUTTONCOUNT);
    }
    return {};
}

// Stops the fixture when the control does not hold what the truth is about to say.
void CheckItemsAgree(const ControlItems& control) {
    if (!control.keepsTexts) {
        const bool hasStrings = (GetWindowLongW(control.window, GWL_STYLE) & LBS_HASSTRINGS) != 0;
        if (hasStrings || SendCount(control.window, LB_GETCOUNT) != control.dataItems) {
            Fail(kExitMismatch, control.name + L" keeps strings or lost items");
        }
        return;
    }
    if (control.kind == Kind::ListView &&
        ReadListViewCaptions(control.window) != control.captions) {
        Fail(kExitMismatch, L"the captions of " + control.name + L" are not those set");
    }
    for (const std::size_t column : control.hiddenColumns) {
        if (SendMessageW(control.window, LVM_GETCOLUMNWIDTH, column, 0) != 0) {
            Fail(kExitMismatch, L"a hidden column of " + control.name + L" has a width");
        }
    }
    const std::vector<ItemRow> rows = ReadRows(control);
    const auto [read, set] =
        std::mismatch(rows.begin(), rows.end(), control.rows.begin(), control.rows.end());
    if (read != rows.end() || set != control.rows.end()) {
        Fail(kExitMismatch, control.name + L" holds " + std::to_wstring(rows.size()) + L" items, " +
                                std::to_wstring(control.rows.size()) +
                                L" set; the first that differs is item " +
                                std::to_wstring(read - rows.begin()));
    }
}

void AppendTruth(std::wstring& truth, const ControlItems& control) {
    const std::size_t columns = std::max<std::size_t>(control.captions.size(), 1);
    const std::size_t count = control.keepsTexts ? control.rows.size() : control.dataItems;
    truth += L"control\t" + control.name + L'\t' + kKindNames[static_cast<int>(control.kind)] +
             L'\t' + HandleField(control.window) + L'\t' + std::to_wstring(columns) + L'\t' +
             std::to_wstring(count) + L'\t' + (control.keepsTexts ? L"texts" : L"notexts") + L'\n';
    if (!control.captions.empty()) {
        truth += L"captions";
        for (const std::wstring& caption : control.captions) truth += L'\t' + EscapeField(caption);
        truth += L'\n';
    }
    if (!control.hiddenColumns.empty()) {
        truth += L"hidden";
        for (const std::size_t column : control.hiddenColumns) {
            truth += L'\t' + std::to_wstring(column);
        }
        truth += L'\n';
    }
    for (const ItemRow& row : control.rows) {
        truth += L"item\t" + std::to_wstring(row.depth);
        for (const std::wstring& cell : row.cells) truth += L'\t' + EscapeField(cell);
        truth += L'\n';
    }
    for (const auto& [what, value] : control.expectations) {
        truth += L"expect\t" + what + L'\t' + value + L'\n';
    }
}

// ---- The items window

LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item) {
    item.itemHeight = kDrawnItemHeight;
    return TRUE;
}

// The drawn list shows its item data; there is no text to read.
LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return TRUE;  // an empty list with the focus
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::wstring shown = L"Drawn item " + std::to_wstring(item.itemData);
    RECT bounds = item.rcItem;
    DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &bounds,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return TRUE;
}

LRESULT CALLBACK ItemsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MEASUREITEM:
            return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        default:
            return FixtureWindowProc(window, message, wParam, lParam);
    }
}

void PrepareItemsWindows(const Fixture& fixture) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
    if (!InitCommonControlsEx(&init)) FailApi(kExitSetup, L"InitCommonControlsEx failed");
    RegisterFixtureClass(fixture, kItemsClass, ItemsWindowProc);
}

// Made hidden, so filling the controls neither paints nor invalidates; shown by the caller.
HWND CreateItemsTop(const Fixture& fixture, const wchar_t* title, Placement at) {
    HWND top = CreateWindowChecked(fixture, 0, kItemsClass, title,
                                   WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at, nullptr);
    MarkMainWindow(top);
    return top;
}

// The report's rows, each with a key in a fifth column that the list does not show.
std::vector<ItemRow> ReportRows() {
    std::vector<ItemRow> rows{
        {0, {L"alpha.txt", kGreek, L"12", L"plain"}},
        {0, {L"beta.txt", L"", L"0", L"an empty second cell"}},
        {0,
         {std::wstring(kCjk) + L".doc", L"\u03ba\u03b5\u03af\u03bc\u03b5\u03bd\u03bf", L"2048",
          L"CJK name"}},
        {0,
         {std::wstring(L"smile ") + kOutsideBmp,
          L"\u03c7\u03b1\u03bc\u03cc\u03b3\u03b5\u03bb\u03bf", L"4", L"outside the BMP"}},
        {0, {L"long.txt", L"", L"2000", LongText(L"report cell ")}},
        {0, {L"tab\tinside.txt", L"back\\slash", L"7", L"a tab and a backslash"}},
        {0, {L"gamma.txt", L"\u03b3", L"3", L"seventh"}},
        {0, {L"delta.txt", L"\u03b4", L"4", L"eighth"}},
        {0, {L"epsilon.txt", L"\u03b5", L"5", L"ninth"}},
        {0, {L"zeta.txt", L"\u03b6", L"6", L""}},
        {0, {L"eta.txt", L"\u03b7", L"7", L"eleventh"}},
        {0, {L"", L"", L"", L"only the last cell"}},
    };
    for (std::size_t row = 0; row < rows.size(); ++row) {
        rows[row].cells.push_back(L"key " + std::to_wstring(row + 1));
    }
    return rows;
}

// The report's fifth column: read like the others, shown by no one.
constexpr std::size_t kReportKeyColumn = 4;

ControlItems HideColumn(ControlItems control, std::size_t column) {
    SendMessageW(control.window, LVM_SETCOLUMNWIDTH, column, 0);
    control.hiddenColumns.push_back(column);
    return control;
}

// A static that shows icon kStaticIconOrdinal of the program's resources, made as the dialog
// manager makes one from a template: its text is U+FFFF and the ordinal. (A bare
// MAKEINTRESOURCE as the name is read as a string pointer by Wine's CreateWindowEx.)
void AddIconStatic(const Fixture& fixture, HWND parent, Placement at) {
    const std::wstring ordinalName{L'\xFFFF', static_cast<wchar_t>(kStaticIconOrdinal)};
    CreateWindowChecked(fixture, 0, L"Static", ordinalName, WS_CHILD | WS_VISIBLE | SS_ICON, at,
                        parent);
}

std::vector<ItemRow> BenchRows(int count) {
    std::vector<ItemRow> rows(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < kBenchColumns; ++column) {
            rows[row].cells.push_back(L"r" + std::to_wstring(row) + L" c" +
                                      std::to_wstring(column));
        }
    }
    return rows;
}

std::vector<std::wstring> BenchCaptions() {
    std::vector<std::wstring> captions;
    for (int column = 0; column < kBenchColumns; ++column) {
        captions.push_back(L"Column " + std::to_wstring(column));
    }
    return captions;
}

// Four levels; A and C and A.1 expanded, the other parents never.
std::vector<TreeNode> TreeNodes() {
    return {
        {0, L"Root A", true},
        {1, L"A.1", true},
        {2, L"A.1.a"},
        {2, L"A.1.b"},
        {3, L"A.1.b.i"},
        {1, std::wstring(L"A.2 ") + kGreek},
        {0, L"Root B"},
        {1, L"B.1"},
        {2, L"B.1.a"},
        {1, std::wstring(L"B.2 ") + kCjk},
        {0, std::wstring(L"Root C ") + kOutsideBmp, true},
        {1, L"C.1"},
        {1, L"C.2"},
        {2, L"C.2.a"},
        {2, L"C.2.b \\ tab\there"},
        {0, L"Root D"},
    };
}

// count items in pre-order, kBenchTreeFanOut children a parent, kBenchTreeLevels deep.
void AppendBenchTree(std::vector<TreeNode>& nodes, int depth, int siblings, std::size_t count) {
    for (int sibling = 0; sibling < siblings && nodes.size() < count; ++sibling) {
        nodes.push_back({depth, L"item " + std::to_wstring(nodes.size())});
        if (depth + 1 < kBenchTreeLevels) {
            AppendBenchTree(nodes, depth + 1, kBenchTreeFanOut, count);
        }
    }
}

std::vector<TreeNode> BenchTreeNodes(int count) {
    std::vector<TreeNode> nodes;
    AppendBenchTree(nodes, 0, std::numeric_limits<int>::max(), static_cast<std::size_t>(count));
    return nodes;
}

// ---- The hostile controls

bool AsksListViewText(UINT message) {
    return message == LVM_GETITEMTEXTW || message == LVM_GETITEMTEXTA || message == LVM_GETITEMW ||
           message == LVM_GETITEMA;
}

// LVITEMA and LVITEMW agree up to the text.
int AskedRow(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_GETITEMTEXTW || message == LVM_GETITEMTEXTA) return static_cast<int>(wParam);
    return reinterpret_cast<const LVITEMW*>(lParam)->iItem;
}

LRESULT CALLBACK LyingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
    if (message == LB_GETCOUNT) return kClaimedCount;
    if (message == LB_GETTEXTLEN && wParam == kClaimedLengthItem) return kClaimedCount;
    return DefSubclassProc(window, message, wParam, lParam);
}

// A thread stuck in its own work: it answers nothing else while it sleeps.
LRESULT CALLBACK HangingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    if (AsksListViewText(message) && AskedRow(message, wParam, lParam) >= kAnsweredRows) {
        Sleep(kHangMs);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The texts asked so far are counted in the list's GWLP_USERDATA.
LRESULT CALLBACK ExitingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    if (AsksListViewText(message)) {
        const LONG_PTR asked = GetWindowLongPtrW(window, GWLP_USERDATA) + 1;
        if (asked > kAnsweredTexts) ExitProcess(kExitOk);  // the program closes mid-read
        SetWindowLongPtrW(window, GWLP_USERDATA, asked);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Answers, then deletes the next sibling of the item it answered for.
LRESULT CALLBACK DeletingTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if ((message == TVM_GETITEMW || message == TVM_GETITEMA) && result != FALSE) {
        // TVITEMA and TVITEMW agree up to the text.
        const HTREEITEM asked = reinterpret_cast<const TVITEMW*>(lParam)->hItem;
        if (const HTREEITEM next = NextTreeItem(window, TVGN_NEXT, asked)) {
            Send(window, TVM_DELETEITEM, 0, next);
        }
    }
    return result;
}

std::vector<ItemRow> NumberedRows(int count, const std::function<std::wstring(int)>& secondCell) {
    std::vector<ItemRow> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back({0, {L"row " + std::to_wstring(row), secondCell(row)}});
    }
    return rows;
}

// The control of one hostile kind in a window of its own, checked before it starts to misbehave.
ControlItems MakeHostileControl(const Fixture& fixture, std::wstring_view kind) {
    constexpr Placement kTopAt = {60, 60, 520, 420};
    constexpr Placement kControlAt = {10, 10, 480, 350};
    HWND top = CreateItemsTop(fixture, kHostileItemsTitle, kTopAt);
    const std::wstring name(kind);
    ControlItems control;
    SUBCLASSPROC misbehaviour = nullptr;
    if (kind == L"lbliar") {
        control = MakeStringList(fixture, top, name, Kind::ListBox, kControlAt,
                                 {L"first", L"second, whose length claims 2147483647", L"third"});
        control.expectations = {{L"claimedCount", std::to_wstring(kClaimedCount)},
                                {L"claimedLengthItem", std::to_wstring(kClaimedLengthItem)}};
        misbehaviour = LyingListProc;
    } else if (kind == L"lvhang") {
        control = MakeListView(fixture, top, name, LVS_REPORT, kControlAt, {L"Row", L"Answer"},
                               NumberedRows(kHangingRows, [](int row) {
                                   return std::wstring(row < kAnsweredRows ? L"answers" : L"hangs");
                               }));
        control.expectations = {{L"answeredRows", std::to_wstring(kAnsweredRows)},
                                {L"hangMs", std::to_wstring(kHangMs)}};
        misbehaviour = HangingListProc;
    } else if (kind == L"treedelete") {
        control = MakeTreeView(fixture, top, name, kControlAt,
                               {{0, L"one", true},
                                {1, L"one.a"},
                                {1, L"one.b"},
                                {0, L"two", true},
                                {1, L"two.a"},
                                {0, L"three"},
                                {0, L"four"}});
        control.expectations = {{L"deletesOnRead", L"nextSibling"}};
        misbehaviour = DeletingTreeProc;
    } else if (kind == L"lvnotext") {
        // Drawn by its owner from what the program knows; the list itself holds no text.
        control = MakeListView(fixture, top, name, LVS_REPORT | LVS_OWNERDRAWFIXED, kControlAt,
                               {L"", L""}, std::vector<ItemRow>(kTextlessRows, {0, {L"", L""}}));
    } else {
        control = MakeListView(
            fixture, top, name, LVS_REPORT, kControlAt, {L"Row", L"Text"},
            NumberedRows(kExitingRows, [](int row) { return L"text " + std::to_wstring(row); }));
        control.expectations = {{L"answeredTexts", std::to_wstring(kAnsweredTexts)}};
        misbehaviour = ExitingListProc;
    }
    CheckItemsAgree(control);
    if (misbehaviour != nullptr &&
        !SetWindowSubclass(control.window, misbehaviour, kSubclassId, 0)) {
        FailApi(kExitSetup, L"cannot subclass " + name);
    }
    ShowWindow(top, SW_SHOWNORMAL);
    return control;
}

// Handed to the thread of the hanging list; it must not touch this after setting ready.
struct HangingListRequest {
    const Fixture* fixture = nullptr;
    HANDLE ready = nullptr;
    ControlItems control;
};

DWORD WINAPI HangingListThread(void* parameter) {
    auto* request = static_cast<HangingListRequest*>(parameter);
    request->control = MakeHostileControl(*request->fixture, L"lvhang");
    SetEvent(request->ready);
    return static_cast<DWORD>(RunMessageLoop());
}

// The hanging list lives on a thread of its own, so only that thread hangs; the program ends when
// that thread's window is closed.
int RunHangingList(const Fixture& fixture, const Options& options) {
    HangingListRequest request;
    request.fixture = &fixture;
    request.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (request.ready == nullptr) FailApi(kExitSetup, L"CreateEventW failed");
    HANDLE thread = CreateThread(nullptr, 0, HangingListThread, &request, 0, nullptr);
    if (thread == nullptr) FailApi(kExitSetup, L"cannot start the hanging list's thread");
    if (WaitForSingleObject(request.ready, kHostileCreateTimeoutMs) != WAIT_OBJECT_0) {
        Fail(kExitSetup, L"timed out waiting for the hanging list");
    }
    CloseHandle(request.ready);
    std::wstring truth;
    AppendTruth(truth, request.control);
    WriteTruthFile(options.truthPath, truth);
    WaitForSingleObject(thread, INFINITE);
    DWORD exitCode = kExitOk;
    GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    return static_cast<int>(exitCode);
}

}  // namespace

bool IsHostileItemsKind(std::wstring_view kind) {
    return kind == L"lbliar" || kind == L"lvhang" || kind == L"treedelete" ||
           kind == L"itemsexit" || kind == L"lvnotext";
}

int RunItemsMode(const Fixture& fixture, const Options& options) {
    PrepareItemsWindows(fixture);
    HWND top = CreateItemsTop(fixture, kItemsTitle, {20, 20, 980, 760});
    const std::wstring smile = std::wstring(L"grin ") + kOutsideBmp;
    std::vector<ControlItems> controls;
    controls.push_back(MakeToolbar(fixture, top, {L"New", L"Open", L"", kGreekSave}));
    controls.push_back(MakeStringList(fixture, top, L"listbox", Kind::ListBox, {10, 50, 230, 160},
                                      {L"Plain ASCII", kGreek, kCjk, smile, L"",
                                       LongText(L"list box "), L"C:\\Temp\\tab\there"}));
    controls.push_back(MakeDrawnList(fixture, top, {250, 50, 160, 160}));
    controls.push_back(
        MakeStringList(fixture, top, L"combo", Kind::ComboBox, {420, 50, 200, 200},
                       {L"Combo plain", std::wstring(kGreek) + L" \u03ba\u03cc\u03c3\u03bc\u03b5",
                        kCjk, smile, L"", LongText(L"combo box ")}));
    controls.push_back(MakeTabs(fixture, top, {630, 50, 330, 80},
                                {L"General", kGreekTab, L"Details", L"Advanced"}));
    controls.push_back(
        MakeHeader(fixture, top, {630, 140, 330, 26}, {L"Name", kLatinCaption, L"Modified"}));
    controls.push_back(
        options.rows > 0
            ? MakeListView(fixture, top, L"report", LVS_REPORT, {10, 220, 610, 260},
                           BenchCaptions(), BenchRows(options.rows))
            : HideColumn(
                  MakeListView(fixture, top, L"report", LVS_REPORT, {10, 220, 610, 260},
                               {L"Name", kGreekTab, L"Size", L"Notes", L"Key"}, ReportRows()),
                  kReportKeyColumn));
    controls.push_back(MakeListView(fixture, top, L"icons", LVS_ICON, {10, 490, 610, 170},
                                    {L"Name", L"Comment"},
                                    {{0, {L"Icon one", L"first"}},
                                     {0, {kGreek, L"Greek"}},
                                     {0, {kCjk, L"CJK"}},
                                     {0, {L"Four", L""}}}));
    controls.push_back(
        MakeTreeView(fixture, top, L"tree", {630, 180, 330, 480},
                     options.treeItems > 0 ? BenchTreeNodes(options.treeItems) : TreeNodes()));
    controls.push_back(MakeStatusBar(
        fixture, top,
        {L"Ready", std::wstring(kGreek) + L" " + kCjk + L" " + kOutsideBmp, L"3 parts"}));
    AddIconStatic(fixture, top, {630, 668, 32, 32});
    ShowWindow(top, SW_SHOWNORMAL);

    std::wstring truth;
    for (const ControlItems& control : controls) {
        CheckItemsAgree(control);
        AppendTruth(truth, control);
    }
    WriteTruthFile(options.truthPath, truth);
    return RunMessageLoop();
}

int RunHostileItemsMode(const Fixture& fixture, const Options& options) {
    PrepareItemsWindows(fixture);
    if (options.kind == L"lvhang") return RunHangingList(fixture, options);
    const ControlItems control = MakeHostileControl(fixture, options.kind);
    std::wstring truth;
    AppendTruth(truth, control);
    WriteTruthFile(options.truthPath, truth);
    return RunMessageLoop();
}
