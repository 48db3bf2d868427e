// wl_accuracy: measures the calculator's dominant wavelength against the exact
// one (calc::ExactLocus, the --exact column, with the white point E) and prints
// a Markdown report to stdout.
//
// usage: wl_accuracy [SAMPLES [SEED]]
//   SAMPLES  random points inside the locus (default 200000)
//   SEED     seed of the 64-bit Mersenne Twister (default 1931)
// The report is deterministic for given arguments.
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/calculation.h"
#include "calc/exact_wavelength.h"
#include "calc/hue_parameter.h"

namespace {

constexpr uint64_t kDefaultSamples = 200000;
constexpr uint64_t kDefaultSeed = 1931;
constexpr double kWhiteExclusion = 0.01;
// Compared along the locus and banded: from the locus's start to 700 nm, past
// which its chromaticity stands still (the last band takes the few random
// points with a longer reference wavelength).
constexpr int kFirstNm = calc::kLocusFirstNm;
constexpr int kLastNm = 700;
constexpr int kBandWidth = 10;
constexpr int kBands = (kLastNm - kFirstNm) / kBandWidth;  // 34
constexpr double kThresholds[] = {0.5, 1.0, 5.0};

constexpr const char* kUsage = "usage: wl_accuracy [SAMPLES [SEED]]";

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// What the program computes for (x, y).
struct ProgramResult {
    double firstT;   // t of the first pass, before any reflection
    double t;        // t the lookup is made with
    double la;       // reported wavelength (NaN when no segment holds t)
    bool reflected;  // the program treated the point as purple
};

ProgramResult RunProgram(double x, double y) {
    // A pass flag of -1 stops after the first pass: the unreflected t.
    calc::HueState first{};
    first.x = x;
    first.y = y;
    first.passFlag = -1;
    const double firstT = calc::HueParameter(first);
    const calc::Calculation c = calc::Calculate(x, y, nullptr);
    return ProgramResult{firstT, c.t, c.la, c.kind != calc::ResultKind::kDominant};
}

// |error| statistics; NaN results are counted apart.
struct Stats {
    std::vector<double> errors;
    uint64_t nan = 0;

    void Add(double program, double reference) {
        if (std::isnan(program)) {
            ++nan;
            return;
        }
        errors.push_back(std::fabs(program - reference));
    }
    uint64_t Total() const { return errors.size() + nan; }
    double Max() const {
        double m = 0.0;
        for (double e : errors) m = std::max(m, e);
        return m;
    }
    double Mean() const {
        double sum = 0.0;
        for (double e : errors) sum += e;
        return errors.empty() ? 0.0 : sum / static_cast<double>(errors.size());
    }
    double Rms() const {
        double sum = 0.0;
        for (double e : errors) sum += e * e;
        return errors.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(errors.size()));
    }
    // Nearest-rank percentile.
    double Percentile(double p) const {
        if (errors.empty()) return 0.0;
        std::vector<double> sorted = errors;
        std::sort(sorted.begin(), sorted.end());
        const size_t rank =
            static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
        return sorted[std::max<size_t>(rank, 1) - 1];
    }
    // Share of all points (NaN results included, as failures) above the limit.
    double ShareAbove(double limit) const {
        if (Total() == 0) return 0.0;
        uint64_t above = nan;
        for (double e : errors) above += e > limit ? 1 : 0;
        return static_cast<double>(above) / static_cast<double>(Total());
    }
};

// "a–b" in the given format, or one value when both print the same.
std::string Span(double lo, double hi, const char* format) {
    char a[64], b[64];
    std::snprintf(a, sizeof a, format, lo);
    std::snprintf(b, sizeof b, format, hi);
    return std::string(a) == b ? std::string(a) : std::string(a) + "–" + b;
}

std::string Num(double v) {
    return Fmt("%.4f", v);
}

std::string Pct(double share) {
    return Fmt("%.3f %%", 100.0 * share);
}

