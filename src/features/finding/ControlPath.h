// Paths of controls: a selector, relative to a dumped window, that finds the same control again
// in a new run of its program, where every handle has changed. Steps are joined by "/", one per
// level below the dumped window, each its class name, "#" and the control id where the id is not
// 0, and "[n]" (from 1) among the siblings that share class and id only when more than one does:
// "#32770/Button#1", "Edit[2]". The dumped window's own path is empty.
//
// In a class name, "\", "/", "[" and "]" are written with a "\" before them, as is "#" anywhere
// but at the name's start (the system's own classes are named "#32770" and the like).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Text.h"

// What tells siblings apart in a path: class name and control id.
struct PathKey {
    TextView className;
    std::int64_t controlId = 0;
};

struct PathStep {
    Text className;
    std::int64_t controlId = 0;
    // Among the siblings with the same class and id, from 1; 0 when the step gives none.
    std::size_t index = 0;

    friend bool operator==(const PathStep&, const PathStep&) = default;
};

// Class names compared as the system compares them, whatever their case.
[[nodiscard]] bool SameClassName(TextView a, TextView b);
// The class name in the one case that SameClassName compares: equal for the same class.
[[nodiscard]] Text FoldedClassName(TextView className);

// The step of each sibling, in their order: the index only where several share class and id.
// Class names are compared as the system compares them, whatever their case.
[[nodiscard]] std::vector<PathStep> SiblingSteps(std::span<const PathKey> siblings);

// The step as a path writes it.
[[nodiscard]] Text StepText(const PathStep& step);
// The path one step below parentPath.
[[nodiscard]] Text ChildPath(TextView parentPath, const PathStep& step);

// A path read back into its steps; nothing but what is wrong when it is not one ("step 2 has an
// empty class name").
struct ParsedPath {
    std::vector<PathStep> steps;
    std::string problem;  // in UTF-8, for a message
};
[[nodiscard]] ParsedPath ParsePath(TextView path);

// The positions (from 0) of the siblings the step names: those with its class and id, or only
// the index-th of them when it has an index. A step without an id (nor an index past 1) that
// names none of them names the one sibling of its class whatever its id, when only one has it:
// "SysTreeView32" finds the tree "SysTreeView32#2002".
[[nodiscard]] std::vector<std::size_t> MatchStep(std::span<const PathKey> siblings,
                                                 const PathStep& step);

// The positions of the siblings a step that named none of them may have meant: those of its
// class, whatever their ids; every sibling when none has its class (sameClass false).
struct StepCandidates {
    std::vector<std::size_t> positions;
    bool sameClass = false;
};
[[nodiscard]] StepCandidates CandidatesOf(std::span<const PathKey> siblings, const PathStep& step);
