// Batch mode on one million points, plain and with the exact columns: the
// whole program run with a file of points in and standard output to /dev/null. Reports points per second of
// wall-clock time, and per second of the program's own processor time (user
// and system), which a busy machine disturbs less.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

constexpr int kPoints = 1000000;

// Points spread over the chromaticity diagram and around it (spectral, purple,
// outside the locus), four decimals each, from a fixed generator.
bool WritePoints(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    uint64_t state = 1931;
    auto next = [&state] {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < kPoints; ++i) {
        std::fprintf(f, "%.4f,%.4f\n", 0.75 * next(), 0.85 * next());
    }
    return std::fclose(f) == 0;
}

// `options` follow "--batch FILE".
void RunBatch(benchmark::State& state, std::vector<std::string> options) {
    const wlbench::ScratchFolder dir;
    if (dir.Path().empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string input = dir.Path() + "/points.txt";
    if (!WritePoints(input)) {
        state.SkipWithError("cannot write the points");
        return;
    }
    auto childSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double childBefore = childSeconds();
    options.insert(options.begin(), {"--batch", input});
    for (auto _ : state) {
        if (!wlbench::RunProgram(dir.Path(), options)) {
            state.SkipWithError("the batch run did not exit with status 0");
            break;
        }
    }
    const double points = static_cast<double>(state.iterations()) * kPoints;
    state.SetItemsProcessed(static_cast<int64_t>(points));
    const double childTime = childSeconds() - childBefore;
    if (childTime > 0) state.counters["points_per_cpu_second"] = points / childTime;
}

void BM_BatchMillionPoints(benchmark::State& state) {
    RunBatch(state, {});
}
BENCHMARK(BM_BatchMillionPoints)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

void BM_BatchMillionPointsExact(benchmark::State& state) {
    RunBatch(state, {"--exact", "--white=D65"});
}
BENCHMARK(BM_BatchMillionPointsExact)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace
