// The wall-clock time of a piece of work, for the benchmarks that drive programs under Wine.
#pragma once

#include <chrono>
#include <functional>

[[nodiscard]] inline double SecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
