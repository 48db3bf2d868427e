// The item scanner over arbitrary lines, against a scanner written here from
// the rules (by index over the line, without put-back): each item's bytes,
// length and floating mark, the read position after it, and its value.
// The first input byte chooses the maximum item length (1 to 67).
#include <cstdint>
#include <string>

#include "fuzz/c_reference.h"
#include "fuzz/fuzz_check.h"
#include "textio/input_context.h"
#include "textio/text_to_number.h"

namespace {

struct Expected {
    std::string bytes;
    bool floating = false;
    size_t next = 0;  // read position after the item
};

bool Blank(int c) {
    return c == ' ' || c == '\t';
}

Expected Scan(const std::string& line, size_t from, size_t max) {
    const size_t n = line.size();
    auto at = [&](size_t k) { return k < n ? static_cast<unsigned char>(line[k]) : -1; };
    Expected e;
    size_t k = from;
    while (Blank(at(k))) ++k;
    if (at(k) < 0) {
        e.next = n;
        return e;
    }
    bool quoted = false;
    bool radix = false;
    for (;;) {
        const int c = at(k);
        if (Blank(c) && !quoted) {
            while (Blank(at(k))) ++k;
            break;  // the byte after the blanks decides
        }
        if (c == '\n' || (c == ',' && !quoted)) {
            e.next = k + 1;
            return e;
        }
        if (c == '\r') {
            e.next = at(k + 1) == '\n' ? k + 2 : k + 1;
            return e;
        }
        if (c == '"' && (quoted || e.bytes.empty())) {
            quoted = !quoted;
        } else {
            char stored = static_cast<char>(c);
            if (c == '&') radix = true;
            if (!radix && (c == 'D' || c == 'd')) stored = c == 'D' ? 'E' : 'e';
            if (!radix && (stored == '.' || stored == 'E' || stored == 'e')) e.floating = true;
            e.bytes.push_back(stored);
        }
        ++k;
        if (at(k) < 0 || e.bytes.size() >= max) break;
    }
    // The byte that ended the item: a comma or line feed is taken, a carriage
    // return with a following line feed, anything else starts the next item.
    const int d = at(k);
    if (d == ',' || d == '\n') {
        e.next = k + 1;
    } else if (d == '\r') {
        e.next = at(k + 1) == '\n' ? k + 2 : k + 1;
    } else {
        e.next = d < 0 ? n : k;
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t max = data[0] % 67 + 1;
    const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
    textio::ResetInputContext();
    textio::InputContext& context = textio::CurrentInputContext();
    context.text = line;
    size_t position = 0;
    for (size_t items = 0; items <= line.size(); ++items) {
        const Expected want = Scan(line, position, max);
        const textio::Item got = textio::NextItem(static_cast<int>(max));
        const std::string bytes(got.bytes, static_cast<size_t>(got.length));
        WL_FUZZ_CHECK(bytes == want.bytes, "item at %zu: %zu bytes, expected %zu", position,
                      bytes.size(), want.bytes.size());
        WL_FUZZ_CHECK(got.bytes[got.length] == '\0', "item at %zu not terminated", position);
        WL_FUZZ_CHECK(got.floating == want.floating, "item at %zu: mark %d", position,
                      got.floating ? 1 : 0);
        WL_FUZZ_CHECK(static_cast<size_t>(context.position) == want.next,
                      "item at %zu: position %d, expected %zu", position, context.position,
                      want.next);
        const double value = textio::ItemAsDouble(got.bytes, got.length, got.floating);
        const double reference = fuzzref::ItemReference(bytes, got.floating);
        WL_FUZZ_CHECK(fuzzref::Bits(value) == fuzzref::Bits(reference),
                      "item at %zu: value %016llx, C: %016llx", position,
                      static_cast<unsigned long long>(fuzzref::Bits(value)),
                      static_cast<unsigned long long>(fuzzref::Bits(reference)));
        if (want.next >= line.size()) break;
        WL_FUZZ_CHECK(want.next > position, "no progress at %zu", position);
        position = want.next;
    }
    textio::ResetInputContext();
    return 0;
}
