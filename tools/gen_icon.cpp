// Draws the program's icon from the CIE 1931 colour matching functions and
// writes it as PNG files (48, 64, 128 and 256 pixels) and as a Windows icon.
// The output is the same, byte for byte, on every run and machine; the project
// keeps the files in packaging/icons/ and a test checks that they are current.
//
//   gen_icon tools/data/cie1931_2deg_cmf_1nm.csv packaging/icons
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/icon_render.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CMF_CSV OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::vector<tools::Chromaticity> locus = tools::ReadLocus(argv[1]);
    if (locus.empty()) {
        std::fprintf(stderr, "%s: no locus from 380 to 700 nm\n", argv[1]);
        return 1;
    }
    for (const auto& [name, bytes] : tools::IconFiles(locus)) {
        const std::string path = std::string(argv[2]) + "/" + name;
        if (!WriteFile(path, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
