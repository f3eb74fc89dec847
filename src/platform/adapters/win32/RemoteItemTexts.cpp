// Item texts read through memory in the control's program, for either bitness of that program.
#include "win32/RemoteItemTexts.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

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

// Ends a conversation that was not answered; memory that a late answer may still write into is
// left to the target.
void EndUnanswered(RemoteEnd end, RemoteRoom& room, RemoteTexts& read) {
    if (end == RemoteEnd::TimedOut) {
        room.Abandon();
    }
    read.end = end;
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

RemoteTexts ReadTextsInTarget(HWND control, HANDLE process, bool is32Bit, ItemText what,
                              std::span<const ItemRef> items, std::size_t maxUnits,
                              std::chrono::milliseconds timeout) {
    return is32Bit ? TextsFor<std::uint32_t>(control, process, what, items, maxUnits, timeout)
                   : TextsFor<std::uint64_t>(control, process, what, items, maxUnits, timeout);
}
