// A console reporter that, after the usual table, prints every peer's time against a baseline
// peer on the same input, and for inputs of several sizes ("peer/input/size") the time per
// tenfold size: 10 is linear. Benchmarks are named "peer/input"; with --benchmark_repetitions the
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
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            if (run.run_type == Run::RT_Iteration) {
                times_[name].push_back(time);
            } else if (run.aggregate_name == "median") {
                medians_[name] = time;
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
        bool title = false;
        for (const auto& [input, peers] : by_input) {
            const auto base = peers.find(baseline_);
            if (base == peers.end()) continue;
            for (const auto& [peer, time] : peers) {
                if (peer == baseline_) continue;
                if (!title)
                    std::printf("\nTime of %s divided by each peer's time (above 1: faster than "
                                "%s)\n",
                                baseline_.c_str(), baseline_.c_str());
                title = true;
                std::printf("  %-24s %-16s %6.2f\n", input.c_str(), peer.c_str(),
                            base->second / time);
            }
        }
        PrintGrowth();
    }

private:
    // Time at a size divided by the time at a tenth of it, for every run named "…/size".
    void PrintGrowth() const {
        std::map<std::string, std::map<long long, double>> by_run; // run -> size -> time
        for (const auto& [name, times] : times_) {
            const auto slash = name.rfind('/');
            if (slash == std::string::npos || slash + 1 == name.size()) continue;
            const std::string size = name.substr(slash + 1);
            if (size.find_first_not_of("0123456789") != std::string::npos) continue;
            by_run[name.substr(0, slash)][std::stoll(size)] = times[times.size() / 2];
        }
        bool title = false;
        for (const auto& [run, sizes] : by_run) {
            for (const auto& [size, time] : sizes) {
                const auto tenth = sizes.find(size / 10);
                if (size % 10 != 0 || tenth == sizes.end() || tenth->second <= 0) continue;
                if (!title) std::printf("\nTime per tenfold size (10: linear)\n");
                title = true;
                std::printf("  %-32s %10lld %6.1f\n", run.c_str(), size, time / tenth->second);
            }
        }
    }

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
