// Regular expressions read into a tree of their parts: sequences, choices, repeats, units, classes
// of units and assertions.
#include "core/PatternReader.h"

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "core/RowSearch.h"

namespace {

using Op = Pattern::Step::Op;
using UnitSet = Pattern::UnitSet;
using Node = PatternNode;

// The most times a repeat may be counted ("{1000}"), and how deep groups may nest.
constexpr std::size_t kLargestCount = 1000;
constexpr std::size_t kDeepestGroups = 100;

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

// The units of \d, \w and \s (\D, \W and \S are theirs negated), and of . negated.
UnitSet ClassOfEscape(char16_t letter) {
    UnitSet units;
    const auto add = [&units](char16_t first, char16_t last) {
        for (std::size_t unit = first; unit <= last; ++unit) {
            units.set(unit);
        }
    };
    switch (letter) {
        case u'd':
            add(u'0', u'9');
            break;
        case u'w':
            add(u'0', u'9');
            add(u'A', u'Z');
            add(u'a', u'z');
            add(u'_', u'_');
            break;
        case u's':
            add(u'\t', u'\r');
            for (const char16_t blank : u" \u00A0\u1680\u2028\u2029\u202F\u205F\u3000\uFEFF") {
                add(blank, blank);
            }
            add(u'\u2000', u'\u200A');
            break;
        default:  // the line ends, which . does not take
            for (const char16_t end : u"\n\r\u2028\u2029") {
                add(end, end);
            }
    }
    units.reset(0);  // the terminator of the literals above
    return units;
}

// Reads the pattern into a tree of nodes; throws PatternError at what it cannot read.
class Reader {
public:
    Reader(TextView pattern, std::vector<UnitSet>& sets) : m_pattern(pattern), m_sets(sets) {}

    Node Whole() {
        Node node = Choice(0);
        if (!AtEnd()) {
            throw PatternError("a ) closes no group");
        }
        return node;
    }

private:
    [[nodiscard]] bool AtEnd() const { return m_at >= m_pattern.size(); }
    [[nodiscard]] char16_t Peek(std::size_t ahead = 0) const {
        return m_at + ahead < m_pattern.size() ? m_pattern[m_at + ahead] : u'\0';
    }
    bool Take(char16_t unit) {
        const bool taken = !AtEnd() && Peek() == unit;
        m_at += taken ? 1 : 0;
        return taken;
    }

    Node Choice(std::size_t depth) {
        Node choice{Node::Kind::Choice};
        do {
            Node sequence{Node::Kind::Sequence};
            while (!AtEnd() && Peek() != u'|' && Peek() != u')') {
                sequence.parts.push_back(Term(depth));
            }
            choice.parts.push_back(std::move(sequence));
        } while (Take(u'|'));
        return choice;
    }

    Node Term(std::size_t depth) {
        if (Take(u'^')) {
            return Assertion(Op::LineStart);
        }
        if (Take(u'$')) {
            return Assertion(Op::LineEnd);
        }
        if (Peek() == u'\\' && (Peek(1) == u'b' || Peek(1) == u'B')) {
            m_at += 2;
            return Assertion(m_pattern[m_at - 1] == u'b' ? Op::WordEdge : Op::NotWordEdge);
        }
        return Repeated(Atom(depth));
    }

    static Node Assertion(Op op) {
        Node node{Node::Kind::Assertion};
        node.assertion = op;
        return node;
    }

    Node Atom(std::size_t depth) {
        const char16_t unit = Peek();
        ++m_at;
        switch (unit) {
            case u'.':
                return SetNode(ClassOfEscape(u'.'), true);
            case u'(':
                return Group(depth + 1);
            case u'[':
                return Class();
            case u'\\':
                return Escape();
            case u'*':
            case u'+':
            case u'?':
                throw PatternError(std::string("nothing to repeat before ") +
                                   static_cast<char>(unit));
            default:
                return UnitNode(unit);
        }
    }

    Node Group(std::size_t depth) {
        if (depth > kDeepestGroups) {
            throw PatternError("groups nested over " + std::to_string(kDeepestGroups) + " deep");
        }
        if (Take(u'?') && !Take(u':')) {
            throw PatternError(
                "lookaround and named groups, (?...), are not taken: they need "
                "going back over the text");
        }
        Node group = Choice(depth);
        if (!Take(u')')) {
            throw PatternError("a ( is not closed");
        }
        return group;
    }

    // An escape outside a class: a class of units, or one unit.
    Node Escape() {
        const char16_t letter = Peek();
        if (AtEnd()) {
            throw PatternError("the pattern ends in a lone \\");
        }
        const char16_t lower = LowerCase(letter);
        if (lower == u'd' || lower == u'w' || lower == u's') {
            ++m_at;
            return SetNode(ClassOfEscape(lower), letter != lower);
        }
        if (IsDigit(letter) && letter != u'0') {
            throw PatternError(
                "back-references (\\1) are not taken: they need going back over "
                "the text");
        }
        return UnitNode(EscapedUnit());
    }

