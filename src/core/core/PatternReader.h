// The tree that a regular expression is read into, before the machine's steps are laid out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/Pattern.h"

// A repeat with no upper bound.
inline constexpr std::size_t kUnboundedRepeat = std::numeric_limits<std::size_t>::max();

// A part of the pattern, as it was read.
struct PatternNode {
    enum class Kind { Sequence, Choice, Repeat, Unit, Set, Assertion };
    explicit PatternNode(Kind kind) : kind(kind) {}

    Kind kind;
    std::vector<PatternNode> parts;  // Sequence and Choice: in order; Repeat: the one repeated
    char16_t unit = 0;               // Unit
    std::uint32_t set = 0;           // Set: its index
    bool negated = false;            // Set
    Pattern::Step::Op assertion = Pattern::Step::Op::LineStart;
    std::size_t least = 0;  // Repeat
    std::size_t most = 0;   // Repeat; kUnboundedRepeat for none
};

// Reads the pattern into its tree; the classes of units it holds go to sets, the nodes naming
// them by index. Throws PatternError at what is no regular expression or is not taken.
[[nodiscard]] PatternNode ReadPattern(TextView pattern, std::vector<Pattern::UnitSet>& sets);

// Whether the unit is one of \w's, which \b tells apart from the others.
[[nodiscard]] bool IsWordUnit(char16_t unit);
