// One batch point in the process, split into its parts, next to the parts no
// batch tool can avoid: two texts to numbers and four numbers to shortest
// text. The lines are the ones BM_BatchMillionPoints feeds the program.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "calc/batch.h"
#include "textio/number_text.h"
#include "textio/text_to_number.h"

namespace {

constexpr size_t kLines = 4096;

struct Sample {
    std::string line;  // "x,y" as the input file holds it
    std::string x, y;  // its two number texts
    calc::Calculation result;
};

const std::vector<Sample>& Samples() {
    static const std::vector<Sample> samples = [] {
        std::vector<Sample> out(kLines);
        uint64_t state = 1931;
        auto next = [&state] {
            state = state * 6364136223846793005u + 1442695040888963407u;
            return static_cast<double>(state >> 11) / 9007199254740992.0;
        };
        char text[64];
        for (Sample& s : out) {
            std::snprintf(text, sizeof text, "%.4f", 0.75 * next());
            s.x = text;
            std::snprintf(text, sizeof text, "%.4f", 0.85 * next());
            s.y = text;
            s.line = s.x + "," + s.y;
            s.result = calc::Calculate(textio::DoubleFromText(s.x.data(), s.x.size()),
                                       textio::DoubleFromText(s.y.data(), s.y.size()), nullptr);
        }
        return out;
    }();
    return samples;
}

// Runs `step` on every sample per iteration; `rows` collects what it writes.
template <typename Step>
void TimeSamples(benchmark::State& state, Step step) {
    const auto& samples = Samples();
    std::string rows;
    std::string scratch;
    for (auto _ : state) {
        rows.clear();
        for (const Sample& s : samples) step(s, rows, scratch);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLines));
}

// A line's two numbers as batch mode reads them.
void ReadLine(const Sample& s, std::string& scratch, double* x, double* y) {
    std::string_view text;
    calc::LineToCp437(s.line, &scratch, &text);
    calc::ReadPoint(text, x, y);
}

// The floor: two conversions in, four numbers out.
void BM_PointUnavoidableParts(benchmark::State& state) {
    TimeSamples(state, [](const Sample& s, std::string&, std::string&) {
        char buffer[textio::kShortestBufferSize];
        benchmark::DoNotOptimize(textio::DoubleFromText(s.x.data(), s.x.size()));
        benchmark::DoNotOptimize(textio::DoubleFromText(s.y.data(), s.y.size()));
        for (const double v : {s.result.x, s.result.y, s.result.z, s.result.la}) {
            benchmark::DoNotOptimize(textio::FormatShortest(v, buffer));
        }
    });
}
BENCHMARK(BM_PointUnavoidableParts);

// Everything batch mode does with a line once it is read: the character set,
// the two items, the calculation and the row.
void BM_BatchPoint(benchmark::State& state) {
    TimeSamples(state, [](const Sample& s, std::string& rows, std::string& scratch) {
        double x = 0.0;
        double y = 0.0;
        ReadLine(s, scratch, &x, &y);
        calc::AppendCsvRow(calc::Calculate(x, y, nullptr), &rows);
    });
}
BENCHMARK(BM_BatchPoint);

// The same point in its three parts.
void BM_BatchPointRead(benchmark::State& state) {
    TimeSamples(state, [](const Sample& s, std::string&, std::string& scratch) {
        double x = 0.0;
        double y = 0.0;
        ReadLine(s, scratch, &x, &y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    });
}
BENCHMARK(BM_BatchPointRead);

void BM_BatchPointCalculate(benchmark::State& state) {
    TimeSamples(state, [](const Sample& s, std::string&, std::string&) {
        benchmark::DoNotOptimize(calc::Calculate(s.result.x, s.result.y, nullptr));
    });
}
BENCHMARK(BM_BatchPointCalculate);

void BM_BatchPointWrite(benchmark::State& state) {
    TimeSamples(state, [](const Sample& s, std::string& rows, std::string&) {
        calc::AppendCsvRow(s.result, &rows);
    });
}
BENCHMARK(BM_BatchPointWrite);

}  // namespace
