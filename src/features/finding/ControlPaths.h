// Controls found by their paths below a window, and a control's path found from its window: the
// system is asked for the class names and control ids of the siblings on the way.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "finding/ControlPath.h"
#include "ports/WindowDetails.h"
#include "ports/WindowSystem.h"

struct PathMatch {
    WindowHandle window = 0;
    // Its path as the walk writes it, every step with the index its siblings give it; empty and
    // cut when it is over the walk's longest.
    Text path;
    bool pathCut = false;
};

struct PathSearch {
    // In the walk's order.
    std::vector<PathMatch> matches;
    // The first step that matched no window, from 1; 0 when some window matched every step.
    std::size_t failedStep = 0;
    // When a step failed: the windows below those the steps before it led to that it may have
    // meant (see CandidatesOf), the first kMostCandidates of them, and how many there were.
    std::vector<PathMatch> candidates;
    std::size_t candidateCount = 0;
    bool candidatesShareClass = false;
};

inline constexpr std::size_t kMostCandidates = 10;

// The windows below root that the steps lead to: a step without an index leads to every child
// with its class and id.
[[nodiscard]] PathSearch FindByPath(WindowHandle root, std::span<const PathStep> steps,
                                    WindowSystem& windows, WindowDetails& details);

// The path of window below root, as a walk from root gives it; nothing when window is no longer
// a window, or not below root.
[[nodiscard]] std::optional<Text> PathBelow(WindowHandle root, WindowHandle window,
                                            WindowSystem& windows, WindowDetails& details);
