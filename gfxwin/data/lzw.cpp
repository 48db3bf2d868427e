// LZW decoder for the packed built-in data.
//
// Stream format: 12-bit codes, two per three-byte group:
//   first  = byte0 | (byte1 & 0x0F) << 8
//   second = (byte1 >> 4) | byte2 << 4
// Codes 0..255 are literal bytes, 256..4094 dictionary entries handed out in
// order, 4095 ends the data. When the end code falls on the first half of a
// group the second half is padding (the packer writes zero); anything after the
// group holding the end code is ignored. Codes are only taken from whole
// groups, so a stream cut short anywhere before its last group is refused.
//
// Every dictionary entry is a string that has already been written to the
// output: entry 256 + i is the string of code i followed by the first byte of
// code i + 1, which sits right behind it. So an entry is just an (offset,
// length) pair into the output, and decoding a code is a forward copy out of
// the output itself. This keeps memory bounded (one small table) and needs no
// recursion or string stack.
#include <cstdint>
#include <vector>

#include "gfxwin/data/lzw.h"

namespace gfxwin {
namespace {

constexpr unsigned kFirstEntry = 256;
constexpr unsigned kLastEntry = 4094;
constexpr unsigned kEndCode = 4095;

struct Entry {
    size_t offset;
    size_t length;
};

// Pulls codes from whole three-byte groups.
class CodeReader {
  public:
    CodeReader(const uint8_t* in, size_t size) : in_(in), size_(size) {}

    // False when the input holds no further complete group.
    bool Next(unsigned& code) {
        if (half_ == 0) {
            if (size_ - pos_ < 3) return false;
            const uint8_t* g = in_ + pos_;
            code = g[0] | (g[1] & 0x0Fu) << 8;
            half_ = 1;
        } else {
            const uint8_t* g = in_ + pos_;
            code = (g[1] >> 4) | unsigned{g[2]} << 4;
            half_ = 0;
            pos_ += 3;
        }
        return true;
    }

  private:
    const uint8_t* in_;
    size_t size_;
    size_t pos_ = 0;
    int half_ = 0;
};

}  // namespace

long LzwUnpack(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity) {
    if (in == nullptr) inSize = 0;
    CodeReader reader(in, inSize);

    unsigned code;
    if (!reader.Next(code)) return -1;
    if (code == kEndCode) return 0;
    if (code >= kFirstEntry) return -1;  // nothing defined yet to refer to
    if (capacity < 1 || out == nullptr) return -1;
    out[0] = static_cast<uint8_t>(code);

    std::vector<Entry> dict(kLastEntry - kFirstEntry + 1);
    unsigned next = kFirstEntry;  // code the next new entry gets; kEndCode once full
    size_t prevOffset = 0;        // where the previous code's string was written
    size_t prevLength = 1;
    size_t pos = 1;

    for (;;) {
        if (!reader.Next(code)) return -1;
        if (code == kEndCode) break;

        size_t srcOffset;
        size_t length;
        if (code < kFirstEntry) {
            // Literal: handled by the copy below as a one-byte string of itself.
            srcOffset = 0;
            length = 1;
        } else if (code < next) {
            srcOffset = dict[code - kFirstEntry].offset;
            length = dict[code - kFirstEntry].length;
        } else if (code == next) {
            // The entry this very step defines: previous string plus its own
            // first byte. The copy below overlaps its source by one byte, which
            // a forward copy turns into exactly that.
            srcOffset = prevOffset;
            length = prevLength + 1;
        } else {
            return -1;
        }

        if (length > capacity - pos) return -1;
        if (code < kFirstEntry) {
            out[pos] = static_cast<uint8_t>(code);
        } else {
            for (size_t i = 0; i < length; ++i) out[pos + i] = out[srcOffset + i];
        }

        if (next <= kLastEntry) {
            // Previous string + first byte of this one: contiguous in the output.
            dict[next - kFirstEntry] = Entry{prevOffset, prevLength + 1};
            ++next;
        }
        prevOffset = pos;
        prevLength = length;
        pos += length;
    }
    return static_cast<long>(pos);
}

}  // namespace gfxwin
