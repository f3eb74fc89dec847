// The bench mode of the target fixture, sized by the benchmark's command line.
#include "bench/FixtureTree.h"

#include <cstdio>

namespace {

int CountOption(int argc, char** argv, int defaultCount) {
    int count = defaultCount;
    for (int i = 1; i < argc; ++i) {
        std::sscanf(argv[i], "--count=%d", &count);
    }
    return count;
}

}  // namespace

FixtureTree::FixtureTree(int argc, char** argv, int defaultCount)
    : m_fixture(L"bench", L"--count " + std::to_wstring(CountOption(argc, argv, defaultCount))),
      m_root(m_fixture.Lines().at(0).at(1)),
      m_rootWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(m_root)))),
      m_windows(static_cast<std::size_t>(std::stoi(m_fixture.Lines().at(0).at(2))) + 1) {}
