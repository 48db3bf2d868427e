// Decimal text to double: the table reader against the C library's strtod on
// the same coefficient-like texts ("-19797743883.15425", "0.3127", ...).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "textio/text_to_number.h"

namespace {

// 448 texts shaped like the stored segment coefficients: an optional minus
// sign, up to 11 integer digits and enough fraction digits for 7 to 16
// significant digits. Fixed seed, so every run converts the same texts.
const std::vector<std::string>& CoefficientTexts() {
    static const std::vector<std::string> texts = [] {
        std::mt19937_64 rng(448);
        std::vector<std::string> out;
        out.reserve(448);
        while (out.size() < 448) {
            std::string s;
            if (rng() % 2) s += '-';
            const int int_digits = static_cast<int>(rng() % 12);
            const int significant = 7 + static_cast<int>(rng() % 10);
            if (int_digits == 0) {
                s += "0.";
                if (rng() % 3 == 0) s += "00";
                for (int i = 0; i < significant; ++i) s += static_cast<char>('0' + rng() % 10);
            } else {
                s += static_cast<char>('1' + rng() % 9);
                for (int i = 1; i < int_digits; ++i) s += static_cast<char>('0' + rng() % 10);
                s += '.';
                const int frac = significant > int_digits ? significant - int_digits : 1;
                for (int i = 0; i < frac; ++i) s += static_cast<char>('0' + rng() % 10);
            }
            out.push_back(s);
        }
        return out;
    }();
    return texts;
}

// Converts all 448 texts per iteration.
template <typename Convert>
void TimeConversions(benchmark::State& state, Convert convert) {
    const auto& texts = CoefficientTexts();
    for (auto _ : state) {
        for (const std::string& t : texts) benchmark::DoNotOptimize(convert(t));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}

void BM_DoubleFromText(benchmark::State& state) {
    TimeConversions(
        state, [](const std::string& t) { return textio::DoubleFromText(t.data(), t.size()); });
}
BENCHMARK(BM_DoubleFromText);

void BM_StrtodC(benchmark::State& state) {
    TimeConversions(state, [](const std::string& t) { return textio::StrtodC(t.c_str()); });
}
BENCHMARK(BM_StrtodC);

void BM_LibcStrtod(benchmark::State& state) {
    TimeConversions(state, [](const std::string& t) { return std::strtod(t.c_str(), nullptr); });
}
BENCHMARK(BM_LibcStrtod);

}  // namespace
