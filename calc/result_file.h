// The result file: one triple line per pass of the hue calculation, then the
// start wavelength and the result, in print format (14-column zones, CR LF).
#pragma once

#include <cstdint>

namespace calc {

constexpr const char* kResultFileName = "wellenlaenge.txt";
constexpr int kResultFileNumber = 1;

// Creates or empties the file as file number 1; the result is not examined.
void OpenResultFile();
void WriteTripleLine(double x, double y, double z);
void WriteResultLine(int64_t startWavelength, double la);
void CloseResultFile();

}  // namespace calc
