// DoubleFromText and ItemAsDouble against the C library's readers in the "C"
// locale (see c_reference.h). Every result must have the reference's bits.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/c_reference.h"
#include "fuzz/fuzz_check.h"
#include "textio/text_to_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // An exact-size copy: reading one byte past n is an error ASan reports.
    std::unique_ptr<char[]> exact(new char[size > 0 ? size : 1]);
    if (size > 0) std::memcpy(exact.get(), data, size);
    const double got = textio::DoubleFromText(exact.get(), size);
    const double want = fuzzref::DoubleFromTextReference(text);
    WL_FUZZ_CHECK(fuzzref::Bits(got) == fuzzref::Bits(want), "DoubleFromText: %016llx, C: %016llx",
                  static_cast<unsigned long long>(fuzzref::Bits(got)),
                  static_cast<unsigned long long>(fuzzref::Bits(want)));

    // The same bytes as a typed item: at most 67 of them, no zero byte, 'D'
    // before any '&' already turned into 'E' and the floating mark set from
    // '.', 'E' and 'e' before any '&', as the item scanner delivers them.
    std::string item = text.substr(0, std::min<size_t>(size, 67));
    item.erase(std::remove(item.begin(), item.end(), '\0'), item.end());
    bool floating = false;
    bool radixSeen = false;
    for (char& c : item) {
        if (c == '&') radixSeen = true;
        if (radixSeen) continue;
        if (c == 'D') c = 'E';
        if (c == 'd') c = 'e';
        if (c == '.' || c == 'E' || c == 'e') floating = true;
    }
    const int length = static_cast<int>(item.size());
    // Both readings: the one the scanner's mark picks, and the other one.
    for (const bool mark : {floating, !floating}) {
        const double itemGot = textio::ItemAsDouble(item.c_str(), length, mark);
        const double itemWant = fuzzref::ItemReference(item, mark);
        WL_FUZZ_CHECK(fuzzref::Bits(itemGot) == fuzzref::Bits(itemWant),
                      "ItemAsDouble(mark %d): %016llx, C: %016llx", mark ? 1 : 0,
                      static_cast<unsigned long long>(fuzzref::Bits(itemGot)),
                      static_cast<unsigned long long>(fuzzref::Bits(itemWant)));
    }
    return 0;
}
