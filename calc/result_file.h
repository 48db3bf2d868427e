// The result file: one triple line per pass of the hue calculation, then the
// start wavelength and the result, in print format (14-column zones, CR LF).
#pragma once

#include <cstdint>

namespace calc {

constexpr const char* kResultFileName = "wellenlaenge.txt";
constexpr int kResultFileNumber = 1;
// The result line's first field: the short-wave end of the visible spectrum
// in nm, the same for every input.
constexpr int64_t kStartWavelength = 380;

// Creates or empties the file as file number 1; the result is not examined.
void OpenResultFile();
void WriteTripleLine(double x, double y, double z);
// The start wavelength and the result la.
void WriteResultLine(double la);
void CloseResultFile();

}  // namespace calc
