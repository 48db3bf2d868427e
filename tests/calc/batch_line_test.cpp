// Batch input lines: strict UTF-8, turned into the code page 437 bytes that a
// typed line holds.
#include <gtest/gtest.h>

#include <string>

#include "calc/batch.h"
#include "calc/shown_text.h"

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace {

using calc::LineProblem;

LineProblem Convert(const std::string& utf8, std::string* out = nullptr) {
    std::string scratch;
    return calc::LineToCp437(utf8, out != nullptr ? out : &scratch);
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
