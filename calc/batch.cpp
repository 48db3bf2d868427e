#include "calc/batch.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include "calc/command_line_texts.h"
#include "calc/exit_status.h"
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

std::string_view KindName(ResultKind kind) {
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
// comes (a pipe's lines are handled before the pipe fills the buffer). A line
// is handed out where it lies in the buffer, without a copy.
class LineReader {
  public:
    // `beforeWait` runs each time the reader is about to wait for more input.
    LineReader(int fd, std::function<void()> beforeWait)
        : fd_(fd), beforeWait_(std::move(beforeWait)) {}

    // The next line without its line end (LF or CR LF) in `line`, valid until
    // the next call; `tooLong` when it had more bytes than the limit (only
    // its first bytes are kept). False at the end of the input, and once it
    // cannot be read (Failed(); a line cut off by the error is dropped).
    bool Next(std::string_view* line, bool* tooLong) {
        *tooLong = false;
        size_t scanned = pos_;  // no line feed before this
        for (;;) {
            const void* newline = std::memchr(buffer_ + scanned, '\n', length_ - scanned);
            if (newline != nullptr) {
                const size_t end = static_cast<size_t>(static_cast<const char*>(newline) - buffer_);
                Take(end, end + 1, line, tooLong);
                return true;
            }
            // One byte beyond the limit may still be the carriage return. Of a
            // longer line only the start is kept, enough to tell a comment.
            if (length_ - pos_ > kBatchLineLimit + 1) {
                if (!*tooLong) longStart_.assign(buffer_ + pos_, kBatchLineLimit + 1);
                *tooLong = true;
                pos_ = length_;
            }
            std::memmove(buffer_, buffer_ + pos_, length_ - pos_);
            length_ -= pos_;
            pos_ = 0;
            scanned = length_;
            if (!Fill()) {
                if (failed_ || (length_ == 0 && !*tooLong)) return false;
                Take(length_, length_, line, tooLong);
                return true;
            }
        }
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
    // Hands out the bytes from pos_ to `end` (of a line too long, its start)
    // and goes on at `next`.
    void Take(size_t end, size_t next, std::string_view* line, bool* tooLong) {
        std::string_view view =
            *tooLong ? std::string_view(longStart_) : std::string_view(buffer_ + pos_, end - pos_);
        pos_ = next;
        if (!view.empty() && view.back() == '\r') view.remove_suffix(1);
        if (view.size() > kBatchLineLimit) *tooLong = true;
        *line = view;
    }

    // Appends what the input has to the buffer; false at its end or failure.
    bool Fill() {
        if (ended_) return false;
        if (beforeWait_) beforeWait_();
        for (;;) {
            textio::HandlePendingInterrupt();
            const platform::WaitResult r = platform::WaitForInput(fd_, -1);
            if (r == platform::WaitResult::kFailed) break;
            if (r != platform::WaitResult::kReady) continue;
            auto* free = reinterpret_cast<unsigned char*>(buffer_ + length_);
            const long n = platform::ReadSome(fd_, free, sizeof buffer_ - length_);
            if (n == platform::kReadAgain) continue;
            if (n == platform::kReadFailed) failed_ = true;
            if (n <= 0) break;
            length_ += static_cast<size_t>(n);
            return true;
        }
        ended_ = true;
        return false;
    }

    int fd_;
    std::function<void()> beforeWait_;
    bool ended_ = false;
    bool failed_ = false;
    size_t pos_ = 0;  // start of the next line
    size_t length_ = 0;
    std::string longStart_;
    char buffer_[1 << 16];
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

// Bytes 1 to 127 only: the same in UTF-8 and in code page 437.
bool PlainAscii(std::string_view line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c - 1) >= 0x7F) return false;
    }
    return true;
}

std::string_view ProblemText(LineProblem problem) {
    static constexpr TextTable<LineProblem> kTexts[] = {
        {LineProblem::kTooLong, kTooLong},
        {LineProblem::kNotUtf8, kNotUtf8},
        {LineProblem::kNotCp437, kNotCp437},
        {LineProblem::kZeroByte, kHasZeroByte},
    };
    return TextFor(kTexts, problem, {});
}

}  // namespace

void AppendCsvRow(const Calculation& c, std::string* out, const ExactResult* exact) {
    // Six numbers, seven commas, two of the longest kind and the line feed.
    char row[6 * textio::kShortestBufferSize + 40];
    size_t n = 0;
    auto kind = [&row, &n](ResultKind k) {
        const std::string_view name = KindName(k);
        name.copy(row + n, name.size());
        n += name.size();
    };
    for (const double value : {c.x, c.y, c.z}) {
        n += textio::FormatShortest(value, row + n);
        row[n++] = ',';
    }
    if (c.kind != ResultKind::kNone) n += textio::FormatShortest(c.la, row + n);
    row[n++] = ',';
    kind(c.kind);
    if (exact != nullptr) {
        row[n++] = ',';
        if (exact->kind != ResultKind::kNone) {
            n += textio::FormatShortest(exact->wavelength, row + n);
        }
        row[n++] = ',';
        kind(exact->kind);
        row[n++] = ',';
        if (!std::isnan(exact->purity)) n += textio::FormatShortest(exact->purity, row + n);
    }
    row[n++] = '\n';
    out->append(row, n);
}

