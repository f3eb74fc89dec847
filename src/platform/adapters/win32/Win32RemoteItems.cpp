// The items of another program's controls.
#include "win32/Win32RemoteItems.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "win32/ConsoleScreen.h"
#include "win32/RemoteItemKinds.h"
#include "win32/RemoteLayouts.h"
#include "win32/RemoteMemory.h"
#include "win32/Win32Text.h"
#include "win32/Win32WindowSystem.h"

namespace {

// Each text's room in the first round; a text that fills it is asked again with more.
constexpr std::size_t kFirstUnits = 256;
// Structures written into the target at once: one round's memory stays a few hundred KB.
constexpr std::size_t kItemsPerRound = 256;
// The tree's own steps (TVGN_ROOT, TVGN_NEXT, TVGN_CHILD).
constexpr WPARAM TreeStepFlag(TreeStep step) {
    switch (step) {
        case TreeStep::Root:
            return TVGN_ROOT;
        case TreeStep::Next:
            return TVGN_NEXT;
        case TreeStep::Child:
            return TVGN_CHILD;
    }
    return TVGN_ROOT;
}

// Ends a conversation that was not answered; memory that a late answer may still write into is
// left to the target.
void EndUnanswered(RemoteEnd end, RemoteRoom& room, RemoteTexts& read) {
    if (end == RemoteEnd::TimedOut) {
        room.Abandon();
    }
    read.end = end;
}

// The text in units up to its first NUL and at most length units.
Text TextUpTo(const char16_t* units, std::size_t length) {
    const std::size_t end = std::find(units, units + length, u'\0') - units;
    return Text(units, end);
}

// Reads the texts that a control gives through an item structure, for one bitness of target.
template <typename Pointer>
class StructTexts {
public:
    StructTexts(HWND control, HANDLE process, const StructItemKind<Pointer>& kind,
                std::size_t maxUnits, std::chrono::milliseconds timeout)
        : m_control(control),
          m_process(process),
          m_kind(kind),
          m_maxUnits(maxUnits),
          m_timeout(timeout) {}

    RemoteTexts Read(std::span<const ItemRef> items) {
        RemoteTexts read;
        RemoteRoom room(m_process);
        for (std::size_t first = 0; first < items.size() && read.end == RemoteEnd::Answered;
             first += kItemsPerRound) {
            const auto round = items.subspan(first, std::min(kItemsPerRound, items.size() - first));
            const std::size_t before = read.texts.size();
            Round(room, round, kFirstUnits, read);
            // A text that filled its room may be longer: asked again alone with more.
            for (std::size_t item = before; item < read.texts.size(); ++item) {
                if (read.texts[item].size() + 1 == kFirstUnits) {
                    read.texts[item] = Longer(items[item], read);
                }
            }
        }
        return read;
    }

private:
    // The round's structures written at once, one message an item, the texts read back at once.
    // Appends the texts of the items that answered; sets read.end when one did not.
    void Round(RemoteRoom& room, std::span<const ItemRef> items, std::size_t units,
               RemoteTexts& read) {
        const std::size_t structs = m_kind.size * items.size();
        const std::size_t textBytes = units * sizeof(char16_t);
        const RemoteMemory* memory = room.Reserve(structs + textBytes * items.size());
        std::vector<std::byte> local(structs + textBytes * items.size());
        if (memory == nullptr) {
            read.end = RemoteEnd::Gone;
            return;
        }
        for (std::size_t item = 0; item < items.size(); ++item) {
            m_kind.fill(items[item],
                        static_cast<Pointer>(memory->Address(structs + item * textBytes)),
                        static_cast<int>(units), local.data() + item * m_kind.size);
        }
        if (!memory->Write(0, local.data(), local.size())) {
            read.end = RemoteEnd::Gone;
            return;
        }
        std::vector<std::int64_t> lengths;
        for (const ItemRef& ref : items) {
            const WPARAM index = m_kind.itemInStructure ? 0 : static_cast<WPARAM>(ref.item);
            const RemoteNumber answer = SendWithTimeout(
                m_control, m_kind.message, index,
                static_cast<LPARAM>(memory->Address(m_kind.size * lengths.size())), m_timeout);
            // A length answers for an item that exists; otherwise FALSE says it does not.
            if (answer.end != RemoteEnd::Answered || (!m_kind.answersLength && answer.value == 0)) {
                EndUnanswered(answer.end != RemoteEnd::Answered ? answer.end : RemoteEnd::Refused,
                              room, read);
                break;
            }
            lengths.push_back(m_kind.answersLength
                                  ? std::clamp<std::int64_t>(answer.value, 0,
                                                             static_cast<std::int64_t>(units) - 1)
                                  : static_cast<std::int64_t>(units) - 1);
        }
        std::vector<char16_t> texts(units * lengths.size());
        if (!memory->Read(structs, texts.data(), texts.size() * sizeof(char16_t))) {
            read.end = RemoteEnd::Gone;
            return;
        }
        for (std::size_t item = 0; item < lengths.size(); ++item) {
            read.texts.push_back(
                TextUpTo(texts.data() + item * units, static_cast<std::size_t>(lengths[item])));
        }
    }