    // The unit that an escape other than a class's stands for, read past.
    char16_t EscapedUnit() {
        const char16_t letter = Peek();
        ++m_at;
        const auto hex = [this](std::size_t digits) {
            char16_t value = 0;
            for (std::size_t digit = 0; digit < digits; ++digit) {
                const char16_t unit = LowerCase(Peek());
                const bool decimal = IsDigit(unit);
                if (!decimal && (unit < u'a' || unit > u'f')) {
                    throw PatternError("\\x takes 2 hexadecimal digits and \\u 4");
                }
                value =
                    static_cast<char16_t>(value * 16 + (decimal ? unit - u'0' : unit - u'a' + 10));
                ++m_at;
            }
            return value;
        };
        // \t, \n, \v, \f, \r and \0, each the unit below its letter.
        constexpr TextView kLetters = u"tnvfr0";
        constexpr TextView kUnits(u"\t\n\v\f\r\0", kLetters.size());
        if (const std::size_t named = kLetters.find(letter); named != TextView::npos) {
            return kUnits[named];
        }
        switch (letter) {
            case u'x':
                return hex(2);
            case u'u':
                return hex(4);
            case u'c':
                if (LowerCase(Peek()) >= u'a' && LowerCase(Peek()) <= u'z') {
                    return static_cast<char16_t>(m_pattern[m_at++] % 32);
                }
                return u'c';
            default:
                return letter;
        }
    }

    Node Class();
    // Adds to units what one place of a class stands for; answers the unit when it is one.
    std::optional<char16_t> ClassAtom(UnitSet& units);

    Node Repeated(Node atom);
    std::optional<std::pair<std::size_t, std::size_t>> Counts();

    Node SetNode(const UnitSet& units, bool negated) {
        Node node{Node::Kind::Set};
        node.set = static_cast<std::uint32_t>(m_sets.size());
        node.negated = negated;
        m_sets.push_back(units);
        return node;
    }
    static Node UnitNode(char16_t unit) {
        Node node{Node::Kind::Unit};
        node.unit = unit;
        return node;
    }

    TextView m_pattern;
    std::vector<UnitSet>& m_sets;
    std::size_t m_at = 0;
};

Node Reader::Class() {
    const bool negated = Take(u'^');
    UnitSet units;
    while (!Take(u']')) {
        if (AtEnd()) {
            throw PatternError("a [ is not closed");
        }
        const std::optional<char16_t> first = ClassAtom(units);
        // A range between two units; a - beside a class escape, first or last is itself.
        if (!first || Peek() != u'-' || Peek(1) == u']' || m_at + 1 >= m_pattern.size()) {
            continue;
        }
        ++m_at;
        UnitSet ignored;
        const std::optional<char16_t> last = ClassAtom(ignored);
        if (!last) {
            units |= ignored;
            units.set(u'-');
        } else if (*last < *first) {
            throw PatternError("a range of a class runs backwards");
        } else {
            for (std::size_t unit = *first; unit <= *last; ++unit) {
                units.set(unit);
            }
        }
    }
    return SetNode(units, negated);
}

std::optional<char16_t> Reader::ClassAtom(UnitSet& units) {
    char16_t unit = m_pattern[m_at++];
    if (unit == u'\\') {
        if (AtEnd()) {
            throw PatternError("the pattern ends in a lone \\");
        }
        const char16_t lower = LowerCase(Peek());
        if (lower == u'd' || lower == u'w' || lower == u's') {
            const UnitSet escaped = ClassOfEscape(lower);
            units |= Peek() == lower ? escaped : ~escaped;
            ++m_at;
            return std::nullopt;
        }
        unit = Take(u'b') ? u'\b' : EscapedUnit();
    }
    units.set(unit);
    return unit;
}

Node Reader::Repeated(Node atom) {
    std::size_t least = 0;
    std::size_t most = kUnboundedRepeat;
    if (Take(u'+')) {
        least = 1;
    } else if (Take(u'?')) {
        most = 1;
    } else if (!Take(u'*')) {
        const auto counts = Counts();
        if (!counts) {
            return atom;
        }
        std::tie(least, most) = *counts;
    }
    Take(u'?');  // lazy: the same texts match
    Node repeat{Node::Kind::Repeat};
    repeat.parts.push_back(std::move(atom));
    repeat.least = least;
    repeat.most = most;
    return repeat;
}

// "{2}", "{2,}" or "{2,5}" read past; nothing when the { starts no count, which is then a unit.
std::optional<std::pair<std::size_t, std::size_t>> Reader::Counts() {
    const std::size_t start = m_at;
    const auto number = [this]() -> std::optional<std::size_t> {
        std::size_t value = 0;
        const std::size_t from = m_at;
        for (; IsDigit(Peek()); ++m_at) {
            value = std::min(value * 10 + (Peek() - u'0'), kLargestCount + 1);
        }
        return m_at > from ? std::optional(value) : std::nullopt;
    };
    if (!Take(u'{')) {
        return std::nullopt;
    }
    const std::optional<std::size_t> least = number();
    std::optional<std::size_t> most = least;
    if (least && Take(u',')) {
        most = IsDigit(Peek()) ? number() : std::optional(kUnboundedRepeat);
    }
    if (!least || !Take(u'}')) {
        m_at = start;
        return std::nullopt;
    }
    if (*least > kLargestCount || (*most != kUnboundedRepeat && *most > kLargestCount)) {
        throw PatternError("a repeat is counted over " + std::to_string(kLargestCount) + " times");
    }
    if (*most < *least) {
        throw PatternError("a repeat's counts run backwards");
    }
    return std::pair(*least, *most);
}

}  // namespace

bool IsWordUnit(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'_';
}

PatternNode ReadPattern(TextView pattern, std::vector<Pattern::UnitSet>& sets) {
    return Reader(pattern, sets).Whole();
}
