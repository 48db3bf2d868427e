// gen_builtin_block: builds the packed built-in data block
// (gfxwin/data/builtin_block_data.h and gfxwin/data/builtin_block_data.cpp).
//
// Usage: gen_builtin_block FONT_DIR OUT_DIR
//
//   FONT_DIR  the consolefonts directory of Debian's console-data 2:1.12-9,
//             e.g. from `apt-get download console-data` and
//             `dpkg-deb -x console-data_*.deb DIR` -> DIR/usr/share/consolefonts.
//             It must hold cp865-8x8, cp865-8x14, cp865-8x16, cp850-8x8,
//             cp850-8x14 and cp850-8x16, each as NAME.psf or NAME.psf.gz
//             (.gz files are read through `gzip -dc`).
//   OUT_DIR   where the two generated files go (normally gfxwin/data/).
//
// Build it with `cmake --build BUILD --target gen_builtin_block`; it is not part
// of the default build and nothing runs it automatically.
//
// The block, kBuiltinBlockSize bytes, in order:
//   8x8 font (2048 bytes), 8x14 font (3584), 8x16 font (4096),
//   2-colour palette (6 bytes), 16-colour (48), 64-colour (192), 256-colour (768).
// A font is 256 glyphs in code page 437 order, one byte per row, bit 0 the
// leftmost pixel. The glyphs are the code page 865 fonts with the three places
// where 865 differs from 437 (0x9B, 0x9D, 0xAF) taken from the code page 850
// fonts (0xBD, 0xBE, 0xAF there), and each byte bit-reversed, since PSF keeps
// the leftmost pixel in the top bit. Palettes are r,g,b triplets.
//
// Each font table must match its known SHA-256 and the packed stream must
// unpack to the block again; otherwise nothing is written.
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "gfxwin/data/builtin_data.h"
#include "gfxwin/data/lzw.h"
#include "tools/sha256.h"
#include "tools/lzw_pack.h"

namespace {

struct FontSource {
    int height;
    const char* sha256;
};

constexpr std::array<FontSource, 3> kFonts = {{
    {8, "815b2b38585a26f5bb1f29c4600647d6e5d7eb20bf5bf57ac688ade5736110f2"},
    {14, "c91f6a995c216035d239740cb9334f603b434f96ea2c7ba84fe5db4e10f5d52a"},
    {16, "9867c89e02c7a8c06cef7e81a9fd76c0b647253c35795570b376bb1157fe0e6c"},
}};

// Code page 437 position <- code page 850 position, for the glyphs that the
// code page 865 fonts have different.
constexpr std::array<std::array<int, 2>, 3> kFrom850 = {{{0x9B, 0xBD}, {0x9D, 0xBE}, {0xAF, 0xAF}}};

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool Gunzip(const std::string& path, std::vector<uint8_t>& out) {
    std::string quoted = "'";
    for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    FILE* pipe = popen(("gzip -dc -- " + quoted).c_str(), "r");
    if (pipe == nullptr) return false;
    out.clear();
    uint8_t buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, pipe)) > 0) out.insert(out.end(), buf, buf + got);
    return pclose(pipe) == 0;
}

// The 256 glyphs of a PSF1 font of the given height, as stored (top bit left).
bool LoadPsf(const std::string& dir, const std::string& name, int height,
             std::vector<uint8_t>& glyphs) {
    std::vector<uint8_t> file;
    const std::string base = dir + "/" + name + ".psf";
    if (!ReadFile(base, file) && !Gunzip(base + ".gz", file)) {
        std::fprintf(stderr, "cannot read %s(.gz)\n", base.c_str());
        return false;
    }
    const size_t size = size_t(256) * height;
    if (file.size() < 4 + size || file[0] != 0x36 || file[1] != 0x04 || file[3] != height) {
        std::fprintf(stderr, "%s: not a PSF1 font of height %d\n", base.c_str(), height);
        return false;
    }
    glyphs.assign(file.begin() + 4, file.begin() + 4 + static_cast<long>(size));
    return true;
}

uint8_t ReverseBits(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) r = static_cast<uint8_t>(r | ((b >> i) & 1) << (7 - i));
    return r;
}

void PutRgb(std::vector<uint8_t>& out, int r, int g, int b) {
    out.push_back(static_cast<uint8_t>(r));
    out.push_back(static_cast<uint8_t>(g));
    out.push_back(static_cast<uint8_t>(b));
}

constexpr std::array<std::array<int, 3>, 16> kBaseColours = {{
    {0, 0, 0},
    {0, 0, 170},
    {0, 170, 0},
    {0, 170, 170},
    {170, 0, 0},
    {170, 0, 170},
    {170, 85, 0},
    {170, 170, 170},
    {85, 85, 85},
    {85, 85, 255},
    {85, 255, 85},
    {85, 255, 255},
    {255, 85, 85},
    {255, 85, 255},
    {255, 255, 85},
    {255, 255, 255},
}};