    // The text of one item that filled its first room, asked with twice the room each time up
    // to maxUnits; a text still filling that is cut there.
    Text Longer(const ItemRef& ref, RemoteTexts& read) {
        RemoteRoom room(m_process);
        Text text;
        for (std::size_t units = kFirstUnits * 2;; units = std::min(units * 2, m_maxUnits + 1)) {
            RemoteTexts alone;
            Round(room, std::span(&ref, 1), units, alone);
            if (alone.texts.empty()) {
                read.end = alone.end;
                return text;
            }
            text = std::move(alone.texts.front());
            if (text.size() + 1 < units) {
                return text;
            }
            if (units > m_maxUnits) {
                ++read.cut;
                return text;
            }
        }
    }

    HWND m_control;
    HANDLE m_process;
    const StructItemKind<Pointer>& m_kind;
    std::size_t m_maxUnits;
    std::chrono::milliseconds m_timeout;
};

// Texts asked by their length first and then copied whole into memory in the target, which
// the message does not bound: a status bar's parts and a toolbar's buttons.
class UnboundedTexts {
public:
    UnboundedTexts(HWND control, HANDLE process, std::size_t maxUnits,
                   std::chrono::milliseconds timeout)
        : m_control(control), m_room(process), m_maxUnits(maxUnits), m_timeout(timeout) {}

