// The exact dominant wavelength of one point, alone: points spread over the
// chromaticity diagram and around it (spectral, purple, outside the locus), and
// the one-time preparation of a white point.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "calc/exact_wavelength.h"

namespace {

const std::vector<calc::Chromaticity>& Points() {
    static const std::vector<calc::Chromaticity> points = [] {
        std::vector<calc::Chromaticity> v;
        std::mt19937_64 rng(1931);
        std::uniform_real_distribution<double> x(0.0, 0.75), y(0.0, 0.85);
        for (int i = 0; i < 4096; ++i) v.push_back({x(rng), y(rng)});
        return v;
    }();
    return points;
}

void BM_ExactWavelength(benchmark::State& state) {
    const calc::ExactLocus locus(calc::kNamedWhites[state.range(0)].white);
    const std::vector<calc::Chromaticity>& points = Points();
    size_t i = 0;
    for (auto _ : state) {
        const calc::Chromaticity& p = points[i++ % points.size()];
        benchmark::DoNotOptimize(locus.Evaluate(p.x, p.y));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::string(calc::kNamedWhites[state.range(0)].name));
}
BENCHMARK(BM_ExactWavelength)->Arg(0)->Arg(1);  // E, D65

void BM_ExactLocusPreparation(benchmark::State& state) {
    for (auto _ : state) {
        const calc::ExactLocus locus(calc::kNamedWhites[1].white);
        benchmark::DoNotOptimize(&locus);
    }
}
BENCHMARK(BM_ExactLocusPreparation);

}  // namespace
