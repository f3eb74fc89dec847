// The criteria of a search, held against one window.
#include "finding/Selectors.h"

#include "finding/ControlPath.h"

bool FindCriteria::Matches(TextView windowClass, std::int64_t windowId, TextView windowText,
                           std::optional<TextView> shownText) const {
    const auto holds = [&](const std::optional<TextMatch>& match) {
        return !match || match->Matches(windowText) || (shownText && match->Matches(*shownText));
    };
    return (!controlId || *controlId == windowId) &&
           (!className || SameClassName(windowClass, *className)) && holds(wholeText) &&
           holds(textPart);
}
