#include "tools/png_encoder.h"

#include <array>

namespace tools {

namespace {

void PutBig32(std::string* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>(v >> shift));
}

void PutLittle16(std::string* out, uint32_t v) {
    out->push_back(static_cast<char>(v & 0xFF));
    out->push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutLittle32(std::string* out, uint32_t v) {
    PutLittle16(out, v & 0xFFFF);
    PutLittle16(out, v >> 16);
}

// Deflate bits go out least significant bit first; Huffman codes are packed
// starting with their most significant bit.
class BitWriter {
  public:
    explicit BitWriter(std::string* out) : out_(out) {}
    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    }
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    void Flush() {
        if (used_ > 0) out_->push_back(static_cast<char>(byte_));
        byte_ = 0;
        used_ = 0;
    }

  private:
    void Bit(uint32_t bit) {
        byte_ |= static_cast<uint8_t>(bit << used_);
        if (++used_ == 8) Flush();
    }
    std::string* out_;
    uint8_t byte_ = 0;
    int used_ = 0;
};

// The fixed literal/length code of deflate.
void PutLiteralOrLength(BitWriter& w, int symbol) {
    if (symbol < 144) {
        w.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        w.Code(0x190 + (symbol - 144), 9);
    } else if (symbol < 280) {
        w.Code(symbol - 256, 7);
    } else {
        w.Code(0xC0 + (symbol - 280), 8);
    }
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

void PutMatch(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[static_cast<size_t>(l)] > length) --l;
    PutLiteralOrLength(w, 257 + l);
    w.Bits(static_cast<uint32_t>(length - kLengthBase[static_cast<size_t>(l)]),
           kLengthExtra[static_cast<size_t>(l)]);
    int d = 29;
    while (kDistanceBase[static_cast<size_t>(d)] > distance) --d;
    w.Code(static_cast<uint32_t>(d), 5);  // fixed distance codes: 5 bits
    const int extra = d < 4 ? 0 : d / 2 - 1;
    w.Bits(static_cast<uint32_t>(distance - kDistanceBase[static_cast<size_t>(d)]), extra);
}

size_t MatchLength(const std::vector<uint8_t>& data, size_t pos, size_t distance) {
    if (distance == 0 || distance > pos) return 0;
    size_t n = 0;
    while (pos + n < data.size() && n < 258 && data[pos + n] == data[pos + n - distance]) ++n;
    return n;
}

void AppendChunk(std::string* png, const char* type, const std::string& body) {
    PutBig32(png, static_cast<uint32_t>(body.size()));
    const std::string typed = std::string(type, 4) + body;
    png->append(typed);
    PutBig32(png, Crc32(reinterpret_cast<const uint8_t*>(typed.data()), typed.size()));
}

// Greedy matches at distance 1 (runs) and at `rowDistance` (the row above).
std::string Deflate(const std::vector<uint8_t>& data, size_t rowDistance) {
    std::string out;
    out.push_back(0x78);  // deflate, 32 KiB window
    out.push_back(0x01);  // fastest level, no dictionary; 0x7801 is a multiple of 31
    BitWriter w(&out);
    w.Bits(1, 1);  // the last block
    w.Bits(1, 2);  // fixed Huffman codes
    size_t pos = 0;
    while (pos < data.size()) {
        const size_t run = MatchLength(data, pos, 1);
        const size_t above = MatchLength(data, pos, rowDistance);
        const size_t best = above > run ? above : run;
        if (best >= 3) {
            PutMatch(w, static_cast<int>(best), static_cast<int>(above > run ? rowDistance : 1));
            pos += best;
        } else {
            PutLiteralOrLength(w, data[pos]);
            ++pos;
        }
    }
    PutLiteralOrLength(w, 256);
    w.Flush();
    PutBig32(&out, Adler32(data.data(), data.size()));
    return out;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t length) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (size_t i = 0; i < length; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::string EncodePng(const PaletteImage& image) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBig32(&header, static_cast<uint32_t>(image.width));
    PutBig32(&header, static_cast<uint32_t>(image.height));
    header += std::string("\x08\x03\x00\x00\x00", 5);  // 8 bits, palette, deflate, no interlace
    AppendChunk(&png, "IHDR", header);

    std::string palette;
    std::string alpha;
    bool translucent = false;
    for (const PaletteColour& c : image.palette) {
        palette.push_back(static_cast<char>(c.red));
        palette.push_back(static_cast<char>(c.green));
        palette.push_back(static_cast<char>(c.blue));
        alpha.push_back(static_cast<char>(c.alpha));
        translucent = translucent || c.alpha != 255;
    }
    AppendChunk(&png, "PLTE", palette);
    if (translucent) AppendChunk(&png, "tRNS", alpha);

    // Every row with filter type 0 (none).
    const size_t stride = static_cast<size_t>(image.width) + 1;
    std::vector<uint8_t> raw;
    raw.reserve(stride * static_cast<size_t>(image.height));
    for (int row = 0; row < image.height; ++row) {
        raw.push_back(0);
        const auto first = image.pixels.begin() + static_cast<ptrdiff_t>(row) * image.width;
        raw.insert(raw.end(), first, first + image.width);
    }
    AppendChunk(&png, "IDAT", Deflate(raw, stride));
    AppendChunk(&png, "IEND", "");
    return png;
}

std::string EncodeIco(const std::vector<std::string>& pngs, const std::vector<int>& sizes) {
    std::string ico;
    PutLittle16(&ico, 0);  // reserved
    PutLittle16(&ico, 1);  // icon
    PutLittle16(&ico, static_cast<uint32_t>(pngs.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(pngs.size());
    for (size_t i = 0; i < pngs.size(); ++i) {
        const int size = sizes[i];
        ico.push_back(static_cast<char>(size >= 256 ? 0 : size));  // 0 means 256
        ico.push_back(static_cast<char>(size >= 256 ? 0 : size));
        ico.push_back(0);       // no colour count: more than 256 or not a palette bitmap
        ico.push_back(0);       // reserved
        PutLittle16(&ico, 1);   // colour planes
        PutLittle16(&ico, 32);  // bits per pixel as a bitmap would have
        PutLittle32(&ico, static_cast<uint32_t>(pngs[i].size()));
        PutLittle32(&ico, offset);
        offset += static_cast<uint32_t>(pngs[i].size());
    }
    for (const std::string& png : pngs) ico += png;
    return ico;
}

}  // namespace tools