void ReadPoint(std::string_view line, double* x, double* y) {
    textio::ItemScanner items(line);
    *x = items.NextDouble();
    *y = items.NextDouble();
}

LineProblem LineToCp437(std::string_view utf8, std::string* scratch, std::string_view* text) {
    if (PlainAscii(utf8)) {
        *text = utf8;
        return LineProblem::kNone;
    }
    if (utf8.find('\0') != std::string_view::npos) return LineProblem::kZeroByte;
    scratch->resize(utf8.size() + 1);
    auto* out = reinterpret_cast<unsigned char*>(scratch->data());
    textio::Utf8ToCp437 decoder;
    size_t n =
        decoder.Convert(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), out);
    n += decoder.Finish(out + n);
    switch (decoder.FirstProblem()) {
        case textio::Utf8ToCp437::Problem::kNotUtf8:
            return LineProblem::kNotUtf8;
        case textio::Utf8ToCp437::Problem::kNotCp437:
            return LineProblem::kNotCp437;
        case textio::Utf8ToCp437::Problem::kNone:
            break;
    }
    *text = std::string_view(*scratch).substr(0, n);
    return LineProblem::kNone;
}

int RunBatch(const std::string& fileName, const ExactLocus* exact) {
    const bool standardInput = fileName.empty() || fileName == "-";
    const std::string source = standardInput ? ShownText(kStandardError, kStandardInputName)
                                             : ShownName(kStandardError, fileName);
    std::FILE* file = nullptr;
    if (!standardInput) {
        file = std::fopen(platform::NativeFileName(fileName).c_str(), "rb");
        // An open that waits (a named pipe without a writer) and is broken
        // off by an interrupt ends the program, and is no refused open.
        if (file == nullptr) textio::HandlePendingInterrupt();
    }
    // Rows are gathered and written in large pieces, and always before the
    // reader waits for more input: a pipe sees each row before it is asked
    // for the next point.
    std::string rows;
    rows.reserve(kRowsFlushBytes + 256);
    bool writing = true;
    auto flushRows = [&rows, &writing] {
        if (writing && !rows.empty()) writing = WriteStandardOutput(rows);
        rows.clear();
    };
    LineReader reader(file != nullptr ? fileno(file) : 0, flushRows);
    // A file that opens but cannot be read (a folder on POSIX systems) counts
    // as one that does not open.
    if (!standardInput && (file == nullptr || !reader.Start())) {
        if (file != nullptr) std::fclose(file);
        WriteOut(kStandardError,
                 "wellenlaenge: '" + source + "' " + ShownText(kStandardError, kCannotOpen) + "\n");
        return kExitUsage;
    }

    // A line that gives no row: a message with its number, and status 1.
    int status = kExitOk;
    auto lineFault = [&source, &status, &flushRows](unsigned long number,
                                                    std::string_view problem) {
        flushRows();  // the message follows the rows before its line
        WriteOut(kStandardError,
                 "wellenlaenge: " + source + ", " + ShownText(kStandardError, kLine) + " " +
                     std::to_string(number) + ": " + ShownText(kStandardError, problem) + "\n");
        status = kExitFailed;
    };
    std::string_view line;
    std::string scratch;
    bool tooLong = false;
    bool headerPossible = true;
    rows = exact != nullptr ? kCsvHeaderExact : kCsvHeader;
    unsigned long number = 1;
    for (; writing && reader.Next(&line, &tooLong); ++number) {
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (Skipped(line)) continue;
        const bool first = headerPossible;
        headerPossible = false;
        if (first && !HasDigit(line)) continue;  // a header line such as "x,y"

        std::string_view text;
        const LineProblem problem =
            tooLong ? LineProblem::kTooLong : LineToCp437(line, &scratch, &text);
        if (problem != LineProblem::kNone) {
            lineFault(number, ProblemText(problem));
            continue;
        }
        double x = 0.0;
        double y = 0.0;
        ReadPoint(text, &x, &y);
        ExactResult e{};
        if (exact != nullptr) e = exact->Evaluate(x, y);
        AppendCsvRow(Calculate(x, y, nullptr), &rows, exact != nullptr ? &e : nullptr);
        if (rows.size() >= kRowsFlushBytes) flushRows();
    }
    flushRows();
    // The line being read and all after it are lost.
    if (reader.Failed()) lineFault(number, kReadError);
    if (file != nullptr) std::fclose(file);
    return writing ? status : kExitFailed;
}

}  // namespace calc
