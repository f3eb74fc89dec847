// Texts matched whole or in part, literally or as regular expressions, with or without case.
#include <gtest/gtest.h>

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
    EXPECT_THROW(TextMatch(u"a(", {TextMatch::Extent::Part, false, true}), PatternError);
    const TextMatch original(u"b+", {TextMatch::Extent::Part, false, true});
    const TextMatch copy = original;
    EXPECT_TRUE(copy.Matches(u"abbc"));
    EXPECT_FALSE(copy.Matches(u"ac"));
}

TEST(PatternTest, RunsTheEcmaScriptSyntaxThatNeedsNoGoingBack) {
    const struct {
        const char16_t* pattern;
        const char16_t* text;
        bool whole;  // the whole text matches
        bool part;   // a part of it does
    } cases[] = {
        {u"colou?r", u"color", true, true},
        {u"a|bc|", u"bc", true, true},
        {u"(?:ab)+c", u"xababc", false, true},
        {u"a{2,3}", u"aaaa", false, true},
        {u"^a{2,3}$", u"aaaa", false, false},
        {u"a{2,}?", u"aaaaa", true, true},
        {u"x{,2}", u"x{,2}", true, true},  // no count: the braces are themselves
        {u"[a-c-]+", u"b-a", true, true},
        {u"[^\\d\\s]+", u"ab_", true, true},
        {u"[^\\d\\s]", u"1 ", false, false},
        {u"[\\]\\\\]", u"]", true, true},
        {u"\\bcat\\b", u"a cat!", false, true},
        {u"\\bcat\\b", u"concat", false, false},
        {u"\\Bcat", u"concat", false, true},
        {u"\\d+\\.\\d\\d", u"12.50", true, true},
        {u"\\x41\\u00e9\\t", u"A\u00e9\t", true, true},
        {u".", u"\n", false, false},
        {u"[]", u"a", false, false},
        {u"[^]", u"\n", true, true},
        {u"(a*)*b", u"aaab", true, true},
        {u"$^", u"", true, true},
        {u"\\w+\\W\\S", u"ab, ", false, false},
    };
    for (const auto& [pattern, text, whole, part] : cases) {
        const Pattern compiled(pattern, false);
        EXPECT_EQ(compiled.MatchesWhole(text), whole) << TextToUtf8(pattern);
        EXPECT_EQ(compiled.MatchesPart(text), part) << TextToUtf8(pattern);
    }
    // Case folded for units and classes alike, as Find folds it.
    EXPECT_TRUE(Pattern(u"[A-Z\u0394]+", true).MatchesWhole(u"abc\u03b4"));
    EXPECT_FALSE(Pattern(u"[^a]", true).MatchesPart(u"A"));
}

TEST(PatternTest, PatternsThatBlowUpABacktrackerTakeTimeInLineWithTheText) {
    // Each takes minutes or overflows the stack when tried way by way; here a pass over the text.
    const Text as(100000, u'a');
    EXPECT_FALSE(Pattern(u"(a+)+$", false).MatchesPart(as + u"!"));
    EXPECT_FALSE(Pattern(u"(a|aa)*c", false).MatchesWhole(as));
    EXPECT_TRUE(Pattern(u"(a|a)*", false).MatchesWhole(as));
    EXPECT_TRUE(Pattern(u"(x+x+)+y|a{100}$", false).MatchesPart(as));
}

TEST(PatternTest, WhatNeedsGoingBackOrIsNoPatternIsRefusedWithWhy) {
    const struct {
        const char16_t* pattern;
        const char* said;
    } cases[] = {
        {u"(a)\\1", "back-references"},
        {u"a(?=b)", "lookaround"},
        {u"(?<!a)b", "lookaround"},
        {u"(ab", "( is not closed"},
        {u"ab)", ") closes no group"},
        {u"[ab", "[ is not closed"},
        {u"*a", "nothing to repeat"},
        {u"[z-a]", "runs backwards"},
        {u"a{3,2}", "run backwards"},
        {u"a{1001}", "over 1000 times"},
        {u"(a{1000}){3}", "over 2000 steps"},
        {u"\\x4", "hexadecimal"},
        {u"ab\\", "lone"},
    };
    for (const auto& [pattern, said] : cases) {
        try {
            static_cast<void>(Pattern(pattern, false));
            ADD_FAILURE() << TextToUtf8(pattern) << " was taken";
        } catch (const PatternError& error) {
            EXPECT_NE(std::string(error.what()).find(said), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(Pattern(Text(101, u'(') + Text(101, u')'), false), PatternError);
}
