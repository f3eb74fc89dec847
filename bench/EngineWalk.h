// The reading engine's own walk of a window tree in the benchmark's process, its rows counted and
// dropped: the cost of the engine alone, without a program's window, threads or output.
#pragma once

#include <windows.h>

#include <cstdint>

#include "extraction/ChildWalk.h"
#include "win32/Win32WindowSystem.h"

// The rows of the engine's walk, counted and dropped.
class CountingRows : public RowSink {
public:
    void Clear() override { rows = 0; }
    std::size_t AppendRow(Text) override { return ++rows; }
    void SetCell(std::size_t, int, Text) override {}
    std::size_t rows = 0;
};

// No step of a walk over the fixture fails; were one to, the count of rows would show it.
class SilentReporter : public Reporter {
public:
    void ReportFailure(TextView, int, const Text&) override {}
};

// Walks the tree below root as the tool does; answers how many rows the walk gave.
inline std::size_t EngineWalk(HWND root) {
    CountingRows sink;
    Win32WindowSystem system;
    SilentReporter reporter;
    WalkWindowTree(static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(root)), sink, system,
                   reporter, WalkOptions{});
    return sink.rows;
}
