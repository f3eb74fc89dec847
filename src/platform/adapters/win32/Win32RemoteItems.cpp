// The items of another program's controls: counts, and the items that messages alone carry.
#include "win32/Win32RemoteItems.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "win32/ConsoleScreen.h"
#include "win32/RemoteItemTexts.h"
#include "win32/Win32Accessible.h"
#include "win32/Win32Text.h"
#include "win32/Win32WindowSystem.h"

namespace {

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
    return ReadTextsInTarget(window, target->process.get(), target->is32Bit, what, items, maxUnits,
                             m_timeout);
}

RemoteNumber Win32RemoteItems::AccessibleChildCount(WindowHandle window) {
    return AccessibleChildCountOf(HwndOf(window), m_timeout);
}

std::optional<RemoteNumber> Win32RemoteItems::KnownAccessibleChildCount(WindowHandle window) {
    return KnownAccessibleChildCountOf(HwndOf(window));
}

std::unique_ptr<AccessibleTree> Win32RemoteItems::OpenAccessibleTree(WindowHandle window,
                                                                     RemoteEnd& end) {
    return OpenAccessibleTreeOf(HwndOf(window), m_timeout, end);
}
