// gen_locus: writes calc/spectral_locus_data.cpp, the chromaticities of the
// spectral locus from 360 to 830 nm, from the colour matching functions.
//
//   cmake --build build --target gen_locus
//   ./build/tools/gen_locus tools/data/cie1931_2deg_cmf_1nm.csv calc/spectral_locus_data.cpp
//
// It is not part of the default build; a test checks that the kept file is
// what it writes.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "tools/locus_source.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CMF_CSV OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    try {
        const std::string text = wltools::SpectralLocusSource(wltools::ReadSpectralLocus(argv[1]));
        std::ofstream out(argv[2], std::ios::binary);
        out << text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