    // The text of length units that copy(address) writes, or an empty one counted as cut when
    // it is longer than maxUnits; false when the conversation ended.
    bool Copy(std::int64_t length, UINT message, WPARAM wParam, RemoteTexts& read) {
        if (length <= 0) {
            read.texts.emplace_back();
            return true;
        }
        if (static_cast<std::size_t>(length) > m_maxUnits) {
            ++read.cut;
            read.texts.emplace_back();
            return true;
        }
        const std::size_t units = static_cast<std::size_t>(length) + 1;
        const RemoteMemory* memory = m_room.Reserve(units * sizeof(char16_t));
        const char16_t nothing = u'\0';
        if (memory == nullptr || !memory->Write(0, &nothing, sizeof(nothing))) {
            read.end = RemoteEnd::Gone;
            return false;
        }
        const RemoteNumber answer = SendWithTimeout(
            m_control, message, wParam, static_cast<LPARAM>(memory->Address(0)), m_timeout);
        std::vector<char16_t> text(units);
        if (answer.end != RemoteEnd::Answered) {
            EndUnanswered(answer.end, m_room, read);
            return false;
        }
        if (!memory->Read(0, text.data(), text.size() * sizeof(char16_t))) {
            read.end = RemoteEnd::Gone;
            return false;
        }
        read.texts.push_back(TextUpTo(text.data(), units - 1));
        return true;
    }

private:
    HWND m_control;
    RemoteRoom m_room;
    std::size_t m_maxUnits;
    std::chrono::milliseconds m_timeout;
};

RemoteTexts StatusParts(HWND control, HANDLE process, std::span<const ItemRef> items,
                        std::size_t maxUnits, std::chrono::milliseconds timeout) {
    RemoteTexts read;
    UnboundedTexts texts(control, process, maxUnits, timeout);
    for (const ItemRef& ref : items) {
        const RemoteNumber length =
            SendWithTimeout(control, SB_GETTEXTLENGTHW, ref.item, 0, timeout);
        if (length.end != RemoteEnd::Answered) {
            read.end = length.end;
            break;
        }
        if (!texts.Copy(LOWORD(length.value), SB_GETTEXTW, ref.item, read)) {
            break;
        }
    }
    return read;
}

template <typename Pointer>
RemoteTexts ToolbarButtons(HWND control, HANDLE process, std::span<const ItemRef> items,
                           std::size_t maxUnits, std::chrono::milliseconds timeout) {
    RemoteTexts read;
    UnboundedTexts texts(control, process, maxUnits, timeout);
    RemoteRoom buttonRoom(process);
    const RemoteMemory* button = buttonRoom.Reserve(sizeof(RemoteToolbarButton<Pointer>));
    if (button == nullptr) {
        read.end = RemoteEnd::Gone;
        return read;
    }
    for (const ItemRef& ref : items) {
        RemoteToolbarButton<Pointer> layout{};
        const RemoteNumber got = SendWithTimeout(control, TB_GETBUTTON, ref.item,
                                                 static_cast<LPARAM>(button->Address(0)), timeout);
        if (got.end != RemoteEnd::Answered || got.value == 0) {
            EndUnanswered(got.end != RemoteEnd::Answered ? got.end : RemoteEnd::Refused, buttonRoom,
                          read);
            break;
        }
        if (!button->Read(0, &layout, sizeof(layout))) {
            read.end = RemoteEnd::Gone;
            break;
        }
        if ((layout.fsStyle & BTNS_SEP) != 0) {
            read.texts.emplace_back();
            continue;
        }
        const WPARAM command = static_cast<WPARAM>(layout.idCommand);
        const RemoteNumber length =
            SendWithTimeout(control, TB_GETBUTTONTEXTW, command, 0, timeout);
        if (length.end != RemoteEnd::Answered) {
            read.end = length.end;
            break;
        }
        if (!texts.Copy(length.value, TB_GETBUTTONTEXTW, command, read)) {
            break;
        }
    }
    return read;
}

template <typename Pointer>
RemoteTexts TextsFor(HWND control, HANDLE process, ItemText what, std::span<const ItemRef> items,
                     std::size_t maxUnits, std::chrono::milliseconds timeout) {
    switch (what) {
        case ItemText::StatusPart:
            return StatusParts(control, process, items, maxUnits, timeout);
        case ItemText::ToolbarButton:
            return ToolbarButtons<Pointer>(control, process, items, maxUnits, timeout);
        case ItemText::ListViewCell:
        case ItemText::ListViewColumn:
        case ItemText::TreeItem:
        case ItemText::TabItem:
        case ItemText::HeaderItem:
            return StructTexts<Pointer>(control, process, StructItemKindOf<Pointer>(what), maxUnits,
                                        timeout)
                .Read(items);
    }
    return {{}, RemoteEnd::Refused, 0};
}

}  // namespace

RemoteEnd UnopenedEnd(DWORD error) noexcept {
    return error == ERROR_ACCESS_DENIED ? RemoteEnd::Denied : RemoteEnd::Gone;
}

Win32RemoteItems::Opened Win32RemoteItems::TargetOf(HWND control) {
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    if (processId == 0) {
        return {};
    }
    if (processId == m_target.processId && m_target.process &&
        WaitForSingleObject(m_target.process.get(), 0) == WAIT_TIMEOUT) {
        return {&m_target, RemoteEnd::Answered};
    }
    m_target = Target{};
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                           PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                                       FALSE, processId);
    if (process == nullptr) {
        return {nullptr, UnopenedEnd(GetLastError())};
    }
    m_target.process.reset(process);
    BOOL wow64 = FALSE;
    m_target.is32Bit = sizeof(void*) == sizeof(std::uint32_t) ||
                       (IsWow64Process(m_target.process.get(), &wow64) != FALSE && wow64 != FALSE);
    m_target.processId = processId;
    return {&m_target, RemoteEnd::Answered};
}

