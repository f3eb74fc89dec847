// Texts matched whole or in part, literally or as regular expressions, with or without case.
#include <gtest/gtest.h>

#include <regex>

#include "core/TextMatch.h"

TEST(TextMatchTest, MatchesWholeOrPartLiterallyOrAsARegexWithOrWithoutCase) {
    using Extent = TextMatch::Extent;
    const struct {
        const char16_t* pattern;
        TextMatch::Options options;
        const char16_t* text;
        bool matches;
    } cases[] = {
        {u"OK", {Extent::Whole, false, false}, u"OK", true},
        {u"OK", {Extent::Whole, false, false}, u"ok", false},
        {u"OK", {Extent::Whole, true, false}, u"ok", true},
        {u"OK", {Extent::Whole, true, false}, u"OK!", false},
        {u"ΚΕΙΜΕΝΟ", {Extent::Part, true, false}, u"ένα κειμενο εδώ", true},
        {u"a.c", {Extent::Part, false, false}, u"abc", false},  // literally: no wildcard
        {u"a.c", {Extent::Part, false, true}, u"xabcx", true},
        {u"a.c", {Extent::Whole, false, true}, u"xabcx", false},
        {u"^total: \\d+$", {Extent::Whole, false, true}, u"total: 42", true},
        {u"ΚΕΙΜΕΝΟ", {Extent::Part, true, true}, u"ένα κειμενο εδώ", true},
        {u"čeština", {Extent::Whole, true, true}, u"ČEŠTINA", true},
        {u"čeština", {Extent::Whole, false, true}, u"ČEŠTINA", false},
        {u"", {Extent::Part, false, false}, u"anything", true},
    };
    for (const auto& [pattern, options, text, matches] : cases) {
        EXPECT_EQ(TextMatch(pattern, options).Matches(text), matches)
            << TextToUtf8(pattern) << " in " << TextToUtf8(text);
    }
}

TEST(TextMatchTest, ABadRegexIsRefusedAndACopyMatchesAsItsOriginal) {
    EXPECT_THROW(TextMatch(u"a(", {TextMatch::Extent::Part, false, true}), std::regex_error);
    const TextMatch original(u"b+", {TextMatch::Extent::Part, false, true});
    const TextMatch copy = original;
    EXPECT_TRUE(copy.Matches(u"abbc"));
    EXPECT_FALSE(copy.Matches(u"ac"));
}