void PrintStatsHeader() {
    std::printf("| set | points | max | mean | RMS | 95th pct. | NaN |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
}

void PrintStatsRow(const std::string& name, const Stats& s) {
    std::printf("| %s | %" PRIu64 " | %s | %s | %s | %s | %" PRIu64 " |\n", name.c_str(), s.Total(),
                Num(s.Max()).c_str(), Num(s.Mean()).c_str(), Num(s.Rms()).c_str(),
                Num(s.Percentile(95.0)).c_str(), s.nan);
}

int BandOf(double nm) {
    const int band = static_cast<int>(std::floor((nm - kFirstNm) / kBandWidth));
    return std::clamp(band, 0, kBands - 1);
}

std::string BandName(int band) {
    const int lo = kFirstNm + band * kBandWidth;
    const int hi = band == kBands - 1 ? kLastNm : lo + kBandWidth - 1;
    return Fmt("%d–%d", lo, hi);
}

// "380–385, 700" from a sorted list of whole wavelengths.
std::string Ranges(const std::vector<int>& nms) {
    std::string out;
    for (size_t i = 0; i < nms.size();) {
        size_t j = i;
        while (j + 1 < nms.size() && nms[j + 1] == nms[j] + 1) ++j;
        if (!out.empty()) out += ", ";
        out += nms[i] == nms[j] ? Fmt("%d", nms[i]) : Fmt("%d–%d", nms[i], nms[j]);
        i = j + 1;
    }
    return out.empty() ? "none" : out;
}

// ---- Along the locus -------------------------------------------------------

struct LocusRow {
    int nm;
    ProgramResult program;
};

// The program at every locus vertex, against the vertex's own wavelength.
struct LocusResults {
    std::vector<LocusRow> rows;
    Stats all, inRange;  // inRange: t within the spectral range
    Stats band[kBands];
    Stats bandInRange[kBands];
    int bandPurple[kBands] = {};
    int bandNan[kBands] = {};
    std::vector<int> treatedPurple, nanNm;
    uint64_t referenceMismatch = 0;  // vertices the exact value disagrees on
};

// The exact wavelength of (x, y) with respect to E: the dominant one, or the
// complementary one for purple points; nothing at the white point.
struct Reference {
    double nm;
    bool purple;
};

std::optional<Reference> Exact(const calc::ExactLocus& exact, double x, double y) {
    const calc::ExactResult r = exact.Evaluate(x, y);
    if (r.kind == calc::ResultKind::kNone) return std::nullopt;
    return Reference{r.wavelength, r.kind == calc::ResultKind::kComplementary};
}

LocusResults CompareAlongLocus(const calc::ExactLocus& exact) {
    LocusResults l;
    for (int nm = kFirstNm; nm <= kLastNm; ++nm) {
        const calc::Chromaticity& p = calc::kSpectralLocus[nm - calc::kLocusFirstNm];
        const std::optional<Reference> ref = Exact(exact, p.x, p.y);
        if (!ref || ref->purple || ref->nm != nm) ++l.referenceMismatch;
        const ProgramResult r = RunProgram(p.x, p.y);
        l.rows.push_back(LocusRow{nm, r});
        const int band = BandOf(nm);
        l.all.Add(r.la, nm);
        l.band[band].Add(r.la, nm);
        if (r.reflected) {
            l.treatedPurple.push_back(nm);
            ++l.bandPurple[band];
        } else {
            l.inRange.Add(r.la, nm);
            l.bandInRange[band].Add(r.la, nm);
        }
        if (std::isnan(r.la)) {
            l.nanNm.push_back(nm);
            ++l.bandNan[band];
        }
    }
    return l;
}

// ---- Random points inside the locus ------------------------------------------

struct Sample {
    double x, y;
    Reference ref;
    ProgramResult program;
};

// The random points and what the rejection sampling passed over.
struct RandomSet {
    double minX = 1.0, maxX = 0.0, minY = 1.0, maxY = 0.0;  // the bounding box
    std::vector<Sample> points;
    uint64_t tries = 0, outside = 0, nearWhite = 0, noReference = 0;
};

RandomSet DrawRandomPoints(const calc::ExactLocus& exact, uint64_t samples, uint64_t seed) {
    RandomSet set;
    for (const calc::Chromaticity& p : calc::kSpectralLocus) {
        set.minX = std::min(set.minX, p.x);
        set.maxX = std::max(set.maxX, p.x);
        set.minY = std::min(set.minY, p.y);
        set.maxY = std::max(set.maxY, p.y);
    }
    std::mt19937_64 rng(seed);
    auto unit = [&rng]() { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    while (set.points.size() < samples) {
        ++set.tries;
        const double x = set.minX + unit() * (set.maxX - set.minX);
        const double y = set.minY + unit() * (set.maxY - set.minY);
        if (!calc::InsideLocus({x, y})) {
            ++set.outside;
            continue;
        }
        if (std::hypot(x - calc::kWhiteE.x, y - calc::kWhiteE.y) < kWhiteExclusion) {
            ++set.nearWhite;
            continue;
        }
        const std::optional<Reference> ref = Exact(exact, x, y);
        if (!ref) {
            ++set.noReference;
            continue;
        }
        set.points.push_back(Sample{x, y, *ref, RunProgram(x, y)});
    }
    return set;
}

// The random points' errors: spectral points against the dominant, purple
// points against the complementary wavelength.
struct RandomStats {
    Stats spectral, spectralKept, purple, purpleReflected, all;
    Stats spectralBand[kBands], purpleBand[kBands];
    uint64_t spectralReflected = 0, purpleNotReflected = 0;
};

RandomStats SummariseRandomPoints(const std::vector<Sample>& points) {
    RandomStats r;
    for (const Sample& s : points) {
        const int band = BandOf(s.ref.nm);
        r.all.Add(s.program.la, s.ref.nm);
        if (s.ref.purple) {
            r.purple.Add(s.program.la, s.ref.nm);
            r.purpleBand[band].Add(s.program.la, s.ref.nm);
            if (s.program.reflected) {
                r.purpleReflected.Add(s.program.la, s.ref.nm);
            } else {
                ++r.purpleNotReflected;
            }
        } else {
            r.spectral.Add(s.program.la, s.ref.nm);
            r.spectralBand[band].Add(s.program.la, s.ref.nm);
            if (s.program.reflected) {
                ++r.spectralReflected;
            } else {
                r.spectralKept.Add(s.program.la, s.ref.nm);
            }
        }
    }
    return r;
}

// ---- Report ----------------------------------------------------------------

void PrintIntroduction(uint64_t samples, uint64_t seed) {
    std::printf("# Accuracy of the dominant wavelength\n\n");
    std::printf(
        "Generated by the `wl_accuracy` tool (`tools/accuracy.cpp`); do not edit by hand.\n");
    std::printf("Rerun from the repository root:\n\n");
    std::printf("```sh\n");
    std::printf("cmake -S . -B build && cmake --build build --target wl_accuracy\n");
    std::printf("./build/tools/wl_accuracy > docs/accuracy.md\n");
    std::printf("```\n\n");
    std::printf("`%s` — defaults: %" PRIu64 " samples, seed %" PRIu64 ". This run: %" PRIu64
                " samples, seed %" PRIu64 ".\n\n",
                kUsage, kDefaultSamples, kDefaultSeed, samples, seed);
}

// The signed angle at E from sample i to sample i + 1 (positive counter-clockwise).
double TurnAngle(size_t i) {
    const calc::Chromaticity a = calc::kSpectralLocus[i], b = calc::kSpectralLocus[i + 1];
    const double ax = a.x - calc::kWhiteE.x, ay = a.y - calc::kWhiteE.y;
    const double bx = b.x - calc::kWhiteE.x, by = b.y - calc::kWhiteE.y;
    return std::atan2(ax * by - ay * bx, ax * bx + ay * by);
}

void PrintMethod() {
    std::printf("## Method\n\n");
    std::printf(
        "- Locus: CIE 1931 2° colour matching functions at 1 nm (`tools/data/`, kept as "
        "`calc/spectral_locus_data.cpp`), x = x̄/(x̄+ȳ+z̄), y = ȳ/(x̄+ȳ+z̄), %d–%d nm. The "
        "comparison along the locus and the bands below end at %d nm, since beyond that the "
        "locus's chromaticity stands still (see below).\n",
        calc::kLocusFirstNm, calc::kLocusLastNm, kLastNm);
    std::printf(
        "- Reference: the program's exact value (`--exact`, `calc::ExactLocus`) with the white "
        "point E = (1/3, 1/3): where the ray from E through (x, y) meets the locus polyline, "
        "interpolated linearly between the 1 nm points, the hit farthest from E where there "
        "are several. When the ray leaves through the purple line (%d nm to %d nm) the point "
        "is purple and the reference is the complementary wavelength, where the opposite ray "
        "meets the polyline.\n",
        calc::kLocusFirstNm, calc::kLocusLastNm);
    // Seen from E: clockwise up to the first step that turns back, then to and fro.
    size_t firstBack = 0;
    double sweep = 0.0;
    while (firstBack + 1 < calc::kLocusPoints && TurnAngle(firstBack) < 0.0) {
        sweep -= TurnAngle(firstBack++);
    }
    int back = 0;
    double spread = 0.0;
    for (size_t i = firstBack; i + 1 < calc::kLocusPoints; ++i) {
        back += TurnAngle(i) < 0.0 ? 0 : 1;
        for (size_t j = i + 1; j < calc::kLocusPoints; ++j) {
            const calc::Chromaticity a = calc::kSpectralLocus[i], b = calc::kSpectralLocus[j];
            spread = std::max(spread, std::hypot(a.x - b.x, a.y - b.y));
        }
    }
    std::printf(
        "- Seen from E the polyline turns clockwise at every 1 nm step up to %d nm, sweeping "
        "%.2f°. From there to %d nm it runs back and forth along the line x + y = 1 (%d of "
        "its %zu steps turn back, its samples lie within %.2g of each other), so a ray there "
        "meets it several times at one point: a hit on a sample wins, otherwise the shortest "
        "wavelength.\n",
        calc::kLocusFirstNm + static_cast<int>(firstBack), sweep * 180.0 / std::acos(-1.0),
        calc::kLocusLastNm, back, calc::kLocusPoints - 1 - firstBack, spread);
    std::printf(
        "- Program: the hue parameter t (`calc::HueParameter`, reflecting purple points once) "
        "and the segment table lookup (`calc::WavelengthForT`), exactly as the calculator "
        "runs them; its result is rounded down to 0.001 nm, so up to 0.001 nm of every "
        "error is that rounding. Its spectral t range is [%.7g, %.7g]; outside it a point "
        "is treated as purple and its complementary wavelength is reported.\n",
        calc::kSpectralLow, calc::kSpectralHigh);
    std::printf(
        "- Error = program − reference in nm; the tables give |error|. A NaN result (no "
        "segment holds t) is counted in the NaN column and left out of max/mean/RMS/percentile; "
        "in the threshold shares it counts as exceeding every threshold. The 95th percentile "
        "is the nearest-rank value.\n\n");
}

void PrintLocusSection(const LocusResults& l) {
    std::printf("## Along the locus (%d–%d nm, 1 nm steps)\n\n", kFirstNm, kLastNm);
    std::printf(
        "Input: each locus vertex (x, y) itself; the reference is its wavelength (checked: the "
        "exact value differs from it for %" PRIu64 " vertices).\n\n",
        l.referenceMismatch);
    PrintStatsHeader();
    PrintStatsRow("all wavelengths", l.all);
    PrintStatsRow("t within the spectral range", l.inRange);
    std::printf("\n");

    std::printf("Wavelengths whose t lies outside the spectral range (treated as purple, so a ");
    std::printf("complementary wavelength is reported — a gross error): **%s**.\n\n",
                Ranges(l.treatedPurple).c_str());
    if (!l.treatedPurple.empty()) {
        std::printf("| nm | first-pass t | t after reflection | reported nm |\n");
        std::printf("|---:|---:|---:|---:|\n");
        for (const LocusRow& r : l.rows) {
            if (!r.program.reflected) continue;
            std::printf("| %d | %.6f | %.6f | %.3f |\n", r.nm, r.program.firstT, r.program.t,
                        r.program.la);
        }
        std::printf("\n");
    }
    std::printf("First-pass t near the ends of the locus (spectral range [%.7g, %.7g]):",
                calc::kSpectralLow, calc::kSpectralHigh);
    for (int nm : {360, 380, 381, 382, 383, 698, 699, 700}) {
        const LocusRow& r = l.rows[static_cast<size_t>(nm - kFirstNm)];
        std::printf("%s %d nm: %.6f", nm == kFirstNm ? "" : ";", nm, r.program.firstT);
    }
    std::printf(".\n\n");
    std::printf("Wavelengths where the result is NaN: **%s**.\n\n", Ranges(l.nanNm).c_str());

    std::printf("Error by 10 nm band (the last band includes 700 nm). \"max\" and \"mean\" ");
    std::printf("leave out the wavelengths treated as purple; \"max incl. purple\" does not.\n\n");
    std::printf("| band (nm) | max | mean | max incl. purple | treated as purple | NaN |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (int b = 0; b < kBands; ++b) {
        const Stats& kept = l.bandInRange[b];
        std::printf("| %s | %s | %s | %s | %d | %d |\n", BandName(b).c_str(),
                    kept.Total() ? Num(kept.Max()).c_str() : "–",
                    kept.Total() ? Num(kept.Mean()).c_str() : "–", Num(l.band[b].Max()).c_str(),
                    l.bandPurple[b], l.bandNan[b]);
    }
    std::printf("\n");
}

void PrintRandomSection(const RandomSet& set, const RandomStats& r, uint64_t samples,
                        uint64_t seed) {
    std::printf("## Random points inside the locus\n\n");
    std::printf(
        "%" PRIu64
        " points uniform in the region bounded by the locus (%d–%d nm) and the purple "
        "line: rejection sampling in the bounding box x ∈ [%.5f, %.5f], y ∈ [%.5f, %.5f] "
        "with `std::mt19937_64` seed %" PRIu64
        " (53-bit uniforms). Points closer than %.2f to "
        "the white point are excluded. Tries: %" PRIu64 "; rejected outside the region: %" PRIu64
        "; rejected near the white point: %" PRIu64 "; without a reference: %" PRIu64 ".\n\n",
        samples, calc::kLocusFirstNm, calc::kLocusLastNm, set.minX, set.maxX, set.minY, set.maxY,
        seed, kWhiteExclusion, set.tries, set.outside, set.nearWhite, set.noReference);
    std::printf(
        "Spectral points are compared with the dominant wavelength, purple points with the "
        "complementary wavelength.\n\n");
    PrintStatsHeader();
    PrintStatsRow("spectral", r.spectral);
    PrintStatsRow("spectral, program also treats as spectral", r.spectralKept);
    PrintStatsRow("purple", r.purple);
    PrintStatsRow("purple, program also treats as purple", r.purpleReflected);
    PrintStatsRow("all", r.all);
    std::printf("\n");
    std::printf("Spectral points the program treats as purple: %" PRIu64
                "; purple points the program treats as spectral: %" PRIu64 ".\n\n",
                r.spectralReflected, r.purpleNotReflected);

    std::printf("| set | error > 0.5 nm | error > 1 nm | error > 5 nm |\n");
    std::printf("|---|---:|---:|---:|\n");
    auto shareRow = [](const char* name, const Stats& s) {
        std::printf("| %s | %s | %s | %s |\n", name, Pct(s.ShareAbove(kThresholds[0])).c_str(),
                    Pct(s.ShareAbove(kThresholds[1])).c_str(),
                    Pct(s.ShareAbove(kThresholds[2])).c_str());
    };
    shareRow("spectral", r.spectral);
    shareRow("purple", r.purple);
    shareRow("all", r.all);
    std::printf("\n");

    std::printf(
        "Error by 10 nm band of the reference wavelength (dominant for spectral points, "
        "complementary for purple points):\n\n");
    std::printf(
        "| band (nm) | spectral points | max | 95th pct. | > 1 nm | purple points | max | > 1 nm "
        "|\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int b = 0; b < kBands; ++b) {
        const Stats& s = r.spectralBand[b];
        const Stats& q = r.purpleBand[b];
        std::printf("| %s | %" PRIu64 " | %s | %s | %s | %" PRIu64 " | %s | %s |\n",
                    BandName(b).c_str(), s.Total(), s.Total() ? Num(s.Max()).c_str() : "–",
                    s.Total() ? Num(s.Percentile(95.0)).c_str() : "–",
                    s.Total() ? Pct(s.ShareAbove(1.0)).c_str() : "–", q.Total(),
                    q.Total() ? Num(q.Max()).c_str() : "–",
                    q.Total() ? Pct(q.ShareAbove(1.0)).c_str() : "–");
    }
    std::printf("\n");
}

// Orders the bands by descending `key`; bands with equal keys keep their order.
template <typename Key>
void SortBandsDescending(std::vector<int>& order, Key key) {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) > key(b); });
}

