// Print items, zone advances and column tracking on the screen (80 columns)
// and on files (unlimited width).
#include "textio/print.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_device.h"
#include "support/terminal_capture.h"
#include "textio/last_error.h"
#include "textio/runtime_state.h"

namespace {

using testsupport::MemoryDevice;
using testsupport::OpenOnMemory;

class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ResetRuntimeForTest();
        file_ = &textio::Runtime().files[5];
        OpenOnMemory(file_, &device_, 0);
    }
    void TearDown() override { testsupport::ResetRuntimeForTest(); }

    testsupport::TerminalCapture terminal_;
    MemoryDevice device_;
    textio::FileRecord* file_ = nullptr;
};

TEST_F(PrintTest, ZoneAdvanceWritesBlanksToTheNextZoneStart) {
    struct Case {
        uint32_t column;
        size_t blanks;
    } cases[] = {{0, 14},  {1, 13}, {13, 1},  {14, 14}, {27, 1},
                 {28, 14}, {69, 1}, {70, 14}, {83, 1},  {200, 10}};
    for (const Case& c : cases) {
        device_.bytes.clear();
        file_->column = c.column;
        EXPECT_EQ(textio::PrintZone(5), 0);
        EXPECT_EQ(device_.bytes, std::string(c.blanks, ' ')) << "from column " << c.column;
        EXPECT_EQ(file_->column, c.column + c.blanks);
    }
}

TEST_F(PrintTest, ZoneAdvanceOnTheScreenWrapsPastColumn70) {
    textio::PrintStringValue(0, std::string(70, 'a'), textio::kMaskNone);
    EXPECT_EQ(textio::Runtime().screen.width, 80u);
    EXPECT_EQ(textio::Runtime().screen.column, 70u);
    terminal_.TakeOutput();
    textio::PrintZone(0);
    EXPECT_EQ(terminal_.TakeOutput(), "\r\n");
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    // From column 56 there is still room for the zone at 70.
    textio::PrintStringValue(0, std::string(56, 'b'), textio::kMaskZone);
    EXPECT_EQ(terminal_.TakeOutput(), std::string(56, 'b') + std::string(14, ' '));
}

TEST_F(PrintTest, ColumnFollowsTheBytesAfterTheLastLineEnd) {
    textio::ChannelWrite(file_, "abc", 3);
    EXPECT_EQ(file_->column, 3u);
    textio::ChannelWrite(file_, "de\r\nfgh", 7);
    EXPECT_EQ(file_->column, 3u);
    textio::ChannelWrite(file_, "xyz\r\n", 5);
    EXPECT_EQ(file_->column, 0u);
    textio::ChannelWrite(file_, "12\n3", 4);
    EXPECT_EQ(file_->column, 1u);
    // A file has no width: the column keeps growing.
    textio::ChannelWrite(file_, std::string(500, 'x').data(), 500);
    EXPECT_EQ(file_->column, 501u);
}

TEST_F(PrintTest, ScreenColumnWrapsAtTheScreenWidth) {
    textio::PrintStringValue(0, std::string(85, 'q'), textio::kMaskNone);
    EXPECT_EQ(textio::Runtime().screen.column, 5u);
}

TEST_F(PrintTest, IntegerPrintFoldsTheLineEndIntoOneWrite) {
    textio::PrintInt64(5, 380, textio::kMaskLineEnd);
    ASSERT_EQ(device_.writes.size(), 1u);
    EXPECT_EQ(device_.writes[0], " 380\r\n");
    device_.writes.clear();
    textio::PrintDouble(5, 380.0, textio::kMaskLineEnd);
    ASSERT_EQ(device_.writes.size(), 2u);
    EXPECT_EQ(device_.writes[0], " 380");
    EXPECT_EQ(device_.writes[1], "\r\n");
}

TEST_F(PrintTest, IntegerPrintWithLineEndAndZoneEndsTheLineFirst) {
    file_->column = 3;
    textio::PrintInt64(5, -7, textio::kMaskLineEnd | textio::kMaskZone);
    EXPECT_EQ(device_.bytes, "-7\r\n" + std::string(14, ' '));
    device_.bytes.clear();
    textio::PrintUInt64(5, 380, textio::kMaskTrailingBlank);
    EXPECT_EQ(device_.bytes, "380 ");
}

