// The target fixture's tree of windows, started for a benchmark that drives programs under Wine.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "tests/e2e/Truth.h"

class FixtureTree {
public:
    // Starts the fixture with as many windows as the command line's --count=N asks, else
    // defaultCount, and waits for its truth.
    FixtureTree(int argc, char** argv, int defaultCount);

    // The tree's top-level window: its handle in decimal, as the command line takes it.
    [[nodiscard]] const std::wstring& Root() const noexcept { return m_root; }
    [[nodiscard]] HWND RootWindow() const noexcept { return m_rootWindow; }
    // How many windows the tree holds, its top-level window with them.
    [[nodiscard]] std::size_t Windows() const noexcept { return m_windows; }

private:
    TargetFixture m_fixture;
    std::wstring m_root;
    HWND m_rootWindow;
    std::size_t m_windows;
};
