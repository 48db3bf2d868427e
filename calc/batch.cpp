#include "calc/batch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "calc/command_line_texts.h"
#include "calc/shown_text.h"
#include "platform/file_io.h"
#include "platform/terminal_io.h"
#include "textio/cp437.h"
#include "textio/input_context.h"
#include "textio/interrupts.h"
#include "textio/number_text.h"

namespace calc {

namespace {

static_assert(kBatchLineLimit == 4096, "the message kTooLong names the limit");

// Gathered rows are written once they reach this many bytes.
constexpr size_t kRowsFlushBytes = 1 << 16;

void AppendNumber(double value, std::string* out) {
    char buffer[textio::kFloatBufferSize];
    const char* text =
        textio::FormatFloat(value, buffer, sizeof buffer, textio::kDoubleDigits, textio::kAddBlank);
    if (text == nullptr) return;
    if (*text == ' ') ++text;
    out->append(text);
}

const char* KindName(ResultKind kind) {
    switch (kind) {
        case ResultKind::kDominant:
            return "dominant";
        case ResultKind::kComplementary:
            return "complementary";
        case ResultKind::kNone:
            break;
    }
    return "none";
}

// Lines of at most kBatchLineLimit bytes from a descriptor, read as the data
// comes (a pipe's lines are handled before the pipe fills the buffer).
class LineReader {
  public:
    // `beforeWait` runs each time the reader is about to wait for more input.
    LineReader(int fd, std::function<void()> beforeWait)
        : fd_(fd), beforeWait_(std::move(beforeWait)) {}

    // The next line without its line end (LF or CR LF) in `line`; `tooLong`
    // when it had more bytes than the limit (only the first ones are kept).
    // False at the end of the input, and once it cannot be read (Failed(); a
    // line cut off by the error is dropped).
    bool Next(std::string* line, bool* tooLong) {
        line->clear();
        *tooLong = false;
        bool any = false;
        for (;;) {
            if (pos_ == length_ && !Fill()) break;
            any = true;
            const unsigned char* start = buffer_ + pos_;
            const auto* newline =
                static_cast<const unsigned char*>(std::memchr(start, '\n', length_ - pos_));
            const size_t count =
                newline != nullptr ? static_cast<size_t>(newline - start) : length_ - pos_;
            // One byte beyond the limit is kept for a carriage return.
            const size_t room = kBatchLineLimit + 1 - std::min(line->size(), kBatchLineLimit + 1);
            if (count > room) *tooLong = true;
            line->append(reinterpret_cast<const char*>(start), std::min(count, room));
            pos_ += count;
            if (newline != nullptr) {
                ++pos_;
                break;
            }
        }
        if (failed_) return false;
        if (!line->empty() && line->back() == '\r') line->pop_back();
        if (line->size() > kBatchLineLimit) *tooLong = true;
        return any;
    }

    // Reads the first bytes ahead, before any line is asked for; false when
    // the input cannot be read at all (a folder).
    bool Start() {
        Fill();
        return !failed_;
    }

    // True when reading failed, rather than the input ending.
    bool Failed() const { return failed_; }

  private:
    bool Fill() {
        pos_ = 0;
        length_ = 0;
        if (!ended_ && beforeWait_) beforeWait_();
        while (!ended_) {
            textio::HandlePendingInterrupt();
            const platform::WaitResult r = platform::WaitForInput(fd_, -1);
            if (r == platform::WaitResult::kFailed) break;
            if (r != platform::WaitResult::kReady) continue;
            const long n = platform::ReadSome(fd_, buffer_, sizeof buffer_);
            if (n == platform::kReadAgain) continue;
            if (n == platform::kReadFailed) failed_ = true;
            if (n <= 0) break;
            length_ = static_cast<size_t>(n);
            return true;
        }
        ended_ = true;
        return false;
    }

