// The exact conversions through the C++ library's <charconv>.
#include "textio/double_conversion.h"

#include <charconv>
#include <system_error>

namespace textio {

char* ScientificText(double value, int precision, char* first, char* last) {
    return std::to_chars(first, last, value, std::chars_format::scientific, precision).ptr;
}

char* ShortestText(double value, char* first, char* last) {
    return std::to_chars(first, last, value).ptr;
}

ParseStatus ParseDouble(const char* first, const char* last, bool hex, double* value) {
    const std::from_chars_result r = std::from_chars(
        first, last, *value, hex ? std::chars_format::hex : std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return ParseStatus::kInvalid;
    if (r.ec == std::errc::result_out_of_range) return ParseStatus::kOutOfRange;
    return ParseStatus::kOk;
}

}  // namespace textio
