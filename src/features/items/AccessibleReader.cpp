// Reads the tree of accessible objects a program exposes for a window that draws its own
// controls, node by node in pre-order, believing no count, depth or identity it gives beyond
// what a read takes.
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/AsciiCase.h"
#include "items/ItemsReader.h"
#include "items/KindReaders.h"

namespace {

// A node's state bits, as MSAA defines them, and the words the State column gives them.
struct StateWord {
    std::uint32_t bit;
    TextView word;
};

constexpr std::uint32_t kProtectedState = 0x20000000;

constexpr std::array kStateWords{
    StateWord{0x1, u"unavailable"},       StateWord{0x2, u"selected"},
    StateWord{0x4, u"focused"},           StateWord{0x8, u"pressed"},
    StateWord{0x10, u"checked"},          StateWord{0x20, u"mixed"},
    StateWord{0x40, u"read-only"},        StateWord{0x80, u"hot"},
    StateWord{0x100, u"default"},         StateWord{0x200, u"expanded"},
    StateWord{0x400, u"collapsed"},       StateWord{0x800, u"busy"},
    StateWord{0x8000, u"invisible"},      StateWord{0x10000, u"offscreen"},
    StateWord{0x100000, u"focusable"},    StateWord{0x200000, u"selectable"},
    StateWord{0x400000, u"linked"},       StateWord{0x800000, u"traversed"},
    StateWord{0x1000000, u"multiselect"}, StateWord{kProtectedState, u"protected"},
    StateWord{0x40000000, u"has popup"},
};

// The classes of the system's own controls, which leave their accessible objects to the system:
// the messages read them better. A class is one of them when its name starts with the part.
constexpr std::array<TextView, 14> kSystemClassParts{
    u"button",  u"edit", u"static",         u"scrollbar",   u"mdiclient",  u"#327", u"richedit",
    u"msctls_", u"sys",  u"tooltips_class", u"rebarwindow", u"comboboxex", u"ime",  u"ipaddress",
};

// Children are asked this many at a time: a program without its own enumeration is asked for each
// child apart, and a round must end well within one call's time-out.
constexpr std::size_t kChildrenPerRound = 64;

// A call that does not answer in time is left behind with the tree that made it: the tree is
// opened anew, at most this many times in a read, and the read goes on where it was.
constexpr int kMostReopens = 3;

// One object whose children are being read, a round at a time, one child at a time below it.
struct OpenObject {
    OpenObject(std::uint32_t opened, int at, std::size_t from) noexcept
        : object(opened), depth(at), place(from) {}

    std::uint32_t object = 0;
    int depth = 0;
    std::size_t place = 0;      // its place among its parent's children
    bool counted = false;       // its child count came
    std::size_t allowed = 0;    // the children it claims, within what the cap leaves
    bool cappedByRoom = false;  // it claims more than the cap leaves
    std::size_t asked = 0;
    std::size_t roundFirst = 0;  // where its round starts among its children
    bool exact = true;           // every answer of its round named a node, so places hold
    std::vector<AccessibleNode> round;
    std::size_t next = 0;
};

// Keeps the first thing the read left out; an end that stops the read is TakeEnd's and wins.
void Note(ItemsTable& table, ItemsStatus status) {
    if (table.status == ItemsStatus::Read) {
        table.status = status;
    }
}

class AccessibleRead {
public:
    AccessibleRead(const ControlRead& read, std::unique_ptr<AccessibleTree> tree,
                   ItemsTable& table) noexcept
        : m_read(read), m_tree(std::move(tree)), m_table(table) {}

