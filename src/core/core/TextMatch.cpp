// Texts matched as a search asks.
#include "core/TextMatch.h"

#include <algorithm>

#include "core/RowSearch.h"

TextMatch::TextMatch(TextView pattern, Options options) : m_pattern(pattern), m_options(options) {
    if (options.regex) {
        m_regex.emplace(pattern, options.ignoreCase);
    }
}

bool TextMatch::Matches(TextView text) const {
    const bool whole = m_options.extent == Extent::Whole;
    if (m_regex) {
        return whole ? m_regex->MatchesWhole(text) : m_regex->MatchesPart(text);
    }
    const auto same = [this](char16_t a, char16_t b) {
        return SameUnit(a, b, !m_options.ignoreCase);
    };
    if (whole) {
        return text.size() == m_pattern.size() &&
               std::equal(text.begin(), text.end(), m_pattern.begin(), same);
    }
    return std::search(text.begin(), text.end(), m_pattern.begin(), m_pattern.end(), same) !=
           text.end();
}
