// Runs a piece of work in a forked child, as a fresh process would do it, and reports its time
// and the child's peak resident memory counted from the start of the work. A benchmark that
// measures first-document behaviour or peak memory cannot share its process with the peer.
// The time compared is the child's CPU time (user and system, so page faults and file writes
// count): on a machine shared with other work the wall time mostly measures the neighbours. The
// wall time is reported beside it as wall_ms.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench_support {

struct ChildRun {
    double seconds = 0; // CPU time, user and system
    double wall_seconds = 0;
    double start_mb = 0; // resident memory when the work began
    double peak_mb = 0;  // the highest resident memory while it ran
    bool ok = false;
};

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM").
inline double StatusMb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    double kb = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            kb = std::strtod(line + length + 1, nullptr);
    }
    std::fclose(f);
    return kb / 1024;
}

// User and system CPU time of this process so far.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

template <typename Work> ChildRun RunInChild(Work work) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        // Peak memory counts from here, not from what the parent once held.
        if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f);
            std::fclose(f);
        }
        ChildRun run;
        run.start_mb = StatusMb("VmRSS");
        const double cpu_begin = CpuSeconds();
        const auto begin = std::chrono::steady_clock::now();
        run.ok = work();
        run.wall_seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        run.seconds = CpuSeconds() - cpu_begin;
        run.peak_mb = StatusMb("VmHWM");
        const ssize_t written = write(fds[1], &run, sizeof run);
        _exit(written == static_cast<ssize_t>(sizeof run) ? 0 : 1);
    }
    close(fds[1]);
    ChildRun run;
    if (read(fds[0], &run, sizeof run) != static_cast<ssize_t>(sizeof run)) run = {};
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.ok = false;
    return run;
}

// Runs the work once per iteration of a manual-time benchmark, each time in a fresh child, and
// reports the highest peak_mb and grown_mb (peak less the memory at the start) of the runs.
template <typename Work> void MeasureInChildren(benchmark::State& state, Work work) {
    double peak = 0;
    double grown = 0;
    double wall = 0;
    for (auto _ : state) {
        const ChildRun run = RunInChild(work);
        if (!run.ok) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        wall += run.wall_seconds;
        peak = std::max(peak, run.peak_mb);
        grown = std::max(grown, run.peak_mb - run.start_mb);
    }
    state.counters["peak_mb"] = peak;
    state.counters["grown_mb"] = grown;
    if (state.iterations() > 0)
        state.counters["wall_ms"] = 1000 * wall / static_cast<double>(state.iterations());
}

// Peak resident set of a child process that runs what is given, in KiB: the whole
// child, from the fork on, for peers measured as whole programs.
template <typename F> long ChildPeakKb(F&& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

// The heap-trimming setting the process runs under, for the report.
inline std::string TrimSetting() {
    const char* value = std::getenv("MALLOC_TRIM_THRESHOLD_");
    return value != nullptr ? std::string("MALLOC_TRIM_THRESHOLD_=") + value
                            : "glibc default (trimming on)";
}

} // namespace bench_support
