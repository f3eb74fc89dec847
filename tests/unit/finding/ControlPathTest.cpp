// Paths of controls: each sibling's step, the steps written and read back, escapes, and the
// steps matched among the siblings of a new run.
#include <gtest/gtest.h>

#include <vector>

#include "finding/ControlPath.h"

namespace {

std::vector<Text> StepTexts(const std::vector<PathKey>& siblings) {
    std::vector<Text> texts;
    for (const PathStep& step : SiblingSteps(siblings)) {
        texts.push_back(StepText(step));
    }
    return texts;
}

}  // namespace

TEST(ControlPathTest, AStepHasItsIdAndAnIndexOnlyWhereSiblingsShareClassAndId) {
    const struct {
        std::vector<PathKey> siblings;
        std::vector<Text> steps;
    } cases[] = {
        {{{u"Button", 1}, {u"Button", 2}, {u"Static", 0}}, {u"Button#1", u"Button#2", u"Static"}},
        {{{u"Edit", 0}, {u"Static", 0}, {u"Edit", 0}, {u"EDIT", 0}},
         {u"Edit[1]", u"Static", u"Edit[2]", u"EDIT[3]"}},
        {{{u"Button", 7}, {u"Button", 7}, {u"Button", 0}},
         {u"Button#7[1]", u"Button#7[2]", u"Button"}},
        {{{u"#32770", -2}, {u"λιστα", 0}, {u"ΛΙΣΤΑ", 0}}, {u"#32770#-2", u"λιστα[1]", u"ΛΙΣΤΑ[2]"}},
        {{{u"a/b#c[d]\\", 3}}, {u"a\\/b\\#c\\[d\\]\\\\#3"}},
        {{}, {}},
    };
    for (const auto& [siblings, steps] : cases) {
        EXPECT_EQ(StepTexts(siblings), steps) << siblings.size();
    }
}

TEST(ControlPathTest, PathsReadBackIntoTheStepsTheyWereWrittenFrom) {
    const std::vector<PathStep> steps{{u"#32770", 0, 0},      {u"Button", 1, 0},    {u"Edit", 0, 2},
                                      {u"a/b#c[d]\\", -5, 3}, {u"Ελληνικά😀", 0, 0}, {u"#", 0, 0}};
    Text path;
    for (const PathStep& step : steps) {
        path = ChildPath(path, step);
    }
    EXPECT_EQ(TextToUtf8(path), "#32770/Button#1/Edit[2]/a\\/b\\#c\\[d\\]\\\\#-5[3]/Ελληνικά😀/#");
    const ParsedPath parsed = ParsePath(path);
    EXPECT_EQ(parsed.problem, "");
    EXPECT_EQ(parsed.steps, steps);
    EXPECT_TRUE(ParsePath(u"").steps.empty());
}

TEST(ControlPathTest, AMalformedPathNamesTheStepAndWhatIsWrong) {
    const struct {
        const char16_t* path;
        const char* problem;
    } cases[] = {
        {u"Button//Edit", "step 2 (\"\") has no class name"},
        {u"Edit#", "step 1 (\"Edit#\") has no whole number after \"#\""},
        {u"Edit#x", "step 1 (\"Edit#x\") has no whole number after \"#\""},
        {u"A/Edit[0]", "step 2 (\"Edit[0]\") needs a whole number from 1 between \"[\" and \"]\""},
        {u"Edit[2", "step 1 (\"Edit[2\") needs a whole number from 1 between \"[\" and \"]\""},
        {u"Edit[2]x",
         "step 1 (\"Edit[2]x\") has \"x\" where it should end (write \\x in a class name)"},
        {u"Edit\\", "step 1 (\"Edit\\\") ends with a lone \"\\\""},
        {u"[1]", "step 1 (\"[1]\") has no class name"},
    };
    for (const auto& [path, problem] : cases) {
        const ParsedPath parsed = ParsePath(path);
        EXPECT_EQ(parsed.problem, problem) << TextToUtf8(path);
        EXPECT_TRUE(parsed.steps.empty());
    }
}

TEST(ControlPathTest, AStepFindsItsControlAmongTheSiblingsOfANewRun) {
    const PathStep edit2{u"Edit", 0, 2};
    const PathStep ok{u"Button", 1, 0};
    const PathStep edit{u"edit", 0, 0};
    const struct {
        std::vector<PathKey> siblings;
        PathStep step;
        std::vector<std::size_t> matches;
    } cases[] = {
        // As written.
        {{{u"Edit", 0}, {u"Button", 1}, {u"Edit", 0}}, edit2, {2}},
        {{{u"Edit", 0}, {u"Button", 1}, {u"Edit", 0}}, ok, {1}},
        // A sibling of another class or id appearing before the step changes nothing.
        {{{u"Static", 0}, {u"Edit", 0}, {u"Button", 2}, {u"Button", 1}, {u"Edit", 0}}, edit2, {4}},
        {{{u"Button", 3}, {u"Button", 1}}, ok, {1}},
        // One with the same class and id appearing before moves the index on; vanishing, back.
        {{{u"Edit", 0}, {u"Edit", 0}, {u"Edit", 0}}, edit2, {1}},
        {{{u"Edit", 0}}, edit2, {}},
        // Without an index every sibling with the class and id matches, whatever its case.
        {{{u"Edit", 0}, {u"EDIT", 0}, {u"Edit", 4}}, edit, {0, 1}},
        {{{u"Button", 2}}, ok, {}},
    };
    for (const auto& [siblings, step, matches] : cases) {
        EXPECT_EQ(MatchStep(siblings, step), matches) << TextToUtf8(StepText(step));
    }
}

TEST(ControlPathTest, AStepWithoutItsIdFindsTheOneSiblingOfItsClassAndNamesTheCandidatesOtherwise) {
    const PathStep tree{u"SysTreeView32", 0, 0};
    const PathStep firstTree{u"SysTreeView32", 0, 1};
    const PathStep secondTree{u"SysTreeView32", 0, 2};
    const PathStep treeWithId{u"SysTreeView32", 7, 0};
    const struct {
        std::vector<PathKey> siblings;
        PathStep step;
        std::vector<std::size_t> matches;
        std::vector<std::size_t> candidates;
        bool sameClass;
    } cases[] = {
        {{{u"Static", 0}, {u"SysTreeView32", 2002}}, tree, {1}, {1}, true},
        {{{u"systreeview32", 2002}}, firstTree, {0}, {0}, true},
        {{{u"SysTreeView32", 2002}}, secondTree, {}, {0}, true},
        {{{u"SysTreeView32", 2002}}, treeWithId, {}, {0}, true},
        // One without an id is the step's own match, before any with an id.
        {{{u"SysTreeView32", 5}, {u"SysTreeView32", 0}}, tree, {1}, {0, 1}, true},
        {{{u"SysTreeView32", 5}, {u"Static", 0}, {u"SysTreeView32", 6}}, tree, {}, {0, 2}, true},
        {{{u"Static", 0}, {u"Edit", 3}}, tree, {}, {0, 1}, false},
        {{}, tree, {}, {}, false},
    };
    for (const auto& [siblings, step, matches, candidates, sameClass] : cases) {
        EXPECT_EQ(MatchStep(siblings, step), matches) << TextToUtf8(StepText(step));
        const StepCandidates found = CandidatesOf(siblings, step);
        EXPECT_EQ(found.positions, candidates) << TextToUtf8(StepText(step));
        EXPECT_EQ(found.sameClass, sameClass) << TextToUtf8(StepText(step));
    }
}
