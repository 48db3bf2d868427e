// Batch lines: strict UTF-8 input turned into the code page 437 bytes that a
// typed line holds, and CSV rows whose numbers read back as the dialogue's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calc/batch.h"
#include "calc/shown_text.h"
#include "textio/input_context.h"

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace {

using calc::LineProblem;

LineProblem Convert(const std::string& utf8, std::string* out = nullptr) {
    std::string scratch;
    std::string_view text;
    const LineProblem problem = calc::LineToCp437(utf8, &scratch, &text);
    if (out != nullptr) *out = text;
    return problem;
}

TEST(BatchLine, Utf8BecomesCodePage437) {
    std::string out;
    // a-umlaut, sharp s, the degree sign and a box corner: two- and three-byte forms.
    EXPECT_EQ(Convert("0.3 \xC3\xA4\xC3\x9F\xC2\xB0\xE2\x94\x8C", &out), LineProblem::kNone);
    EXPECT_EQ(out, "0.3 \x84\xE1\xF8\xDA");

    EXPECT_EQ(Convert("\xC3"), LineProblem::kNotUtf8);              // cut short
    EXPECT_EQ(Convert("\xC3\x28"), LineProblem::kNotUtf8);          // no continuation byte
    EXPECT_EQ(Convert("\xC0\xAE"), LineProblem::kNotUtf8);          // overlong "."
    EXPECT_EQ(Convert("\xE0\x80\xAE"), LineProblem::kNotUtf8);      // overlong, three bytes
    EXPECT_EQ(Convert("\xED\xA0\x80"), LineProblem::kNotUtf8);      // a surrogate
    EXPECT_EQ(Convert("\xF4\x90\x80\x80"), LineProblem::kNotUtf8);  // beyond U+10FFFF
    EXPECT_EQ(Convert("\x80"), LineProblem::kNotUtf8);              // a lone continuation byte
    EXPECT_EQ(Convert("\xF0\x9F\x98\x80"), LineProblem::kNotCp437);
    EXPECT_EQ(Convert(std::string("0.3\0", 4)), LineProblem::kZeroByte);
}

std::string Row(const std::string& line) {
    double x = 0.0;
    double y = 0.0;
    calc::ReadPoint(line, &x, &y);
    std::string row;
    calc::AppendCsvRow(calc::Calculate(x, y, nullptr), &row);
    return row;
}

// Shortest round-trip numbers, as Python's repr() writes these doubles, and
// the non-finite values in the words other programs read.
TEST(BatchRow, NumbersInTheShortestFormThatReadsBack) {
    EXPECT_EQ(Row("0.64,0.33"), "0.64,0.33,0.02999999999999997,611.405,dominant\n");
    EXPECT_EQ(Row("0,3127"), "0,3127,-3126,554.44,dominant\n");
    EXPECT_EQ(Row("1.7976931348623157e308 1e-5"),
              "1.7976931348623157e+308,1e-05,-1.7976931348623157e+308,578.055,dominant\n");
    EXPECT_EQ(Row("1e400,0.3"), "inf,0.3,-inf,,none\n");
    EXPECT_EQ(Row("nan.,0.2"), "nan,0.2,nan,,none\n");
}

uint64_t Bits(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

// Each number of a row, read back with strtod, is the very double the
// dialogue computes from the same line as its typed input.
TEST(BatchRow, ReadsBackToTheDialoguesDoubles) {
    for (const char* line : {"0.3127,0.329", "0.0743 0.8338", "0.4, 0.2", "0.6,0.2",
                             "0.3333333333333333,0.3333333333333333", "1e400,0.3", "-0.5,2",
                             "0.1,0.2"}) {
        textio::ResetInputContext();
        textio::CurrentInputContext().text = line;
        double x = 0.0;
        double y = 0.0;
        textio::InputReadDouble(&x);
        textio::InputReadDouble(&y);
        const calc::Calculation dialogue = calc::Calculate(x, y, nullptr);
        textio::ResetInputContext();

        const std::string row = Row(line);
        const char* p = row.c_str();
        for (const double expected : {dialogue.x, dialogue.y, dialogue.z, dialogue.la}) {
            char* end = nullptr;
            const double value = std::strtod(p, &end);
            if (end == p) {  // the empty wavelength of kind none
                EXPECT_TRUE(std::isnan(expected)) << line;
            } else {
                EXPECT_EQ(Bits(value), Bits(expected)) << line << ": " << row;
            }
            ASSERT_EQ(*end, ',') << row;
            p = end + 1;
        }
    }
}

#ifndef _WIN32
// Under the plain C locale of this test a message is UTF-8 for a terminal and
// code page 437 for a pipe, whatever standard output is.
TEST(ShownText, EachDescriptorHasItsOwnEncoding) {
    const int controller = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(controller, 0);
    ASSERT_EQ(grantpt(controller), 0);
    ASSERT_EQ(unlockpt(controller), 0);
    const int terminal = open(ptsname(controller), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);

    EXPECT_EQ(calc::ShownText(terminal, "Zeile \x81"), "Zeile \xC3\xBC");
    EXPECT_EQ(calc::ShownText(pipeEnds[1], "Zeile \x81"), "Zeile \x81");

    for (const int fd : {controller, terminal, pipeEnds[0], pipeEnds[1]}) close(fd);
}
#endif

}  // namespace
