// What the native benchmarks share: a size option and the ratios printed after the runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A figure the benchmark prints: subject's time as a ratio to baseline's, measured in one run;
// one without a goal tells where another's time goes.
struct Ratio {
    std::string subject;
    std::string baseline;
    std::string description;
    std::optional<double> goal;
};

// Takes "--name=N" out of the arguments; fallback when it is not there.
long long TakeSizeOption(int& argc, char** argv, const std::string& name, long long fallback);

// Runs the registered benchmarks, then prints each ratio with its goal.
int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);
