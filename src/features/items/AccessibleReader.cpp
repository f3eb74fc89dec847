// Reads the tree of accessible objects a program exposes for a window that draws its own
// controls, node by node in pre-order, believing no count, depth or identity it gives beyond
// what a read takes.
#include <algorithm>
#include <array>
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

// One object whose children are being read, a round at a time, one child at a time below it.
struct OpenObject {
    std::uint32_t object = 0;
    int depth = 0;
    std::size_t allowed = 0;    // the children it claims, within what the cap leaves
    bool cappedByRoom = false;  // it claims more than the cap leaves
    std::size_t asked = 0;
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
    AccessibleRead(AccessibleTree& tree, ItemsTable& table, std::size_t cap) noexcept
        : m_tree(tree), m_table(table), m_cap(cap) {}

    void Run() {
        const RemoteNumber before = m_tree.ChildCount(kRootObject);
        if (!Take(before.end) || !AddRow({kRootObject, 0}, 0, nullptr)) {
            return;
        }
        Open(kRootObject, 0, before.value);
        while (!m_open.empty() && !m_ended) {
            OpenObject& top = m_open.back();
            if (top.next == top.round.size() && !NextRound(top)) {
                if (top.cappedByRoom) {
                    Note(m_table, ItemsStatus::Capped);
                }
                m_open.pop_back();
                continue;
            }
            const AccessibleNode node = top.round[top.next++];
            const int depth = top.depth + 1;
            if (node.child == 0 && OnPath(node.object)) {
                Note(m_table, ItemsStatus::Looped);
            } else if (m_table.Rows() == m_cap) {
                Note(m_table, ItemsStatus::Capped);
                return;
            } else if (AddRow(node, depth, &top) && node.child == 0) {
                OpenChildren(node.object, depth);
            }
        }
        // A tree that a program builds once it is first asked (a browser's) is still filling.
        const RemoteNumber after = m_ended ? before : m_tree.ChildCount(kRootObject);
        if (TakeEnd(m_table, after.end) && after.value != before.value) {
            Note(m_table, ItemsStatus::Changed);
        }
    }

private:
    // Takes how a call ended; false when the read ends here.
    bool Take(RemoteEnd end) {
        m_ended = !TakeEnd(m_table, end);
        return !m_ended;
    }

    bool OnPath(std::uint32_t object) const {
        return std::any_of(m_open.begin(), m_open.end(),
                           [object](const OpenObject& open) { return open.object == object; });
    }

    // The node's row, its value only when it is no protected one, which never gives it. A simple
    // child its object says it does not have ends that object's children: its count claimed more.
    bool AddRow(AccessibleNode node, int depth, OpenObject* parent) {
        AccessibleFacts facts = m_tree.Facts(node, kItemTextCap);
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
        if (!Take(facts.end)) {
            return false;
        }
        AccessibleValue value;
        if ((facts.state & kProtectedState) == 0) {
            value = m_tree.Value(node, kItemTextCap);
            m_table.cutTexts += value.cut;
            if (!Take(value.end)) {
                return false;
            }
        }
        const std::array cells{std::move(facts.name), std::move(facts.role), std::move(value.value),
                               AccessibleStateWords(facts.state)};
        m_table.AppendRow(cells, depth);
        return true;
    }

    void OpenChildren(std::uint32_t object, int depth) {
        const RemoteNumber count = m_tree.ChildCount(object);
        if (Take(count.end)) {
            Open(object, depth, count.value);
        }
    }

    // Opens the object's children, as many as it claims within the depth cap and what the cap
    // leaves, for NextRound to ask.
    void Open(std::uint32_t object, int depth, std::int64_t claimed) {
        if (claimed <= 0) {
            return;
        }
        if (depth == kDeepestAccessible) {
            Note(m_table, ItemsStatus::TooDeep);
            return;
        }
        // Whether the cap leaves out some of them is known once they are read: a count may lie.
        const std::size_t room = m_cap - m_table.Rows();
        const bool capped = static_cast<std::uint64_t>(claimed) > room;
        if (capped) {
            m_table.claimed = std::max(m_table.claimed, claimed);
        }
        const auto allowed = std::min<std::uint64_t>(static_cast<std::uint64_t>(claimed), room);
        m_open.push_back({object, depth, static_cast<std::size_t>(allowed), capped, 0, {}, 0});
    }

    // Asks the object's next round of children that names any; false when it has no more, or the
    // read ended.
    bool NextRound(OpenObject& open) {
        while (open.asked < open.allowed) {
            const std::size_t count = std::min(kChildrenPerRound, open.allowed - open.asked);
            AccessibleChildList children = m_tree.Children(open.object, open.asked, count);
            if (children.malformed != 0) {
                Note(m_table, ItemsStatus::Malformed);
            }
            if (!Take(children.end)) {
                return false;
            }
            // Fewer than asked: it has no more than these, whatever it claimed.
            const bool fewer = children.nodes.size() + children.malformed < count;
            open.asked = fewer ? open.allowed : open.asked + count;
            open.round = std::move(children.nodes);
            open.next = 0;
            if (!open.round.empty()) {
                return true;
            }
        }
        return false;
    }

    AccessibleTree& m_tree;
    ItemsTable& m_table;
    std::size_t m_cap;
    std::vector<OpenObject> m_open;
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
    const std::unique_ptr<AccessibleTree> tree = read.remote.OpenAccessibleTree(read.control, end);
    if (!tree) {
        table.status = end == RemoteEnd::Refused ? ItemsStatus::Gone : ItemsStatusOf(end);
        return table;
    }
    AccessibleRead(*tree, table, read.cap).Run();
    table.ShrinkToFit();
    return table;
}
