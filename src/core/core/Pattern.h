// ECMAScript regular expressions run by a machine that reads the text once, from left to right,
// keeping every way the pattern could go at once (as RE2 and Go's regexp do). A match takes at
// most the text's length times the pattern's size in steps, whatever the pattern, so that no
// pattern can hold a search for ever as a backtracking one can ("(a+)+$" over many a's).
// Back-references and lookaround, which need going back over the text, are refused.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/Text.h"

// A pattern that is no regular expression this machine runs; what() says why.
class PatternError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Pattern {
public:
    // The most steps a pattern may come to once its repeats are counted out ("a{1000}" is 1000).
    static constexpr std::size_t kLargestProgram = 2000;

    // Throws PatternError naming what is wrong with the pattern.
    Pattern(TextView pattern, bool ignoreCase);

    // Whether the pattern matches the whole text, or a part of it.
    [[nodiscard]] bool MatchesWhole(TextView text) const { return Run(text, true); }
    [[nodiscard]] bool MatchesPart(TextView text) const { return Run(text, false); }

    // One step of the machine.
    struct Step {
        enum class Op : std::uint8_t {
            Unit,         // the text's next unit is `unit`
            Set,          // the text's next unit is in sets[index] (or not, when negated)
            Split,        // go on at `next` and at `other` both
            Jump,         // go on at `next`
            LineStart,    // the text's start
            LineEnd,      // the text's end
            WordEdge,     // between a word unit and another (or the text's ends)
            NotWordEdge,  // not there
            Match,
        };
        Op op = Op::Match;
        char16_t unit = 0;
        bool negated = false;
        std::uint32_t index = 0;
        std::uint32_t next = 0;
        std::uint32_t other = 0;
    };
    using UnitSet = std::bitset<std::numeric_limits<char16_t>::max() + 1>;

private:
    [[nodiscard]] bool Run(TextView text, bool whole) const;
    [[nodiscard]] bool Takes(const Step& step, char16_t unit) const;

    std::vector<Step> m_steps;
    std::vector<UnitSet> m_sets;
    bool m_ignoreCase;
};
