// A console reporter that, after the usual table, prints every peer's time against a baseline
// peer on the same input. Benchmarks are named "peer/input"; with --benchmark_repetitions the
// median of the repetitions is used, and --benchmark_enable_random_interleaving=true interleaves
// the peers' runs so that a noisy neighbour hurts both sides alike.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench_support {

class PeerRatios : public benchmark::ConsoleReporter {
public:
    explicit PeerRatios(std::string baseline) : baseline_(std::move(baseline)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With --benchmark_report_aggregates_only only the aggregates arrive: their median
            // stands for the runs.
            // In-process runs are compared by CPU time, which a busy neighbour disturbs less;
            // runs in child processes report their own CPU time as manual time.
            const double time = run.run_name.time_type.empty() ? run.GetAdjustedCPUTime()
                                                               : run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Iteration) {
                times_[run.run_name.function_name].push_back(time);
            } else if (run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = time;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, median] : medians_) {
            if (times_.count(name) == 0) times_[name] = {median};
        }
        std::map<std::string, std::map<std::string, double>> by_input; // input -> peer -> time
        for (auto& [name, times] : times_) {
            const auto slash = name.find('/');
            if (slash == std::string::npos) continue;
            std::sort(times.begin(), times.end());
            by_input[name.substr(slash + 1)][name.substr(0, slash)] = times[times.size() / 2];
        }
        std::printf("\nTime of %s divided by each peer's time (above 1: faster than %s)\n",
                    baseline_.c_str(), baseline_.c_str());
        for (const auto& [input, peers] : by_input) {
            const auto base = peers.find(baseline_);
            if (base == peers.end()) continue;
            for (const auto& [peer, time] : peers) {
                if (peer == baseline_) continue;
                std::printf("  %-24s %-16s %6.2f\n", input.c_str(), peer.c_str(),
                            base->second / time);
            }
        }
    }

private:
    std::string baseline_;
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> medians_;
};

inline int RunWithRatios(int argc, char** argv, const std::string& baseline) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    PeerRatios reporter(baseline);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench_support
