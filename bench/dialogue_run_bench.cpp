// One whole terminal run of the program, from process start to exit: piped
// input, output to /dev/null, result file in a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "program_run.h"

namespace {

void BM_WholeTerminalRun(benchmark::State& state) {
    const wlbench::ScratchFolder dir;
    if (dir.Path().empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string input = dir.Path() + "/input";
    {
        FILE* f = std::fopen(input.c_str(), "wb");
        std::fputs("0.4\n0.2\nab", f);
        std::fclose(f);
    }
    setenv("KRGFX", "", 1);
    unsetenv("DISPLAY");
    for (auto _ : state) {
        if (!wlbench::RunProgram(dir.Path(), {}, input)) {
            state.SkipWithError("the run did not exit with status 0");
            break;
        }
    }
}
BENCHMARK(BM_WholeTerminalRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
