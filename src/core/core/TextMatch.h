// Texts matched as a search asks: the whole text or a part of it, literally or as an ECMAScript
// regular expression (run in time bounded by the text's length: Pattern), with or without case
// (as Find ignores case: RowSearch's LowerCase).
#pragma once

#include <optional>
#include <string>

#include "core/Pattern.h"
#include "core/Text.h"

class TextMatch {
public:
    enum class Extent { Whole, Part };

    struct Options {
        Extent extent = Extent::Whole;
        bool ignoreCase = false;
        bool regex = false;
    };

    // Throws PatternError when options.regex and the pattern is not a regular expression that
    // Pattern runs.
    TextMatch(TextView pattern, Options options);

    [[nodiscard]] bool Matches(TextView text) const;

private:
    Text m_pattern;
    Options m_options;
    std::optional<Pattern> m_regex;
};