void AppendPalettes(std::vector<uint8_t>& out) {
    PutRgb(out, 0, 0, 0);
    PutRgb(out, 255, 255, 255);

    for (const auto& c : kBaseColours) PutRgb(out, c[0], c[1], c[2]);

    for (int i = 0; i < 64; ++i) {
        auto level = [i](int high, int low) {
            return ((i >> high) & 1) * 170 + ((i >> low) & 1) * 85;
        };
        PutRgb(out, level(2, 5), level(1, 4), level(0, 3));
    }

    for (const auto& c : kBaseColours) PutRgb(out, c[0], c[1], c[2]);
    constexpr int kGreys[16] = {0,   20,  32,  44,  56,  68,  80,  97,
                                113, 129, 145, 161, 182, 202, 226, 255};
    for (int g : kGreys) PutRgb(out, g, g, g);
    // Each group walks the colour wheel blue -> magenta -> red -> yellow ->
    // green -> cyan -> back towards blue. Values index the group's levels
    // L, m1, m2, m3, H.
    constexpr int kWheel[24][3] = {
        {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
        {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
        {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
    };
    constexpr int kGroups[9][5] = {
        {0, 64, 125, 190, 255}, {125, 157, 190, 222, 255}, {182, 198, 218, 234, 255},
        {0, 28, 56, 85, 113},   {56, 68, 85, 97, 113},     {80, 89, 97, 105, 113},
        {0, 16, 32, 48, 64},    {32, 40, 48, 56, 64},      {44, 48, 52, 60, 64},
    };
    for (const auto& levels : kGroups) {
        for (const auto& w : kWheel) PutRgb(out, levels[w[0]], levels[w[1]], levels[w[2]]);
    }
    for (int i = 248; i < 256; ++i) PutRgb(out, 0, 0, 0);
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::string HeaderText(size_t packedSize) {
    return "// Packed built-in fonts and palettes: an LZW stream (see lzw.cpp) that unpacks\n"
           "// to kBuiltinBlockSize bytes laid out as described in builtin_data.cpp.\n"
           "// Generated by tools/gen_builtin_block; do not edit.\n"
           "#pragma once\n"
           "\n"
           "#include <cstddef>\n"
           "#include <cstdint>\n"
           "\n"
           "namespace gfxwin {\n"
           "\n"
           "constexpr size_t kBuiltinPackedSize = " +
           std::to_string(packedSize) +
           ";\n"
           "extern const uint8_t kBuiltinPacked[kBuiltinPackedSize];\n"
           "\n"
           "}  // namespace gfxwin\n";
}

std::string SourceText(const std::vector<uint8_t>& packed) {
    std::string text =
        "// Packed built-in fonts and palettes. Generated by tools/gen_builtin_block; do not\n"
        "// edit. Font bitmaps derived from Debian console-data 2:1.12-9 (GPL-2), see NOTICE.\n"
        "#include \"gfxwin/data/builtin_block_data.h\"\n"
        "\n"
        "namespace gfxwin {\n"
        "\n"
        "// clang-format off\n"
        "const uint8_t kBuiltinPacked[kBuiltinPackedSize] = {\n";
    char hex[8];
    for (size_t i = 0; i < packed.size(); ++i) {
        const bool lineStart = i % 12 == 0;
        const bool lineEnd = i % 12 == 11 || i + 1 == packed.size();
        std::snprintf(hex, sizeof hex, "0x%02x,", packed[i]);
        text += lineStart ? "    " : " ";
        text += hex;
        if (lineEnd) text += "\n";
    }
    text +=
        "};\n"
        "// clang-format on\n"
        "\n"
        "}  // namespace gfxwin\n";
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_builtin_block FONT_DIR OUT_DIR\n");
        return 2;
    }
    const std::string fontDir = argv[1];
    const std::string outDir = argv[2];

    std::vector<uint8_t> block;
    for (const FontSource& font : kFonts) {
        const std::string size = "8x" + std::to_string(font.height);
        std::vector<uint8_t> cp865;
        std::vector<uint8_t> cp850;
        if (!LoadPsf(fontDir, "cp865-" + size, font.height, cp865) ||
            !LoadPsf(fontDir, "cp850-" + size, font.height, cp850)) {
            return 1;
        }
        for (const auto& [to, from] : kFrom850) {
            for (int row = 0; row < font.height; ++row) {
                cp865[size_t(to) * font.height + row] = cp850[size_t(from) * font.height + row];
            }
        }
        for (uint8_t& b : cp865) b = ReverseBits(b);
        const std::string digest = wltest::Sha256Hex(cp865.data(), cp865.size());
        if (digest != font.sha256) {
            std::fprintf(stderr, "font %s: SHA-256 %s, expected %s; nothing written\n",
                         size.c_str(), digest.c_str(), font.sha256);
            return 1;
        }
        block.insert(block.end(), cp865.begin(), cp865.end());
    }
    AppendPalettes(block);
    if (block.size() != gfxwin::kBuiltinBlockSize) {
        std::fprintf(stderr, "block is %zu bytes, expected %zu; nothing written\n", block.size(),
                     gfxwin::kBuiltinBlockSize);
        return 1;
    }

    const std::vector<uint8_t> packed = wltools::LzwPack(block);
    std::vector<uint8_t> check(block.size());
    if (gfxwin::LzwUnpack(packed.data(), packed.size(), check.data(), check.size()) !=
            static_cast<long>(block.size()) ||
        check != block) {
        std::fprintf(stderr, "packed stream does not unpack to the block; nothing written\n");
        return 1;
    }

    if (!WriteText(outDir + "/builtin_block_data.h", HeaderText(packed.size())) ||
        !WriteText(outDir + "/builtin_block_data.cpp", SourceText(packed))) {
        return 1;
    }
    std::printf("block %zu bytes, packed %zu bytes\n", block.size(), packed.size());
    return 0;
}
