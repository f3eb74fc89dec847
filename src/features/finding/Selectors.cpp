// The criteria of a search, held against one window.
#include "finding/Selectors.h"

#include "finding/ControlPath.h"

bool FindCriteria::Matches(TextView windowClass, std::int64_t windowId, TextView windowText) const {
    return (!controlId || *controlId == windowId) &&
           (!className || SameClassName(windowClass, *className)) &&
           (!wholeText || wholeText->Matches(windowText)) &&
           (!textPart || textPart->Matches(windowText));
}