RemoteNumber Win32RemoteItems::Count(WindowHandle control, ItemCount query) {
    const HWND window = HwndOf(control);
    switch (query) {
        case ItemCount::ListBox:
            return SendWithTimeout(window, LB_GETCOUNT, 0, 0, m_timeout);
        case ItemCount::ComboBox:
            return SendWithTimeout(window, CB_GETCOUNT, 0, 0, m_timeout);
        case ItemCount::ListView:
            return SendWithTimeout(window, LVM_GETITEMCOUNT, 0, 0, m_timeout);
        case ItemCount::ListViewColumns: {
            const RemoteNumber header = SendWithTimeout(window, LVM_GETHEADER, 0, 0, m_timeout);
            if (header.end != RemoteEnd::Answered || header.value == 0) {
                return header;
            }
            return SendWithTimeout(HwndOf(static_cast<WindowHandle>(header.value)),
                                   HDM_GETITEMCOUNT, 0, 0, m_timeout);
        }
        case ItemCount::TreeView:
            return SendWithTimeout(window, TVM_GETCOUNT, 0, 0, m_timeout);
        case ItemCount::Tab:
            return SendWithTimeout(window, TCM_GETITEMCOUNT, 0, 0, m_timeout);
        case ItemCount::Header:
            return SendWithTimeout(window, HDM_GETITEMCOUNT, 0, 0, m_timeout);
        case ItemCount::StatusBar:
            return SendWithTimeout(window, SB_GETPARTS, 0, 0, m_timeout);
        case ItemCount::Toolbar:
            return SendWithTimeout(window, TB_BUTTONCOUNT, 0, 0, m_timeout);
        case ItemCount::Console: {
            // A console tells its lines only all at once; their texts do not count here.
            const RemoteTexts lines = ConsoleLines(control, 1);
            return {static_cast<std::int64_t>(lines.texts.size()), lines.end};
        }
    }
    return {0, RemoteEnd::Refused};
}

RemoteTexts Win32RemoteItems::ConsoleLines(WindowHandle console, std::size_t maxUnits) {
    return ReadConsoleLines(HwndOf(console), maxUnits);
}

bool Win32RemoteItems::KeepsStrings(WindowHandle control, ItemsKind kind) {
    const LONG style = GetWindowLongW(HwndOf(control), GWL_STYLE);
    const bool isCombo = kind == ItemsKind::ComboBox;
    const LONG ownerDrawn = isCombo ? CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE
                                    : LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE;
    const LONG hasStrings = isCombo ? CBS_HASSTRINGS : LBS_HASSTRINGS;
    return (style & ownerDrawn) == 0 || (style & hasStrings) != 0;
}

// The system carries these texts between programs itself: a buffer here is enough.
RemoteTexts Win32RemoteItems::ListTexts(WindowHandle control, ItemsKind kind, std::size_t first,
                                        std::size_t count, std::size_t maxUnits) {
    const HWND window = HwndOf(control);
    const bool isCombo = kind == ItemsKind::ComboBox;
    const UINT lengthMessage = isCombo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = isCombo ? CB_GETLBTEXT : LB_GETTEXT;
    // Room beyond the length claimed, for a text that grows between the two messages.
    constexpr std::size_t kSlack = 1024;
    RemoteTexts read;
    std::vector<wchar_t> buffer;
    for (std::size_t item = first; item < first + count; ++item) {
        const RemoteNumber length = SendWithTimeout(window, lengthMessage, item, 0, m_timeout);
        if (length.end != RemoteEnd::Answered || length.value < 0) {
            read.end = length.end != RemoteEnd::Answered ? length.end : RemoteEnd::Refused;
            break;
        }
        if (static_cast<std::size_t>(length.value) > maxUnits) {
            ++read.cut;
            read.texts.emplace_back();
            continue;
        }
        buffer.assign(static_cast<std::size_t>(length.value) + 1 + kSlack, L'\0');
        const RemoteNumber copied = SendWithTimeout(
            window, textMessage, item, reinterpret_cast<LPARAM>(buffer.data()), m_timeout);
        if (copied.end != RemoteEnd::Answered || copied.value < 0) {
            read.end = copied.end != RemoteEnd::Answered ? copied.end : RemoteEnd::Refused;
            break;
        }
        const std::size_t units =
            std::min(static_cast<std::size_t>(copied.value), buffer.size() - 1);
        read.texts.push_back(TextUpTo(reinterpret_cast<const char16_t*>(buffer.data()), units));
    }
    return read;
}

