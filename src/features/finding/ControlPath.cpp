// Paths of controls.
#include "finding/ControlPath.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "core/RowSearch.h"

namespace {

bool Escaped(char16_t unit, std::size_t position) {
    return unit == u'\\' || unit == u'/' || unit == u'[' || unit == u']' ||
           (unit == u'#' && position > 0);
}

// Reads a whole number of digits (after a "-" when negative allows one) at text[at...]; moves at
// past it.
template <typename Number>
std::optional<Number> NumberAt(TextView text, std::size_t& at, bool negativeAllowed) {
    std::string digits;
    if (negativeAllowed && at < text.size() && text[at] == u'-') {
        digits += '-';
        ++at;
    }
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
        digits += static_cast<char>(text[at++]);
    }
    Number number{};
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, number);
    if (digits.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

// One step's text, its escapes still in it; what is wrong with it, or nothing.
std::string ParseStep(TextView text, PathStep& step) {
    std::size_t at = 0;
    while (at < text.size()) {
        const char16_t unit = text[at];
        if (unit == u'\\') {
            if (at + 1 == text.size()) {
                return "ends with a lone \"\\\"";
            }
            step.className += text[at + 1];
            at += 2;
            continue;
        }
        if ((unit == u'#' && at > 0) || unit == u'[' || unit == u']') {
            break;
        }
        step.className += unit;
        ++at;
    }
    if (step.className.empty()) {
        return "has no class name";
    }
    if (at < text.size() && text[at] == u'#') {
        ++at;
        const auto id = NumberAt<std::int64_t>(text, at, true);
        if (!id) {
            return "has no whole number after \"#\"";
        }
        step.controlId = *id;
    }
    if (at < text.size() && text[at] == u'[') {
        ++at;
        const auto index = NumberAt<std::size_t>(text, at, false);
        if (!index || *index == 0 || at == text.size() || text[at] != u']') {
            return "needs a whole number from 1 between \"[\" and \"]\"";
        }
        step.index = *index;
        ++at;
    }
    if (at < text.size()) {
        return "has \"" + TextToUtf8(text.substr(at, 1)) + "\" where it should end (write \\" +
               TextToUtf8(text.substr(at, 1)) + " in a class name)";
    }
    return {};
}

}  // namespace

Text FoldedClassName(TextView className) {
    Text folded(className);
    std::transform(folded.begin(), folded.end(), folded.begin(), LowerCase);
    return folded;
}

bool SameClassName(TextView a, TextView b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](auto x, auto y) { return SameUnit(x, y, false); });
}

std::vector<PathStep> SiblingSteps(std::span<const PathKey> siblings) {
    std::vector<Text> folded;
    folded.reserve(siblings.size());
    for (const PathKey& key : siblings) {
        folded.push_back(FoldedClassName(key.className));
    }
    // The siblings in the order of their keys, each key's in their own order: a run of equal
    // keys numbers its siblings.
    std::vector<std::size_t> order(siblings.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto keyLess = [&](std::size_t a, std::size_t b) {
        return folded[a] != folded[b] ? folded[a] < folded[b]
                                      : siblings[a].controlId < siblings[b].controlId;
    };
    std::stable_sort(order.begin(), order.end(), keyLess);
    std::vector<PathStep> steps(siblings.size());
    for (std::size_t start = 0; start < order.size();) {
        std::size_t end = start + 1;
        while (end < order.size() && !keyLess(order[start], order[end])) {
            ++end;
        }
        for (std::size_t run = start; run < end; ++run) {
            const PathKey& key = siblings[order[run]];
            steps[order[run]] = {Text(key.className), key.controlId,
                                 end - start > 1 ? run - start + 1 : 0};
        }
        start = end;
    }
    return steps;
}

Text StepText(const PathStep& step) {
    Text text;
    for (std::size_t position = 0; position < step.className.size(); ++position) {
        if (Escaped(step.className[position], position)) {
            text += u'\\';
        }
        text += step.className[position];
    }
    if (step.controlId != 0) {
        text += u'#' + DecimalText(step.controlId);
    }
    if (step.index != 0) {
        text += u'[' + DecimalText(static_cast<std::int64_t>(step.index)) + u']';
    }
    return text;
}

Text ChildPath(TextView parentPath, const PathStep& step) {
    Text path(parentPath);
    if (!path.empty()) {
        path += u'/';
    }
    return path + StepText(step);
}

ParsedPath ParsePath(TextView path) {
    ParsedPath parsed;
    if (path.empty()) {
        return parsed;
    }
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path.size(); ++at) {
        if (at + 1 < path.size() && path[at] == u'\\') {
            ++at;  // the escaped unit cannot end the step
            continue;
        }
        if (at < path.size() && path[at] != u'/') {
            continue;
        }
        PathStep& step = parsed.steps.emplace_back();
        if (const std::string problem = ParseStep(path.substr(start, at - start), step);
            !problem.empty()) {
            parsed.problem = "step " + std::to_string(parsed.steps.size()) + " (\"" +
                             TextToUtf8(path.substr(start, at - start)) + "\") " + problem;
            parsed.steps.clear();
            return parsed;
        }
        start = at + 1;
    }
    return parsed;
}

namespace {

std::vector<std::size_t> OfClass(std::span<const PathKey> siblings, TextView className) {
    std::vector<std::size_t> positions;
    for (std::size_t position = 0; position < siblings.size(); ++position) {
        if (SameClassName(siblings[position].className, className)) {
            positions.push_back(position);
        }
    }
    return positions;
}

}  // namespace

StepCandidates CandidatesOf(std::span<const PathKey> siblings, const PathStep& step) {
    StepCandidates candidates{OfClass(siblings, step.className), true};
    if (candidates.positions.empty()) {
        candidates.positions.resize(siblings.size());
        std::iota(candidates.positions.begin(), candidates.positions.end(), std::size_t{0});
        candidates.sameClass = false;
    }
    return candidates;
}

std::vector<std::size_t> MatchStep(std::span<const PathKey> siblings, const PathStep& step) {
    std::vector<std::size_t> matches;
    std::size_t sharing = 0;
    for (std::size_t position = 0; position < siblings.size(); ++position) {
        const PathKey& key = siblings[position];
        if (key.controlId != step.controlId || !SameClassName(key.className, step.className)) {
            continue;
        }
        ++sharing;
        if (step.index == 0 || step.index == sharing) {
            matches.push_back(position);
        }
    }
    if (!matches.empty() || step.controlId != 0 || step.index > 1) {
        return matches;
    }
    // A step written without its id: the one sibling of its class, if only one has it.
    std::vector<std::size_t> ofClass = OfClass(siblings, step.className);
    return ofClass.size() == 1 ? ofClass : std::vector<std::size_t>{};
}
