// Texts matched as a search asks: the whole text or a part of it, literally or as an ECMAScript
// regular expression, with or without case (as Find ignores case: RowSearch's LowerCase).
#pragma once

#include <memory>
#include <string>

#include "core/Text.h"

class TextMatch {
public:
    enum class Extent { Whole, Part };

    struct Options {
        Extent extent = Extent::Whole;
        bool ignoreCase = false;
        bool regex = false;
    };

    // Throws std::regex_error when options.regex and the pattern is not a regular expression.
    TextMatch(TextView pattern, Options options);
    TextMatch(const TextMatch& other);
    TextMatch& operator=(const TextMatch& other);
    TextMatch(TextMatch&&) noexcept;
    TextMatch& operator=(TextMatch&&) noexcept;
    ~TextMatch();

    [[nodiscard]] bool Matches(TextView text) const;

private:
    struct Regex;

    Text m_pattern;
    Options m_options;
    std::unique_ptr<Regex> m_regex;
};