// LVM_GETCOLUMNWIDTH carries no structure; it answers the header's width in the details view
// only, so the view is asked first: by the style, or by LVM_GETVIEW where a program set the
// view without it.
RemoteNumber Win32RemoteItems::ListViewColumnWidth(WindowHandle control, int column) {
    const HWND window = HwndOf(control);
    if ((GetWindowLongW(window, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) {
        const RemoteNumber view = SendWithTimeout(window, LVM_GETVIEW, 0, 0, m_timeout);
        if (view.end != RemoteEnd::Answered || view.value != LV_VIEW_DETAILS) {
            return view.end != RemoteEnd::Answered ? view : RemoteNumber{-1, RemoteEnd::Answered};
        }
    }
    return SendWithTimeout(window, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0, m_timeout);
}

RemoteNumber Win32RemoteItems::TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) {
    const HWND window = HwndOf(control);
    const Opened opened = TargetOf(window);
    const Target* target = opened.target;
    if (target == nullptr) {
        return {0, opened.end};
    }
    RemoteNumber next = SendWithTimeout(window, TVM_GETNEXTITEM, TreeStepFlag(step),
                                        static_cast<LPARAM>(item), m_timeout);
    // A 32-bit program's item handles are 32-bit: what lies above them is not the handle's.
    if (target->is32Bit) {
        next.value = static_cast<std::uint32_t>(next.value);
    }
    return next;
}

RemoteTexts Win32RemoteItems::ItemTexts(WindowHandle control, ItemText what,
                                        std::span<const ItemRef> items, std::size_t maxUnits) {
    const HWND window = HwndOf(control);
    const Opened opened = TargetOf(window);
    const Target* target = opened.target;
    if (target == nullptr) {
        return {{}, opened.end, 0};
    }
    const HANDLE process = target->process.get();
    return target->is32Bit
               ? TextsFor<std::uint32_t>(window, process, what, items, maxUnits, m_timeout)
               : TextsFor<std::uint64_t>(window, process, what, items, maxUnits, m_timeout);
}

RemoteEnd UnreadMenuEnd(DWORD error) noexcept {
    return error == ERROR_ACCESS_DENIED ? RemoteEnd::Denied : RemoteEnd::Refused;
}

// The menu bar is the window's only when it is no child: a child's menu handle is its id.
RemoteNumber Win32RemoteItems::MenuBar(WindowHandle window) {
    const HWND handle = HwndOf(window);
    if (IsWindow(handle) == FALSE) {
        return {0, RemoteEnd::Gone};
    }
    if ((GetWindowLongW(handle, GWL_STYLE) & WS_CHILD) != 0) {
        return {};
    }
    return {static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(GetMenu(handle)))};
}

RemoteNumber Win32RemoteItems::MenuItemCount(std::uint64_t menu) {
    const int count = GetMenuItemCount(reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(menu)));
    if (count < 0) {
        return {0, UnreadMenuEnd(GetLastError())};
    }
    return {count};
}

// Asked once for the text's length and the item's state, then once more for a text.
RemoteMenuItem Win32RemoteItems::MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) {
    const auto handle = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(menu));
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE;
    RemoteMenuItem read;
    if (GetMenuItemInfoW(handle, static_cast<UINT>(index), TRUE, &info) == FALSE) {
        read.end = UnreadMenuEnd(GetLastError());
        return read;
    }
    MenuItemFacts& item = read.item;
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.greyed = (info.fState & MFS_GRAYED) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.submenu = reinterpret_cast<std::uintptr_t>(info.hSubMenu);
    if (info.cch == 0 || item.separator) {
        return read;
    }
    read.cut = info.cch > maxUnits;
    std::vector<wchar_t> text(std::min<std::size_t>(info.cch, maxUnits) + 1, L'\0');
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (GetMenuItemInfoW(handle, static_cast<UINT>(index), TRUE, &info) == FALSE) {
        read.end = UnreadMenuEnd(GetLastError());
        return read;
    }
    item.text = TextUpTo(reinterpret_cast<const char16_t*>(text.data()), text.size() - 1);
    return read;
}
