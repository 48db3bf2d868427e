// Disk files: open and close codes, record-mode writes, locks, reads.
#include "textio/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/terminal_capture.h"
#include "textio/key_wait.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/runtime_state.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::TempDir;

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetRuntimeForTest(); }
    void TearDown() override {
        textio::FileCloseAll();
        testsupport::ResetRuntimeForTest();
    }
    TempDir dir_;
    testsupport::TerminalCapture terminal_;
};

TEST_F(FilesTest, OutputOpenCreatesEmptiesAndTakesTheDefaultRecordLength) {
    const std::string path = dir_.File("out.txt");
    ASSERT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 1, 0), 0);
    const textio::FileRecord& rec = textio::Runtime().files[1];
    EXPECT_EQ(rec.recordLength, 128u);
    EXPECT_EQ(rec.access, textio::kAccessReadWrite);
    EXPECT_EQ(rec.size, 0);
    EXPECT_EQ(rec.type, textio::kTypeDevice);
    EXPECT_TRUE(textio::Runtime().filesUsed);
    textio::PrintStringValue(1, "hello", textio::kMaskLineEnd);
    EXPECT_EQ(ReadFileBytes(path), "");  // still in the stream's buffer
    EXPECT_EQ(textio::FileClose(1), 0);
    EXPECT_EQ(ReadFileBytes(path), "hello\r\n");
    EXPECT_FALSE(textio::IsOpen(&textio::Runtime().files[1]));
}

TEST_F(FilesTest, OpenAndCloseErrorCodes) {
    const std::string path = dir_.File("a.txt");
    EXPECT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 0, 0), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 256, 0), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 3, 0), 0);
    // Already open: refused, and the open file is untouched.
    EXPECT_EQ(textio::FileOpen(dir_.File("b.txt"), textio::kModeOutput, 0, 0, 3, 0),
              textio::kErrInvalidCall);
    textio::PrintStringValue(3, "kept", textio::kMaskNone);
    EXPECT_EQ(textio::FileOpen(dir_.File("no/such/dir.txt"), textio::kModeOutput, 0, 0, 4, 0),
              textio::kErrOpenRefused);
    EXPECT_FALSE(textio::IsOpen(&textio::Runtime().files[4]));
    EXPECT_EQ(textio::FileOpen(path + ".x", 9, 0, 0, 5, 0), textio::kErrInvalidCall);
    EXPECT_FALSE(textio::IsOpen(&textio::Runtime().files[5]));
    EXPECT_EQ(textio::FileClose(0), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileClose(9), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileClose(-1), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileClose(300), textio::kErrInvalidCall);
    EXPECT_EQ(textio::FileClose(3), 0);
    EXPECT_EQ(ReadFileBytes(path), "kept");
    EXPECT_EQ(textio::FileClose(3), textio::kErrInvalidCall);
}

TEST_F(FilesTest, CloseAllWritesEveryOpenFile) {
    for (int n : {1, 17, 255}) {
        ASSERT_EQ(textio::FileOpen(dir_.File(std::to_string(n)), textio::kModeOutput, 0, 0, n, 0),
                  0);
        textio::PrintInt64(n, n, textio::kMaskNone);
    }
    textio::FileCloseAll();
    EXPECT_FALSE(textio::Runtime().filesUsed);
    EXPECT_EQ(ReadFileBytes(dir_.File("1")), " 1");
    EXPECT_EQ(ReadFileBytes(dir_.File("17")), " 17");
    EXPECT_EQ(ReadFileBytes(dir_.File("255")), " 255");
    for (int n : {1, 17, 255}) EXPECT_FALSE(textio::IsOpen(&textio::Runtime().files[n]));
}

TEST_F(FilesTest, AppendKeepsContentAndStartsAtItsEnd) {
    const std::string path = dir_.File("log.txt");
    ASSERT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 1, 0), 0);
    textio::PrintStringValue(1, "one", textio::kMaskLineEnd);
    textio::FileClose(1);
    ASSERT_EQ(textio::FileOpen(path, textio::kModeAppend, 0, 0, 1, 0), 0);
    EXPECT_EQ(textio::Runtime().files[1].size, 5);
    EXPECT_EQ(textio::Runtime().files[1].recordLength, 0u);
    textio::PrintStringValue(1, "two", textio::kMaskLineEnd);
    textio::FileClose(1);
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\r\n");
}

TEST_F(FilesTest, RandomModeWritesWholeRecords) {
    const std::string path = dir_.File("records.bin");
    ASSERT_EQ(textio::FileOpen(path, textio::kModeRandom, textio::kAccessReadWrite, 0, 2, 8), 0);
    textio::FileRecord* rec = &textio::Runtime().files[2];
    EXPECT_EQ(textio::ChannelWrite(rec, "ABCDEFGH", 8), 0);
    // A short record is an error, and the position moves on to the next record.
    EXPECT_EQ(textio::ChannelWrite(rec, "xyz", 3), textio::kErrIo);
    int64_t position = 0;
    ASSERT_EQ(rec->ops->tell(rec, &position), 0);
    EXPECT_EQ(position, 16);
    EXPECT_EQ(textio::ChannelWrite(rec, "12345678", 8), 0);
    textio::FileClose(2);
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 11), "ABCDEFGHxyz");
    EXPECT_EQ(bytes.substr(16), "12345678");
}

