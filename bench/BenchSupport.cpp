// The ratio reporter of the native benchmarks.
#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(const std::vector<Ratio>& ratios)
        : ConsoleReporter(OO_None), m_ratios(ratios) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Ratio& ratio : m_ratios) {
            if (!m_times.contains(ratio.subject) || !m_times.contains(ratio.baseline)) {
                continue;  // filtered out of this run
            }
            const double times = m_times.at(ratio.subject) / m_times.at(ratio.baseline);
            if (ratio.goal) {
                std::printf("%s: %.2f x the baseline (goal: at most %.1f)\n",
                            ratio.description.c_str(), times, *ratio.goal);
            } else {
                std::printf("%s: %.2f x the baseline\n", ratio.description.c_str(), times);
            }
        }
    }

private:
    const std::vector<Ratio>& m_ratios;
    std::map<std::string, double> m_times;
};

}  // namespace

long long TakeSizeOption(int& argc, char** argv, const std::string& name, long long fallback) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind(prefix, 0) == 0) {
            for (int j = i; j + 1 < argc; ++j) {
                argv[j] = argv[j + 1];
            }
            --argc;
            return std::stoll(argument.substr(prefix.size()));
        }
    }
    return fallback;
}

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(ratios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