    int fd_;
    std::function<void()> beforeWait_;
    bool ended_ = false;
    bool failed_ = false;
    size_t pos_ = 0;
    size_t length_ = 0;
    unsigned char buffer_[1 << 16];
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blank lines and comments hold no point.
bool Skipped(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i == line.size() || line[i] == '#';
}

bool HasDigit(std::string_view line) {
    for (const char c : line) {
        if (c >= '0' && c <= '9') return true;
    }
    return false;
}

std::string_view ProblemText(LineProblem problem) {
    switch (problem) {
        case LineProblem::kTooLong:
            return kTooLong;
        case LineProblem::kNotUtf8:
            return kNotUtf8;
        case LineProblem::kNotCp437:
            return kNotCp437;
        case LineProblem::kZeroByte:
            return kHasZeroByte;
        case LineProblem::kNone:
            break;
    }
    return {};
}

}  // namespace

void AppendCsvRow(const Calculation& c, std::string* out) {
    AppendNumber(c.x, out);
    out->push_back(',');
    AppendNumber(c.y, out);
    out->push_back(',');
    AppendNumber(c.z, out);
    out->push_back(',');
    if (c.kind != ResultKind::kNone) AppendNumber(c.la, out);
    out->push_back(',');
    out->append(KindName(c.kind));
    out->push_back('\n');
}

void ReadPoint(std::string_view line, double* x, double* y) {
    // As after a line input: the context emptied, then the typed line in it.
    textio::ResetInputContext();
    textio::CurrentInputContext().text.assign(line);
    textio::InputReadDouble(x);
    textio::InputReadDouble(y);
}

LineProblem LineToCp437(std::string_view utf8, std::string* out) {
    out->clear();
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead == 0) return LineProblem::kZeroByte;
        if (lead < 0x80) {
            out->push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        int more;
        char32_t ch;
        char32_t lowest;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            ch = lead & 0x1F;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            ch = lead & 0x0F;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            ch = lead & 0x07;
            lowest = 0x10000;
        } else {
            return LineProblem::kNotUtf8;
        }
        if (utf8.size() - i <= static_cast<size_t>(more)) return LineProblem::kNotUtf8;
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return LineProblem::kNotUtf8;
            ch = (ch << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode.
        if (ch < lowest || (ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF) {
            return LineProblem::kNotUtf8;
        }
        const int byte = textio::UnicodeToCp437(ch);
        if (byte < 0x80) return LineProblem::kNotCp437;
        out->push_back(static_cast<char>(byte));
        i += static_cast<size_t>(more) + 1;
    }
    return LineProblem::kNone;
}

int RunBatch(const std::string& fileName) {
    const bool standardInput = fileName.empty() || fileName == "-";
    const std::string source =
        standardInput ? ShownText(kStandardError, kStandardInputName) : fileName;
    std::FILE* file = nullptr;
    if (!standardInput) {
        file = std::fopen(platform::NativeFileName(fileName).c_str(), "rb");
    }
    // Rows are gathered and written in large pieces, and always before the
    // reader waits for more input: a pipe sees each row before it is asked
    // for the next point.
    std::string rows;
    bool writing = true;
    auto flushRows = [&rows, &writing] {
        if (writing && !rows.empty()) writing = WriteOut(kStandardOutput, rows);
        rows.clear();
    };
    LineReader reader(file != nullptr ? fileno(file) : 0, flushRows);
    // A file that opens but cannot be read (a folder on POSIX systems) counts
    // as one that does not open.
    if (!standardInput && (file == nullptr || !reader.Start())) {
        if (file != nullptr) std::fclose(file);
        WriteOut(kStandardError, "wellenlaenge: '" + fileName + "' " +
                                     ShownText(kStandardError, kCannotOpen) + "\n");
        return 2;
    }

    // A line that gives no row: a message with its number, and status 1.
    int status = 0;
    auto lineFault = [&source, &status, &flushRows](unsigned long number,
                                                   std::string_view problem) {
        flushRows();  // the message follows the rows before its line
        WriteOut(kStandardError,
                 "wellenlaenge: " + source + ", " + ShownText(kStandardError, kLine) + " " +
                     std::to_string(number) + ": " + ShownText(kStandardError, problem) + "\n");
        status = 1;
    };
    std::string line;
    std::string text;
    bool tooLong = false;
    bool headerPossible = true;
    rows = kCsvHeader;
    unsigned long number = 1;
    for (; writing && reader.Next(&line, &tooLong); ++number) {
        std::string_view view = line;
        if (number == 1 && view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
        if (Skipped(view)) continue;
        const bool first = headerPossible;
        headerPossible = false;
        if (first && !HasDigit(view)) continue;  // a header line such as "x,y"

        const LineProblem problem = tooLong ? LineProblem::kTooLong : LineToCp437(view, &text);
        if (problem != LineProblem::kNone) {
            lineFault(number, ProblemText(problem));
            continue;
        }
        double x = 0.0;
        double y = 0.0;
        ReadPoint(text, &x, &y);
        AppendCsvRow(Calculate(x, y, nullptr), &rows);
        if (rows.size() >= kRowsFlushBytes) flushRows();
    }
    flushRows();
    // The line being read and all after it are lost.
    if (reader.Failed()) lineFault(number, kReadError);
    if (file != nullptr) std::fclose(file);
    return writing ? status : 1;
}

}  // namespace calc
