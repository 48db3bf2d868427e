// wl_number_probe: answers conversion questions line by line, so that two
// builds (the native one and the browser's, run under node) can be compared
// on the same questions by tools/number_conversion_check.py.
//
// usage: wl_number_probe < QUESTIONS > ANSWERS
//   "d HEX P"  the double with the 16 hexadecimal digits HEX as its bits:
//              answers its number text with P significant digits (the "%.Pg"
//              rules of the print operations, "-" when there is none), the
//              same with a blank in the sign place, the shortest text that
//              reads back, and the scientific text with P digits after the
//              point (for finite values).
//   "t TEXT"   answers the bits of the double TEXT converts to, in hex, by
//              the rules of typed and stored items (DoubleFromText).
//   "s TEXT"   the same by the C strtod rules alone (StrtodC), which also
//              read hexadecimal numbers.
// Every answer is one line.
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "textio/double_conversion.h"
#include "textio/number_text.h"
#include "textio/text_to_number.h"

namespace {

void AnswerDouble(const std::string& question) {
    char* end = nullptr;
    const uint64_t bits = std::strtoull(question.c_str() + 2, &end, 16);
    const int precision = static_cast<int>(std::strtol(end, nullptr, 10));
    double value;
    std::memcpy(&value, &bits, sizeof value);

    char text[1024];
    const char* plain = textio::FormatFloat(value, text, sizeof text, precision, 0);
    std::string answer = plain != nullptr ? plain : "-";
    const char* blank = textio::FormatFloat(value, text, sizeof text, precision, textio::kAddBlank);
    answer += '|';
    answer += blank != nullptr ? blank : "-";
    answer += '|';
    answer.append(text, textio::FormatShortest(value, text));
    if (std::isfinite(value) && precision >= 0 && precision < 800) {
        char* last = textio::ScientificText(value, precision, text, text + sizeof text);
        answer += '|';
        answer.append(text, last);
    }
    std::cout << answer << '\n';
}

void AnswerText(const std::string& question) {
    const double value = question[0] == 't'
                             ? textio::DoubleFromText(question.data() + 2, question.size() - 2)
                             : textio::StrtodC(question.c_str() + 2);
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char hex[24];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, bits);
    std::cout << hex << '\n';
}

}  // namespace

int main() {
    std::ios::sync_with_stdio(false);
    std::string question;
    while (std::getline(std::cin, question)) {
        if (question.rfind("d ", 0) == 0) {
            AnswerDouble(question);
        } else if (question.rfind("t ", 0) == 0 || question.rfind("s ", 0) == 0) {
            AnswerText(question);
        } else {
            std::cout << "?\n";
        }
    }
    return 0;
}