// The range of a value over the random points the program puts on the wrong
// side of the purple line.
struct ValueRange {
    double low = INFINITY, high = -INFINITY;
    void Add(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
};

void PrintMisclassified(const LocusResults& l, const RandomSet& set, const RandomStats& r) {
    ValueRange ref, t, la;         // spectral points treated as purple
    ValueRange purpleT, purpleLa;  // purple points treated as spectral
    for (const Sample& s : set.points) {
        if (!s.ref.purple && s.program.reflected) {
            ref.Add(s.ref.nm);
            t.Add(s.program.firstT);
            la.Add(s.program.la);
        }
        if (s.ref.purple && !s.program.reflected) {
            purpleT.Add(s.program.firstT);
            purpleLa.Add(s.program.la);
        }
    }
    if (r.spectralReflected > 0) {
        std::printf("- Random spectral points treated as purple: %" PRIu64
                    " (reference %s nm, first-pass t %s > %.7g), reported as %s nm.\n",
                    r.spectralReflected, Span(ref.low, ref.high, "%.3f").c_str(),
                    Span(t.low, t.high, "%.6f").c_str(), calc::kSpectralHigh,
                    Span(la.low, la.high, "%.3f").c_str());
    }
    if (r.purpleNotReflected > 0) {
        std::printf(
            "- Random purple points treated as spectral: %" PRIu64
            " (first-pass t %s, between %.7g and the 700 nm vertex's t %.6f), reported as %s nm "
            "instead of their complementary wavelength.\n",
            r.purpleNotReflected, Span(purpleT.low, purpleT.high, "%.6f").c_str(),
            calc::kSpectralLow, l.rows.back().program.firstT,
            Span(purpleLa.low, purpleLa.high, "%.3f").c_str());
    }
}

void PrintLargestErrors(const std::vector<Sample>& points) {
    std::vector<const Sample*> worst;
    for (const Sample& s : points) worst.push_back(&s);
    auto errorOf = [](const Sample* s) {
        return std::isnan(s->program.la) ? INFINITY : std::fabs(s->program.la - s->ref.nm);
    };
    std::stable_sort(worst.begin(), worst.end(),
                     [&](const Sample* a, const Sample* b) { return errorOf(a) > errorOf(b); });
    std::printf("- Largest random-point errors:\n\n");
    std::printf("| x | y | reference nm | purple | program nm | treated as purple | error |\n");
    std::printf("|---:|---:|---:|:---:|---:|:---:|---:|\n");
    for (size_t i = 0; i < std::min<size_t>(5, worst.size()); ++i) {
        const Sample& s = *worst[i];
        std::printf("| %.8f | %.8f | %.3f | %s | %.3f | %s | %s |\n", s.x, s.y, s.ref.nm,
                    s.ref.purple ? "yes" : "no", s.program.la, s.program.reflected ? "yes" : "no",
                    Num(errorOf(&s)).c_str());
    }
}

void PrintFailures(const LocusResults& l, const RandomSet& set, const RandomStats& r) {
    std::printf("## Where it fails\n\n");
    std::vector<int> order(kBands);
    for (int b = 0; b < kBands; ++b) order[b] = b;
    SortBandsDescending(order, [&](int b) { return l.bandInRange[b].Max(); });
    std::printf("- Weakest locus bands (max |error| where t is in range): ");
    for (int i = 0; i < 5; ++i) {
        const int b = order[i];
        std::printf("%s%s nm: %s nm (mean %s)", i ? "; " : "", BandName(b).c_str(),
                    Num(l.bandInRange[b].Max()).c_str(), Num(l.bandInRange[b].Mean()).c_str());
    }
    std::printf(".\n");
    std::printf(
        "- Locus wavelengths its t range treats as purple: %s (%zu of %zu); the reported "
        "complementary wavelengths are off by up to %s nm there.\n",
        Ranges(l.treatedPurple).c_str(), l.treatedPurple.size(), l.rows.size(),
        Num(l.all.Max()).c_str());
    std::printf("- Locus wavelengths with a NaN result: %s.\n", Ranges(l.nanNm).c_str());
    // Sorted on from the order above, which settles the ties.
    SortBandsDescending(order, [&](int b) { return r.spectralBand[b].ShareAbove(1.0); });
    std::printf("- Random spectral points, bands with the largest share above 1 nm: ");
    for (int i = 0; i < 3; ++i) {
        const int b = order[i];
        std::printf("%s%s nm: %s (max %s nm)", i ? "; " : "", BandName(b).c_str(),
                    Pct(r.spectralBand[b].ShareAbove(1.0)).c_str(),
                    Num(r.spectralBand[b].Max()).c_str());
    }
    std::printf(".\n");
    PrintMisclassified(l, set, r);
    PrintLargestErrors(set.points);
}

int Run(uint64_t samples, uint64_t seed) {
    const calc::ExactLocus exact(calc::kWhiteE);
    const LocusResults alongLocus = CompareAlongLocus(exact);
    const RandomSet random = DrawRandomPoints(exact, samples, seed);
    const RandomStats randomStats = SummariseRandomPoints(random.points);

    PrintIntroduction(samples, seed);
    PrintMethod();
    PrintLocusSection(alongLocus);
    PrintRandomSection(random, randomStats, samples, seed);
    PrintFailures(alongLocus, random, randomStats);
    return 0;
}

bool ParseCount(const char* text, uint64_t* out) {
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || text[0] == '-') return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t samples = kDefaultSamples;
    uint64_t seed = kDefaultSeed;
    if (argc > 3 || (argc > 1 && (!ParseCount(argv[1], &samples) || samples == 0)) ||
        (argc > 2 && !ParseCount(argv[2], &seed))) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    return Run(samples, seed);
}