    void Run() {
        AddRow({kRootObject, 0}, 0, nullptr);
        if (!m_ended) {
            m_open.emplace_back(kRootObject, 0, 0);
        }
        while (!m_open.empty() && !m_ended) {
            OpenObject& top = m_open.back();
            if (top.next == top.round.size() && !NextRound(top)) {
                if (top.cappedByRoom) {
                    Note(m_table, ItemsStatus::Capped);
                }
                m_open.pop_back();
                continue;
            }
            if (top.next == top.round.size()) {
                continue;  // the round is asked again of the tree opened anew
            }
            const AccessibleNode node = top.round[top.next++];
            if (node.child == 0 && OnPath(node.object)) {
                Note(m_table, ItemsStatus::Looped);
            } else if (m_table.Rows() == m_read.cap) {
                Note(m_table, ItemsStatus::Capped);
                return;
            } else if (AddRow(node, top.depth + 1, &top) && node.child == 0) {
                m_open.emplace_back(node.object, top.depth + 1, top.roundFirst + top.next - 1);
            }
        }
        // A tree that a program builds once it is first asked (a browser's) is still filling.
        if (m_ended || !m_rootCount) {
            return;
        }
        const RemoteNumber after = m_tree->ChildCount(kRootObject);
        if (TakeEnd(m_table, after.end) && after.value != *m_rootCount) {
            Note(m_table, ItemsStatus::Changed);
        }
    }

private:
    // Takes how a call ended; false when what it asked is not had. A call that timed out is left
    // to the tree that made it, and the read goes on in the tree opened anew: what it asked is
    // asked again, a node's texts aside (a name that took too long takes too long again).
    bool Answered(RemoteEnd end) {
        if (end == RemoteEnd::Answered) {
            return true;
        }
        if (end != RemoteEnd::TimedOut || !Reopen()) {
            m_ended = !TakeEnd(m_table, end);
        }
        return false;
    }

    // Opens the tree anew and finds the open objects again by their places among their parents'
    // children; false when it cannot.
    bool Reopen() {
        if (m_reopens == kMostReopens) {
            return false;
        }
        ++m_reopens;
        if (std::any_of(m_open.begin(), m_open.end(),
                        [](const OpenObject& open) { return !open.exact; })) {
            return false;
        }
        RemoteEnd end = RemoteEnd::Answered;
        m_tree = m_read.remote.OpenAccessibleTree(m_read.control, end);
        if (!m_tree) {
            return false;
        }
        for (std::size_t level = 1; level < m_open.size(); ++level) {
            OpenObject& open = m_open[level];
            const AccessibleChildList found =
                m_tree->Children(m_open[level - 1].object, open.place, 1);
            if (found.end != RemoteEnd::Answered || found.nodes.size() != 1 ||
                found.nodes.front().child != 0) {
                return false;
            }
            open.object = found.nodes.front().object;
        }
        // Each object's children are asked again from the first not yet taken.
        for (OpenObject& open : m_open) {
            open.roundFirst += open.next;
            open.asked = open.roundFirst;
            open.round.clear();
            open.next = 0;
        }
        Note(m_table, ItemsStatus::TimedOut);
        return true;
    }

    bool OnPath(std::uint32_t object) const {
        return std::any_of(m_open.begin(), m_open.end(),
                           [object](const OpenObject& open) { return open.object == object; });
    }

    // The node's row, its value only when it is no protected one, which never gives it. A simple
    // child its object says it does not have ends that object's children: its count claimed more.
    bool AddRow(AccessibleNode node, int depth, OpenObject* parent) {
        AccessibleFacts facts = m_tree->Facts(node, kItemTextCap);
        m_table.cutTexts += facts.cut;
        if (facts.end == RemoteEnd::Refused && parent != nullptr) {
            Note(m_table, ItemsStatus::Malformed);
            parent->allowed = parent->asked;
            parent->cappedByRoom = false;
            parent->round.resize(parent->next);
            return false;
        }
        if (facts.malformed) {
            Note(m_table, ItemsStatus::Malformed);
        }
        if (!Answered(facts.end)) {
            return false;
        }
        AccessibleValue value;
        if ((facts.state & kProtectedState) == 0) {
            value = m_tree->Value(node, kItemTextCap);
            m_table.cutTexts += value.cut;
            if (!Answered(value.end)) {
                return false;
            }
        }
        const std::array cells{std::move(facts.name), std::move(facts.role), std::move(value.value),
                               AccessibleStateWords(facts.state)};
        m_table.AppendRow(cells, depth);
        return true;
    }

