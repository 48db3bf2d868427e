// The result file: one triple line per pass of the hue calculation, then the
// start wavelength and the result, in print format (14-column zones, CR LF).
#pragma once

#include <cstdint>

#include "platform/file_io.h"

namespace calc {

constexpr const char* kResultFileName = "wellenlaenge.txt";
constexpr int kResultFileNumber = 1;
// The result line's first field: the short-wave end of the visible spectrum
// in nm, the same for every input.
constexpr int64_t kStartWavelength = 380;

// Creates or empties the file as file number 1; false when it cannot be made
// (the dialogue goes on, and the prints to it write nothing).
bool OpenResultFile();
void WriteTripleLine(double x, double y, double z);
// The start wavelength and the result la.
void WriteResultLine(double la);
// Writes the file out and closes it; false when that failed (or it was not
// open), textio::LastSystemError() then tells why.
bool CloseResultFile();
// The line on standard error for a result file that could not be written,
// with the reason the system gave.
void SayResultFileNotWritten(platform::IoError why);

}  // namespace calc
