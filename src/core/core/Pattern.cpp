// Regular expressions laid out as the machine's steps, and run over texts.
#include "core/Pattern.h"

#include <string>
#include <utility>

#include "core/PatternReader.h"
#include "core/RowSearch.h"

namespace {

using Step = Pattern::Step;
using Op = Pattern::Step::Op;

// Lays out a pattern's tree as steps, each part where the one before it ends.
class Layout {
public:
    explicit Layout(std::vector<Step>& steps) : m_steps(steps) {}

    void Add(const PatternNode& node) {
        switch (node.kind) {
            case PatternNode::Kind::Sequence:
                for (const PatternNode& part : node.parts) {
                    Add(part);
                }
                break;
            case PatternNode::Kind::Choice:
                AddChoice(node.parts);
                break;
            case PatternNode::Kind::Repeat:
                AddRepeat(node.parts.front(), node.least, node.most);
                break;
            case PatternNode::Kind::Unit:
                Push({Op::Unit, node.unit});
                break;
            case PatternNode::Kind::Set:
                Push({Op::Set, 0, node.negated, node.set});
                break;
            case PatternNode::Kind::Assertion:
                Push({node.assertion});
                break;
        }
    }

    std::uint32_t Push(Step step) {
        if (m_steps.size() >= Pattern::kLargestProgram) {
            throw PatternError("the pattern comes to over " +
                               std::to_string(Pattern::kLargestProgram) +
                               " steps once its repeats are counted out");
        }
        step.next = step.op == Op::Split || step.op == Op::Jump ? 0 : Here() + 1;
        m_steps.push_back(step);
        return Here() - 1;
    }

    [[nodiscard]] std::uint32_t Here() const { return static_cast<std::uint32_t>(m_steps.size()); }

private:
    // Each way but the last: a split to it or on, then a jump past the others.
    void AddChoice(const std::vector<PatternNode>& ways) {
        std::vector<std::uint32_t> jumps;
        for (std::size_t way = 0; way + 1 < ways.size(); ++way) {
            const std::uint32_t split = Push({Op::Split});
            m_steps[split].next = Here();
            Add(ways[way]);
            jumps.push_back(Push({Op::Jump}));
            m_steps[split].other = Here();
        }
        Add(ways.back());
        for (const std::uint32_t jump : jumps) {
            m_steps[jump].next = Here();
        }
    }

    // The part least times, then a loop back when there is no most, else up to most - least
    // more, each of which may be left out.
    void AddRepeat(const PatternNode& part, std::size_t least, std::size_t most) {
        for (std::size_t time = 0; time < least; ++time) {
            Add(part);
        }
        if (most == kUnboundedRepeat) {
            const std::uint32_t loop = Push({Op::Split});
            m_steps[loop].next = Here();
            Add(part);
            m_steps[Push({Op::Jump})].next = loop;
            m_steps[loop].other = Here();
            return;
        }
        std::vector<std::uint32_t> splits;
        for (std::size_t time = least; time < most; ++time) {
            splits.push_back(Push({Op::Split}));
            m_steps[splits.back()].next = Here();
            Add(part);
        }
        for (const std::uint32_t split : splits) {
            m_steps[split].other = Here();
        }
    }

    std::vector<Step>& m_steps;
};

// The units each class holds as they are compared: in lower case, when case does not matter.
Pattern::UnitSet Folded(const Pattern::UnitSet& units) {
    Pattern::UnitSet folded;
    for (std::size_t unit = 0; unit < units.size(); ++unit) {
        if (units.test(unit)) {
            folded.set(LowerCase(static_cast<char16_t>(unit)));
        }
    }
    return folded;
}

}  // namespace

Pattern::Pattern(TextView pattern, bool ignoreCase) : m_ignoreCase(ignoreCase) {
    const PatternNode tree = ReadPattern(pattern, m_sets);
    Layout layout(m_steps);
    layout.Add(tree);
    layout.Push({Op::Match});
    if (ignoreCase) {
        for (UnitSet& units : m_sets) {
            units = Folded(units);
        }
        for (Step& step : m_steps) {
            step.unit = LowerCase(step.unit);
        }
    }
}

bool Pattern::Takes(const Step& step, char16_t unit) const {
    const char16_t compared = m_ignoreCase ? LowerCase(unit) : unit;
    return step.op == Op::Unit ? compared == step.unit
                               : m_sets[step.index].test(compared) != step.negated;
}

bool Pattern::Run(TextView text, bool whole) const {
    // The steps waiting for the unit at `at`, and those for the one after it; a step is added
    // once a place, so each list holds at most every step once.
    std::vector<std::uint32_t> current;
    std::vector<std::uint32_t> next;
    std::vector<std::size_t> addedAt(m_steps.size(), std::string::npos);
    std::vector<std::uint32_t> pending;
    const auto wordAt = [text](std::size_t place) {
        return place < text.size() && IsWordUnit(text[place]);
    };
    const auto add = [&](std::vector<std::uint32_t>& list, std::uint32_t first, std::size_t at) {
        const bool edge = (at > 0 && wordAt(at - 1)) != wordAt(at);
        pending.push_back(first);
        while (!pending.empty()) {
            const std::uint32_t index = pending.back();
            pending.pop_back();
            if (addedAt[index] == at) {
                continue;
            }
            addedAt[index] = at;
            const Step& step = m_steps[index];
            switch (step.op) {
                case Op::Split:
                    pending.push_back(step.other);
                    [[fallthrough]];
                case Op::Jump:
                    pending.push_back(step.next);
                    break;
                case Op::LineStart:
                case Op::LineEnd:
                case Op::WordEdge:
                case Op::NotWordEdge:
                    if ((step.op == Op::LineStart && at == 0) ||
                        (step.op == Op::LineEnd && at == text.size()) ||
                        (step.op == Op::WordEdge && edge) ||
                        (step.op == Op::NotWordEdge && !edge)) {
                        pending.push_back(step.next);
                    }
                    break;
                default:
                    list.push_back(index);
            }
        }
    };
    for (std::size_t at = 0;; ++at) {
        // A part may start anywhere; the whole only at the start.
        if (at == 0 || !whole) {
            add(current, 0, at);
        }
        next.clear();
        for (const std::uint32_t index : current) {
            const Step& step = m_steps[index];
            if (step.op == Op::Match) {
                if (!whole || at == text.size()) {
                    return true;
                }
            } else if (at < text.size() && Takes(step, text[at])) {
                add(next, step.next, at + 1);
            }
        }
        if (at == text.size() || (whole && next.empty())) {
            return false;
        }
        current.swap(next);
    }
}