TEST_F(PrintTest, LineEndWinsOverTheZone) {
    file_->column = 5;
    textio::PrintStringValue(5, "ab", textio::kMaskLineEnd | textio::kMaskZone);
    EXPECT_EQ(device_.bytes, "ab\r\n");
    device_.bytes.clear();
    textio::PrintEnd(5, textio::kMaskLineEndAlso);
    EXPECT_EQ(device_.bytes, "\r\n");
}

TEST_F(PrintTest, ResultLinesLineUpInZones) {
    textio::PrintDouble(5, 0.3127, textio::kMaskZone);
    textio::PrintDouble(5, 0.329, textio::kMaskZone);
    textio::PrintDouble(5, (1.0 - 0.3127) - 0.329, textio::kMaskLineEnd);
    textio::PrintInt64(5, 380, textio::kMaskZone);
    textio::PrintDouble(5, 488.997, textio::kMaskLineEnd);
    EXPECT_EQ(device_.bytes, " 0.3127" + std::string(7, ' ') + " 0.329" + std::string(8, ' ') +
                                 " 0.3583\r\n" + " 380" + std::string(10, ' ') + " 488.997\r\n");
    EXPECT_EQ(device_.bytes.size(), 61u);
}

TEST_F(PrintTest, NegativeNumberFieldIsOneByteShorterAndTheZoneMakesUp) {
    textio::PrintDouble(5, -0.25, textio::kMaskZone);
    textio::PrintDouble(5, 0.25, textio::kMaskZone);
    EXPECT_EQ(device_.bytes, "-0.25" + std::string(9, ' ') + " 0.25" + std::string(9, ' '));
}

TEST_F(PrintTest, ClosedOrUnknownChannelsWriteNothingAndReportInvalidCall) {
    for (int channel : {-1, 7, 255, 256, -2, 1000}) {
        textio::SetLastError(0);
        textio::PrintStringValue(channel, "x", textio::kMaskLineEnd);
        EXPECT_EQ(textio::LastError(), textio::kErrInvalidCall) << channel;
        EXPECT_EQ(textio::PrintZone(channel), textio::kErrInvalidCall) << channel;
    }
    EXPECT_TRUE(device_.bytes.empty());
}

TEST_F(PrintTest, FailedWriteKeepsTheColumnAndReportsItsCode) {
    file_->column = 4;
    device_.failWith = textio::kErrIo;
    EXPECT_EQ(textio::ChannelWrite(file_, "abc", 3), textio::kErrIo);
    EXPECT_EQ(file_->column, 4u);
    EXPECT_EQ(textio::LastError(), textio::kErrIo);
}

TEST_F(PrintTest, RedirectedRecordKeepsColumnInTheLastRecordOfTheChain) {
    textio::FileRecord middle{};
    textio::FileRecord last{};
    last.width = 10;
    middle.redirect = &last;
    file_->redirect = &middle;
    textio::ChannelWrite(file_, "abcdefghijkl", 12);
    EXPECT_EQ(last.column, 2u);
    EXPECT_EQ(file_->column, 0u);
    textio::PrintZone(5);  // next zone 15 > width 10: a line end
    EXPECT_EQ(device_.bytes.substr(12), "\r\n");
}

TEST_F(PrintTest, PutBackKeepsAtMostFourBytesLastPushedFirst) {
    EXPECT_EQ(textio::PutBack(file_, "ab", 2), 0);
    EXPECT_EQ(textio::PutBack(file_, "c", 1), 0);
    EXPECT_EQ(file_->putBackCount, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(file_->putBack), 3), "cab");
    EXPECT_EQ(textio::PutBack(file_, "de", 2), textio::kErrIo);
    EXPECT_EQ(file_->putBackCount, 3u);
    // A write discards pushed-back input.
    textio::ChannelWrite(file_, "z", 1);
    EXPECT_EQ(file_->putBackCount, 0u);
    // A wide record stores each byte as a sign-extended 16-bit unit.
    file_->encoding = 2;
    EXPECT_EQ(textio::PutBack(file_, "\xFF", 1), 0);
    EXPECT_EQ(file_->putBackCount, 2u);
    EXPECT_EQ(file_->putBack[0], 0xFF);
    EXPECT_EQ(file_->putBack[1], 0xFF);
    EXPECT_EQ(textio::PutBack(nullptr, "a", 1), textio::kErrInvalidCall);
}

}  // namespace
