// Texts matched as a search asks.
#include "core/TextMatch.h"

#include <algorithm>
#include <regex>

#include "core/RowSearch.h"

namespace {

// A regular expression's case folded as Find folds it, rather than by the C library's locale.
struct FoldingTraits : std::regex_traits<wchar_t> {
    [[nodiscard]] wchar_t translate_nocase(wchar_t unit) const {
        // Beyond 16 bits only where wchar_t is wider: no unit of a UTF-16 text.
        const auto narrow = static_cast<char16_t>(unit);
        if (static_cast<wchar_t>(narrow) != unit) {
            return unit;
        }
        return static_cast<wchar_t>(LowerCase(narrow));
    }
};

// UTF-16 units as wide characters: each unit one character, on any platform's wchar_t.
std::wstring Wide(TextView text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

struct TextMatch::Regex {
    std::basic_regex<wchar_t, FoldingTraits> expression;
};

TextMatch::TextMatch(TextView pattern, Options options) : m_pattern(pattern), m_options(options) {
    if (options.regex) {
        auto flags = std::regex_constants::ECMAScript;
        if (options.ignoreCase) {
            flags |= std::regex_constants::icase;
        }
        m_regex = std::make_unique<Regex>(
            Regex{std::basic_regex<wchar_t, FoldingTraits>(Wide(pattern), flags)});
    }
}

TextMatch::TextMatch(const TextMatch& other)
    : m_pattern(other.m_pattern),
      m_options(other.m_options),
      m_regex(other.m_regex ? std::make_unique<Regex>(*other.m_regex) : nullptr) {}

TextMatch& TextMatch::operator=(const TextMatch& other) {
    if (this != &other) {
        *this = TextMatch(other);
    }
    return *this;
}

TextMatch::TextMatch(TextMatch&&) noexcept = default;
TextMatch& TextMatch::operator=(TextMatch&&) noexcept = default;
TextMatch::~TextMatch() = default;

bool TextMatch::Matches(TextView text) const {
    const bool whole = m_options.extent == Extent::Whole;
    if (m_regex) {
        const std::wstring wide = Wide(text);
        return whole ? std::regex_match(wide, m_regex->expression)
                     : std::regex_search(wide, m_regex->expression);
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