TEST_F(FilesTest, InputModeReadsBytesAndLines) {
    const std::string path = dir_.File("in.txt");
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("first line\r\nsecond\n", f);
        std::fclose(f);
    }
    ASSERT_EQ(textio::FileOpen(path, textio::kModeInput, 0, 0, 4, 0), 0);
    textio::FileRecord* rec = &textio::Runtime().files[4];
    EXPECT_EQ(rec->size, 19);
    EXPECT_EQ(textio::ReadChars(5, 4), "first");
    // Pushed-back bytes come first.
    ASSERT_EQ(textio::PutBack(rec, "!", 1), 0);
    EXPECT_EQ(textio::ReadChars(3, 4), "! l");
    std::string line;
    ASSERT_EQ(rec->ops->readLine(rec, &line), 0);
    EXPECT_EQ(line, "ine");
    ASSERT_EQ(rec->ops->readLine(rec, &line), 0);
    EXPECT_EQ(line, "second");
    EXPECT_EQ(rec->ops->eof(rec), 1);
    // Past the end a read gives what there is.
    EXPECT_EQ(textio::ReadChars(4, 4), "");
}

TEST_F(FilesTest, MissingInputFileIsRefused) {
    EXPECT_EQ(textio::FileOpen(dir_.File("none"), textio::kModeInput, 0, 0, 1, 0),
              textio::kErrOpenRefused);
}

TEST_F(FilesTest, LocksNeedALengthAndCoverByteRanges) {
    ASSERT_EQ(textio::FileOpen(dir_.File("lock.bin"), textio::kModeBinary, 0, 0, 6, 0), 0);
    textio::FileRecord* rec = &textio::Runtime().files[6];
    EXPECT_EQ(rec->recordLength, 0u);
    EXPECT_EQ(rec->ops->lock(rec, 0, 0), textio::kErrInvalidCall);
    EXPECT_EQ(rec->ops->lock(rec, 0, 10), 0);
    EXPECT_EQ(rec->ops->unlock(rec, 0, 10), 0);
}

TEST_F(FilesTest, WideWriteTurnsUnitsAbove255IntoQuestionMarks) {
    const std::string path = dir_.File("wide.txt");
    ASSERT_EQ(textio::FileOpen(path, textio::kModeOutput, 0, 0, 1, 0), 0);
    textio::FileRecord* rec = &textio::Runtime().files[1];
    const uint16_t units[] = {'a', 0xE4, 0x263A, 0xD83D, 0xDE00, 'z'};
    EXPECT_EQ(rec->ops->writeWide(rec, units, 6), 0);
    textio::FileClose(1);
    EXPECT_EQ(ReadFileBytes(path), "a\xE4??z");
}

TEST_F(FilesTest, FullDeviceGivesAnInputOutputError) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no device that is always full, as /dev/full is";
#endif
    ASSERT_EQ(textio::FileOpen("/dev/full", textio::kModeOutput, 0, 0, 1, 0), 0);
    // Small prints stay in the buffer; the failure shows when it is written out.
    textio::PrintStringValue(1, "abc", textio::kMaskNone);
    EXPECT_EQ(textio::LastError(), 0);
    EXPECT_EQ(textio::FileClose(1), textio::kErrIo);
    // The failed close leaves the record open without its stream; the next
    // close finishes it.
    EXPECT_TRUE(textio::IsOpen(&textio::Runtime().files[1]));
    EXPECT_EQ(textio::Runtime().files[1].stream, nullptr);
    EXPECT_EQ(textio::FileClose(1), 0);
    // A print larger than the buffer fails at once, and the column stays.
    ASSERT_EQ(textio::FileOpen("/dev/full", textio::kModeOutput, 0, 0, 1, 0), 0);
    textio::PrintStringValue(1, std::string(10000, 'x'), textio::kMaskNone);
    EXPECT_EQ(textio::LastError(), textio::kErrIo);
    EXPECT_EQ(textio::Runtime().files[1].column, 0u);
    textio::PrintStringValue(1, "abc", textio::kMaskNone);
    textio::FileCloseAll();
    EXPECT_FALSE(textio::IsOpen(&textio::Runtime().files[1]));
}

TEST_F(FilesTest, ConsoleNameMarksTheRecord) {
#ifdef _WIN32
    // There the name is the console device, which a run without a console
    // cannot open.
    if (FILE* probe = std::fopen("CON", "wb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "this run has no console to open as CON";
    }
#endif
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir_.path());
    EXPECT_EQ(textio::FileOpen("cOn", textio::kModeOutput, 0, 0, 1, 0), 0);
    EXPECT_EQ(textio::Runtime().files[1].type, textio::kTypeConsole);
    textio::FileClose(1);
    std::filesystem::current_path(cwd);
}

}  // namespace
