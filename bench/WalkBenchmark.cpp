// The extraction walk against a bare traversal of the same in-memory tree: the walk's own cost
// (rows, text reads, step traps) is printed as a ratio to the traversal, measured in one run.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "extraction/ChildWalk.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"
#include "gui/ErrorReportBox.h"

namespace {

std::int64_t g_windowCount = 1'000'000;

// A tree like real applications: panels of 50 controls, panels nested four deep.
struct Tree {
    FakeDesktop desktop;
    WindowHandle root = 0;

    Tree() {
        FakeDesktop::Window top;
        top.className = u"TopLevelWindow";
        top.text = u"Bench";
        root = desktop.Add(FakeDesktop::kDesktop, top);
        std::int64_t made = 1;
        std::vector<WindowHandle> parents{root};
        while (made < g_windowCount) {
            std::vector<WindowHandle> next;
            for (const WindowHandle parent : parents) {
                for (int i = 0; i < 50 && made < g_windowCount; ++i, ++made) {
                    FakeDesktop::Window child;
                    child.className = i % 2 == 0 ? u"Static" : u"Button";
                    child.text = u"Item " + DecimalText(made);
                    next.push_back(desktop.Add(parent, child));
                }
            }
            parents = std::move(next);
        }
    }
};

Tree& SharedTree() {
    static Tree tree;
    return tree;
}

// The same window-system calls as the walk, nothing stored.
void BareTraversal(WindowSystem& windows, WindowHandle root) {
    std::vector<WindowHandle> pending{root};
    while (!pending.empty()) {
        const WindowHandle window = pending.back();
        pending.pop_back();
        benchmark::DoNotOptimize(windows.ClassName(window, kClassNameCapacity));
        const RemoteNumber length = windows.SendTextLength(window);
        if (length.end == RemoteEnd::Answered && length.value > 0) {
            Text text(static_cast<std::size_t>(length.value) + 1, u'\0');
            benchmark::DoNotOptimize(windows.SendGetText(window, text));
        }
        std::vector<WindowHandle> children;
        for (WindowHandle child = windows.Related(window, Relation::Child); child != 0;
             child = windows.Related(child, Relation::Next)) {
            children.push_back(child);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

void BM_BareTraversal(benchmark::State& state) {
    Tree& tree = SharedTree();
    for (auto _ : state) {
        BareTraversal(tree.desktop, tree.root);
    }
}

void BM_WalkWindowTree(benchmark::State& state) {
    Tree& tree = SharedTree();
    RecordingDialogs dialogs;
    ErrorReportBox reports(dialogs);
    FakeRowTableDisplay display;
    for (auto _ : state) {
        RowTable results(display);
        AppendColumns(results, {u"Class Name", u"Handle", u"Text"});
        WalkWindowTree(tree.root, results, tree.desktop, reports);
        benchmark::DoNotOptimize(results.RowCount());
    }
}

BENCHMARK(BM_BareTraversal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkWindowTree)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // --windows=N sets the tree's size (the smoke run of the test suite uses a small one).
    g_windowCount = TakeSizeOption(argc, argv, "windows", g_windowCount);
    return RunWithRatios(argc, argv,
                         {{"BM_WalkWindowTree", "BM_BareTraversal",
                           "The child walk over " + std::to_string(g_windowCount) +
                               " windows against the bare traversal",
                           2.0}});
}
