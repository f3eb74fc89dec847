// Controls found by their paths below a window, and paths found from windows, on the in-memory
// desktop: each window's path, as the walk writes it, leads back to that window.
#include <gtest/gtest.h>

#include <map>

#include "extraction/ChildWalk.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "finding/ControlPaths.h"

namespace {

// Records each walked window's path.
struct WalkedPaths final : WalkObserver {
    std::map<WindowHandle, Text> paths;
    void WindowWalked(const WalkedWindow& window) override { paths[window.window] = window.path; }
    void WindowReadAgain(const WalkedWindow&) override {}
};

struct ControlPathsTest : ::testing::Test {
    FakeDesktop desktop;
    WindowHandle top = desktop.Add(FakeDesktop::kDesktop, FakeDesktop::Make(u"#32770", u"Top"));

    WindowHandle Add(WindowHandle parent, Text className, std::int64_t id) {
        const WindowHandle window =
            desktop.Add(parent, FakeDesktop::Make(std::move(className), {}));
        desktop.At(window).controlId = id;
        return window;
    }

    std::map<WindowHandle, Text> Walked() {
        FakeRowTableDisplay display;
        RowTable rows(display);
        AppendColumns(rows, {u"Class Name", u"Handle", u"Text"});
        struct : Reporter {
            void ReportFailure(TextView, int, const Text&) override {}
        } silent;
        WalkedPaths observer;
        WalkOptions options;
        options.observer = &observer;
        options.details = &desktop;
        WalkWindowTree(top, rows, desktop, silent, options);
        return observer.paths;
    }
};

}  // namespace

TEST_F(ControlPathsTest, EachWalkedPathLeadsBackToItsWindowAndIsFoundFromIt) {
    const WindowHandle group = Add(top, u"Button", 0);
    Add(group, u"Button", 1);
    Add(group, u"Button", 1);
    Add(top, u"Edit", 0);
    const WindowHandle odd = Add(top, u"a/b#c", 3);
    Add(odd, u"Στατικό", 0);
    Add(top, u"button", 0);
    const std::map<WindowHandle, Text> walked = Walked();
    ASSERT_EQ(walked.size(), 8u);
    EXPECT_EQ(walked.at(odd), u"a\\/b\\#c#3");
    EXPECT_EQ(walked.at(desktop.At(group).children[1]), u"Button[1]/Button#1[2]");
    for (const auto& [window, path] : walked) {
        EXPECT_EQ(PathBelow(top, window, desktop, desktop), path);
        const PathSearch search = FindByPath(top, ParsePath(path).steps, desktop, desktop);
        ASSERT_EQ(search.matches.size(), 1u) << TextToUtf8(path);
        EXPECT_EQ(search.matches[0].window, window);
        EXPECT_EQ(search.matches[0].path, path);
    }
}

TEST_F(ControlPathsTest, AStepWithoutIndexFindsEverySiblingAndTheFirstStepThatFailsIsNamed) {
    const WindowHandle pane = Add(top, u"Pane", 0);
    const WindowHandle otherPane = Add(top, u"Pane", 0);
    const WindowHandle edit = Add(pane, u"Edit", 5);
    const WindowHandle otherEdit = Add(otherPane, u"Edit", 5);
    const PathSearch both = FindByPath(top, ParsePath(u"Pane/Edit#5").steps, desktop, desktop);
    ASSERT_EQ(both.matches.size(), 2u);
    EXPECT_EQ(both.matches[0].window, edit);
    EXPECT_EQ(both.matches[1].path, u"Pane[2]/Edit#5");
    EXPECT_EQ(both.matches[1].window, otherEdit);
    EXPECT_EQ(FindByPath(top, ParsePath(u"Pane/Edit#6/X").steps, desktop, desktop).failedStep, 2u);

    // A window closed, or not below the root, has no path.
    const WindowHandle elsewhere = desktop.AddTopLevel(u"Other");
    EXPECT_EQ(PathBelow(top, elsewhere, desktop, desktop), std::nullopt);
    desktop.Remove(otherEdit);
    EXPECT_EQ(PathBelow(top, otherEdit, desktop, desktop), std::nullopt);
    EXPECT_EQ(PathBelow(top, top, desktop, desktop), Text());
}

TEST_F(ControlPathsTest, AMissedStepNamesTheWindowsBelowTheLastStepThatMatched) {
    const WindowHandle pane = Add(top, u"Pane", 0);
    const WindowHandle otherPane = Add(top, u"Pane", 0);
    const WindowHandle tree = Add(pane, u"SysTreeView32", 2002);
    Add(pane, u"Static", 0);
    const WindowHandle otherTree = Add(otherPane, u"SysTreeView32", 2003);
    const PathSearch forgiven =
        FindByPath(top, ParsePath(u"Pane[1]/SysTreeView32").steps, desktop, desktop);
    ASSERT_EQ(forgiven.matches.size(), 1u);
    EXPECT_EQ(forgiven.matches[0].window, tree);
    EXPECT_EQ(forgiven.matches[0].path, u"Pane[1]/SysTreeView32#2002");

    const PathSearch missed =
        FindByPath(top, ParsePath(u"Pane/SysTreeView32#9").steps, desktop, desktop);
    EXPECT_EQ(missed.failedStep, 2u);
    EXPECT_TRUE(missed.candidatesShareClass);
    ASSERT_EQ(missed.candidates.size(), 2u);
    EXPECT_EQ(missed.candidates[0].window, tree);
    EXPECT_EQ(missed.candidates[1].window, otherTree);
    EXPECT_EQ(missed.candidates[1].path, u"Pane[2]/SysTreeView32#2003");

    for (std::int64_t id = 1; id <= 12; ++id) {
        Add(otherPane, u"Button", id);
    }
    const PathSearch unknown = FindByPath(top, ParsePath(u"Pane[2]/Edit").steps, desktop, desktop);
    EXPECT_FALSE(unknown.candidatesShareClass);
    EXPECT_EQ(unknown.candidateCount, 13u);
    ASSERT_EQ(unknown.candidates.size(), kMostCandidates);
    EXPECT_EQ(unknown.candidates[0].path, u"Pane[2]/SysTreeView32#2003");
}
