#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "textio/number_text.h"

namespace {

// Mixed inputs: short decimals like typed coordinates, results of arithmetic
// with all 16 digits, and values spread over the whole exponent range.
const std::vector<double>& Inputs() {
    static const std::vector<double> values = [] {
        std::vector<double> v;
        std::mt19937_64 rng(12345);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::uniform_real_distribution<double> decade(-300.0, 300.0);
        for (int i = 0; i < 4096; ++i) {
            switch (i % 4) {
                case 0:
                    v.push_back(std::round(unit(rng) * 10000.0) / 10000.0);
                    break;
                case 1:
                    v.push_back(unit(rng) * 1000.0);
                    break;
                case 2:
                    v.push_back(-std::pow(10.0, decade(rng)));
                    break;
                default:
                    v.push_back(static_cast<double>(rng() % 1000000));
                    break;
            }
        }
        return v;
    }();
    return values;
}

// Formats one of the 4096 values per iteration, in turn.
template <typename Value, typename Format>
void TimeFormatting(benchmark::State& state, const std::vector<Value>& values, Format format) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(format(values[i]));
        benchmark::ClobberMemory();
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FormatFloat16(benchmark::State& state) {
    char buffer[textio::kFloatBufferSize];
    TimeFormatting(state, Inputs(), [&](double value) {
        return textio::FormatFloat(value, buffer, sizeof buffer, textio::kDoubleDigits,
                                   textio::kAddBlank);
    });
}
BENCHMARK(BM_FormatFloat16);

void BM_SnprintfG16(benchmark::State& state) {
    char buffer[textio::kFloatBufferSize];
    TimeFormatting(state, Inputs(), [&](double value) {
        return std::snprintf(buffer, sizeof buffer, "%.16g", value);
    });
}
BENCHMARK(BM_SnprintfG16);

void BM_FormatInt64(benchmark::State& state) {
    std::vector<int64_t> values(4096);
    std::mt19937_64 rng(54321);
    for (int64_t& v : values) v = static_cast<int64_t>(rng()) >> (rng() % 64);
    char buffer[textio::kIntegerBufferSize];
    TimeFormatting(state, values, [&](int64_t value) {
        return textio::FormatInt64(value, 1, buffer, sizeof buffer);
    });
}
BENCHMARK(BM_FormatInt64);

}  // namespace
