#include "tools/lzw_pack.h"

namespace wltools {
namespace {

constexpr unsigned kFirstEntry = 256;
constexpr unsigned kLastEntry = 4094;
constexpr unsigned kEndCode = 4095;

class CodeWriter {
  public:
    void Put(unsigned code) {
        if (!half_) {
            out_.push_back(static_cast<uint8_t>(code & 0xFF));
            out_.push_back(static_cast<uint8_t>(code >> 8));
            out_.push_back(0);
        } else {
            uint8_t* g = out_.data() + out_.size() - 3;
            g[1] = static_cast<uint8_t>(g[1] | (code & 0x0F) << 4);
            g[2] = static_cast<uint8_t>(code >> 4);
        }
        half_ = !half_;
    }
    std::vector<uint8_t> Take() { return std::move(out_); }

  private:
    std::vector<uint8_t> out_;
    bool half_ = false;
};

}  // namespace

std::vector<uint8_t> LzwPack(std::span<const uint8_t> data) {
    CodeWriter writer;
    if (!data.empty()) {
        // The dictionary as a tree: the entries that extend a code are a list
        // from firstChild[code] through nextSibling, each labelled with its
        // byte. 0 ends a list (no entry can be 0, entries start at 256).
        std::vector<uint16_t> firstChild(kEndCode + 1, 0);
        std::vector<uint16_t> nextSibling(kEndCode + 1, 0);
        std::vector<uint8_t> label(kEndCode + 1, 0);
        auto find = [&](unsigned code, uint8_t byte) -> unsigned {
            for (unsigned e = firstChild[code]; e != 0; e = nextSibling[e]) {
                if (label[e] == byte) return e;
            }
            return 0;
        };
        unsigned next = kFirstEntry;
        unsigned current = data[0];
        for (size_t i = 1; i < data.size(); ++i) {
            const uint8_t byte = data[i];
            if (const unsigned found = find(current, byte); found != 0) {
                current = found;
                continue;
            }
            writer.Put(current);
            if (next <= kLastEntry) {
                label[next] = byte;
                nextSibling[next] = firstChild[current];
                firstChild[current] = static_cast<uint16_t>(next++);
            }
            current = byte;
        }
        writer.Put(current);
    }
    writer.Put(kEndCode);
    return writer.Take();
}

}  // namespace wltools
