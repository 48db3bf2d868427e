// Batch mode: points from a file or standard input, read line by line the way
// the dialogue reads a typed line, and one CSV row per point on standard
// output (comma separator, line feed line ends, UTF-8), computed exactly as the
// dialogue computes. Opens no window and leaves the result file alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "calc/calculation.h"
#include "calc/exact_wavelength.h"

namespace calc {

// The longest input line, in bytes without its line end.
constexpr size_t kBatchLineLimit = 4096;

inline constexpr std::string_view kCsvHeader = "x,y,z,wavelength_nm,kind\n";
// With the exact columns.
inline constexpr std::string_view kCsvHeaderExact =
    "x,y,z,wavelength_nm,kind,exact_wavelength_nm,exact_kind,excitation_purity\n";

// Appends the row "x,y,z,wavelength_nm,kind", with `exact` also
// ",exact_wavelength_nm,exact_kind,excitation_purity", and a line feed. Each
// number is the shortest text that reads back as the same double ("inf",
// "-inf" and "nan" for the non-finite ones); a wavelength is empty for kind
// none, the purity for input that is not finite.
void AppendCsvRow(const Calculation& c, std::string* out, const ExactResult* exact = nullptr);

// x and y from one line of code page 437 text without its line end: its first
// two items, read as the dialogue reads a typed line (a missing item reads 0).
// Pure: any thread.
void ReadPoint(std::string_view line, double* x, double* y);

enum class LineProblem { kNone, kTooLong, kNotUtf8, kNotCp437, kZeroByte };

// The code page 437 text of one UTF-8 input line in `text`: the line itself
// when it is plain ASCII, else its conversion in `scratch`.
LineProblem LineToCp437(std::string_view utf8, std::string* scratch, std::string_view* text);

// Reads `fileName` ("" or "-": standard input) to its end, writing the header
// and a row per point, with the exact columns for `exact`'s white point when
// it is given; each line that cannot be read gets a message with its
// number on standard error and no row. Returns the exit status: 0; 1 when a
// line was left out or the output could not be written (said on standard
// error, except for a closed pipe); 2 when the file cannot be opened. Main
// thread.
int RunBatch(const std::string& fileName, const ExactLocus* exact);

}  // namespace calc
