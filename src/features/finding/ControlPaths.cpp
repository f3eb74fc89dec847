// Controls found by their paths, and paths found from windows.
#include "finding/ControlPaths.h"

#include <algorithm>

#include "extraction/ChildWalk.h"

namespace {

// A window's children in Z order, with the class names and ids their steps are made of. A child
// without a class name is gone and takes no part, as in the walk.
struct Children {
    std::vector<WindowHandle> windows;
    std::vector<Text> classNames;
    std::vector<PathKey> keys;

    Children(WindowHandle parent, WindowSystem& system, WindowDetails& details) {
        for (WindowHandle child = system.Related(parent, Relation::Child); child != 0;
             child = system.Related(child, Relation::Next)) {
            Text className = system.ClassName(child, kClassNameCapacity);
            if (!className.empty()) {
                windows.push_back(child);
                classNames.push_back(std::move(className));
                keys.push_back({{}, details.ControlId(child)});
            }
        }
        for (std::size_t index = 0; index < keys.size(); ++index) {
            keys[index].className = classNames[index];
        }
    }
};

// Notes in search the windows below parents that the step that named none of them may have
// meant: those of its class below any parent, else all.
void NoteCandidates(const std::vector<PathMatch>& parents, const PathStep& step,
                    WindowSystem& windows, WindowDetails& details, PathSearch& search) {
    std::vector<Children> below;
    std::vector<StepCandidates> chosen;
    below.reserve(parents.size());  // each one's keys look into its own class names
    for (const PathMatch& parent : parents) {
        below.emplace_back(parent.window, windows, details);
        chosen.push_back(CandidatesOf(below.back().keys, step));
        search.candidatesShareClass = search.candidatesShareClass || chosen.back().sameClass;
    }
    for (std::size_t index = 0; index < parents.size(); ++index) {
        if (chosen[index].sameClass != search.candidatesShareClass) {
            continue;
        }
        const std::vector<PathStep> written = SiblingSteps(below[index].keys);
        for (const std::size_t position : chosen[index].positions) {
            if (++search.candidateCount <= kMostCandidates) {
                search.candidates.push_back({below[index].windows[position],
                                             ChildPath(parents[index].path, written[position])});
            }
        }
    }
}

}  // namespace

PathSearch FindByPath(WindowHandle root, std::span<const PathStep> steps, WindowSystem& windows,
                      WindowDetails& details) {
    PathSearch search;
    search.matches.push_back({root, {}});
    for (std::size_t index = 0; index < steps.size(); ++index) {
        std::vector<PathMatch> next;
        for (const PathMatch& parent : search.matches) {
            const Children children(parent.window, windows, details);
            const std::vector<std::size_t> matched = MatchStep(children.keys, steps[index]);
            if (matched.empty()) {
                continue;
            }
            const std::vector<PathStep> written = SiblingSteps(children.keys);
            for (const std::size_t position : matched) {
                next.push_back(
                    {children.windows[position], ChildPath(parent.path, written[position])});
            }
        }
        if (next.empty()) {
            NoteCandidates(search.matches, steps[index], windows, details, search);
            search.matches.clear();
            search.failedStep = index + 1;
            return search;
        }
        search.matches = std::move(next);
    }
    return search;
}

std::optional<Text> PathBelow(WindowHandle root, WindowHandle window, WindowSystem& windows,
                              WindowDetails& details) {
    std::vector<PathStep> steps;
    for (WindowHandle current = window; current != root;) {
        const WindowHandle parent = details.ParentOf(current);
        if (parent == 0 || current == windows.DesktopWindow()) {
            return std::nullopt;
        }
        const Children children(parent, windows, details);
        const auto found = std::find(children.windows.begin(), children.windows.end(), current);
        if (found == children.windows.end()) {
            return std::nullopt;
        }
        const auto position = static_cast<std::size_t>(found - children.windows.begin());
        steps.push_back(std::move(SiblingSteps(children.keys)[position]));
        current = parent;
    }
    if (!windows.Exists(window)) {
        return std::nullopt;
    }
    Text path;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        path = ChildPath(path, *step);
    }
    return path;
}
