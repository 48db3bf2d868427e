// The LZW decoder of the built-in data. The first input byte picks the mode:
// - anything but 1: the rest, after two bytes of output capacity, is a packed
//   stream.
//   The decoder must stay inside its exact-size buffers (ASan watches) and
//   agree with a plain string-table decoder written here: the same bytes, or
//   both refuse the stream.
// - 1: the rest is data; the packer's output must unpack to exactly it, and
//   must be refused when the output buffer is one byte short.
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "gfxwin/data/lzw.h"
#include "tools/lzw_pack.h"

namespace {

// Codes 0..255 are bytes, 256..4094 the entries in the order they are made
// (each: the previous code's string and the first byte of the current one),
// 4095 the end; two 12-bit codes in each group of three bytes.
std::optional<std::string> ReferenceUnpack(const uint8_t* in, size_t size, size_t capacity) {
    std::vector<std::string> entries;
    std::string out;
    std::string previous;
    bool havePrevious = false;
    for (size_t g = 0; g + 3 <= size; g += 3) {
        const unsigned codes[2] = {in[g] | (in[g + 1] & 0x0Fu) << 8,
                                   (in[g + 1] >> 4) | static_cast<unsigned>(in[g + 2]) << 4};
        for (unsigned code : codes) {
            if (code == 4095) return out;
            std::string current;
            if (code < 256) {
                current = std::string(1, static_cast<char>(code));
            } else if (code - 256 < entries.size()) {
                current = entries[code - 256];
            } else if (code - 256 == entries.size() && havePrevious) {
                current = previous + previous[0];
            } else {
                return std::nullopt;
            }
            if (havePrevious && entries.size() < 4094 - 256 + 1) {
                entries.push_back(previous + current[0]);
            }
            out += current;
            if (out.size() > capacity) return std::nullopt;
            previous = current;
            havePrevious = true;
        }
    }
    return std::nullopt;  // no end code
}

long Unpack(const std::vector<uint8_t>& packed, size_t capacity, std::string* out) {
    // Exact-size copies: any access past either end is an ASan report.
    std::unique_ptr<uint8_t[]> in(new uint8_t[packed.size() + (packed.empty() ? 1 : 0)]);
    if (!packed.empty()) std::memcpy(in.get(), packed.data(), packed.size());
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[capacity > 0 ? capacity : 1]);
    const long n = gfxwin::LzwUnpack(in.get(), packed.size(), buffer.get(), capacity);
    if (n > 0) out->assign(reinterpret_cast<const char*>(buffer.get()), static_cast<size_t>(n));
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 8192) return 0;
    if (data[0] != 1) {
        if (size < 3) return 0;
        const size_t capacity = static_cast<size_t>(data[1]) << 8 | data[2];
        const std::vector<uint8_t> packed(data + 3, data + size);
        std::string got;
        const long n = Unpack(packed, capacity, &got);
        WL_FUZZ_CHECK(n >= -1 && n <= static_cast<long>(capacity), "result %ld, capacity %zu", n,
                      capacity);
        const std::optional<std::string> want =
            ReferenceUnpack(packed.data(), packed.size(), capacity);
        WL_FUZZ_CHECK(want.has_value() == (n >= 0), "decoder %ld, reference %s", n,
                      want ? "decodes" : "refuses");
        if (want) WL_FUZZ_CHECK(got == *want, "%zu bytes differ from the reference", got.size());
        return 0;
    }
    const std::vector<uint8_t> plain(data + 1, data + size);
    const std::vector<uint8_t> packed = wltools::LzwPack(std::span<const uint8_t>(plain));
    std::string got;
    const long n = Unpack(packed, plain.size(), &got);
    WL_FUZZ_CHECK(n == static_cast<long>(plain.size()), "unpacked %ld of %zu bytes", n,
                  plain.size());
    if (!plain.empty()) {
        WL_FUZZ_CHECK(std::memcmp(got.data(), plain.data(), plain.size()) == 0,
                      "round trip differs");
        std::string shorter;
        WL_FUZZ_CHECK(Unpack(packed, plain.size() - 1, &shorter) == -1, "overran a short buffer");
    }
    return 0;
}