    // Takes the object's child count: as many as it claims within the depth cap and what the cap
    // leaves are asked, a round at a time.
    void Count(OpenObject& open, std::int64_t claimed) {
        open.counted = true;
        if (open.depth == 0) {
            m_rootCount = claimed;
        }
        if (claimed <= 0) {
            return;
        }
        if (open.depth == kDeepestAccessible) {
            Note(m_table, ItemsStatus::TooDeep);
            return;
        }
        // Whether the cap leaves out some of them is known once they are read: a count may lie.
        const std::size_t room = m_read.cap - m_table.Rows();
        open.cappedByRoom = static_cast<std::uint64_t>(claimed) > room;
        if (open.cappedByRoom) {
            m_table.claimed = std::max(m_table.claimed, claimed);
        }
        open.allowed = static_cast<std::size_t>(
            std::min<std::uint64_t>(static_cast<std::uint64_t>(claimed), room));
    }

    // Asks the object's next round of children; false when it has no more, or the read ended. A
    // round that did not come in time is asked again of the tree opened anew: true, no round.
    bool NextRound(OpenObject& open) {
        if (!open.counted) {
            const RemoteNumber count = m_tree->ChildCount(open.object);
            if (!Answered(count.end)) {
                return !m_ended;
            }
            Count(open, count.value);
        }
        while (open.asked < open.allowed) {
            const std::size_t count = std::min(kChildrenPerRound, open.allowed - open.asked);
            AccessibleChildList children = m_tree->Children(open.object, open.asked, count);
            if (children.malformed != 0) {
                Note(m_table, ItemsStatus::Malformed);
            }
            if (!Answered(children.end)) {
                return !m_ended;
            }
            // Fewer than asked: it has no more than these, whatever it claimed.
            const bool fewer = children.nodes.size() + children.malformed < count;
            open.roundFirst = open.asked;
            open.exact = children.malformed == 0;
            open.asked = fewer ? open.allowed : open.asked + count;
            open.round = std::move(children.nodes);
            open.next = 0;
            if (!open.round.empty()) {
                return true;
            }
        }
        return false;
    }

    const ControlRead& m_read;
    std::unique_ptr<AccessibleTree> m_tree;
    ItemsTable& m_table;
    std::vector<OpenObject> m_open;
    std::optional<std::int64_t> m_rootCount;
    int m_reopens = 0;
    bool m_ended = false;
};

}  // namespace

Text AccessibleStateWords(std::uint32_t state) {
    Text words;
    for (const StateWord& known : kStateWords) {
        if ((state & known.bit) != 0) {
            words.append(words.empty() ? u"" : u", ").append(known.word);
        }
    }
    return words;
}

bool MayDrawOwnControls(TextView className) {
    const Text lower = LowerAscii(className);
    return !lower.empty() && !ItemsKindOfClass(className) &&
           std::none_of(kSystemClassParts.begin(), kSystemClassParts.end(),
                        [&lower](TextView part) { return lower.starts_with(part); });
}

ItemsTable ReadAccessibleItems(const ControlRead& read) {
    ItemsTable table(read.kind, {u"Name", u"Role", u"Value", u"State"});
    RemoteEnd end = RemoteEnd::Answered;
    std::unique_ptr<AccessibleTree> tree = read.remote.OpenAccessibleTree(read.control, end);
    if (!tree) {
        table.status = end == RemoteEnd::Refused ? ItemsStatus::Gone : ItemsStatusOf(end);
        return table;
    }
    AccessibleRead(read, std::move(tree), table).Run();
    table.ShrinkToFit();
    return table;
}
