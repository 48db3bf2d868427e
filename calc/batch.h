// Batch mode: points from a file or standard input, read line by line the way
// the dialogue reads a typed line, and one CSV row per point on standard
// output (comma separator, line feed line ends, UTF-8), computed exactly as the
// dialogue computes. Opens no window and leaves the result file alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "calc/calculation.h"

namespace calc {

// The longest input line, in bytes without its line end.
constexpr size_t kBatchLineLimit = 4096;

inline constexpr std::string_view kCsvHeader = "x,y,z,wavelength_nm,kind\n";

// Appends the row "x,y,z,wavelength_nm,kind" and a line feed: the numbers as
// the result file writes them without the blank in the sign place; an empty
// wavelength for kind none.
void AppendCsvRow(const Calculation& c, std::string* out);

// x and y from one line of code page 437 text without its line end: the line
// becomes the typed line of the input context and its first two items are
// read as the dialogue reads them (a missing item reads 0).
void ReadPoint(std::string_view line, double* x, double* y);

enum class LineProblem { kNone, kTooLong, kNotUtf8, kNotCp437, kZeroByte };

// Turns one UTF-8 input line into code page 437 bytes in `out`.
LineProblem LineToCp437(std::string_view utf8, std::string* out);

// Reads `fileName` ("" or "-": standard input) to its end, writing the header
// and a row per point; each line that cannot be read gets a message with its
// number on standard error and no row. Returns the exit status: 0; 1 when a
// line was left out or the output could not be written; 2 when the file cannot
// be opened. Main thread only: it uses the process-wide input context and the
// segment stream.
int RunBatch(const std::string& fileName);

}  // namespace calc
