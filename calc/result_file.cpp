#include "calc/result_file.h"

#include "textio/file_record.h"
#include "textio/files.h"
#include "textio/print.h"

namespace calc {

void OpenResultFile() {
    textio::FileOpen(kResultFileName, textio::kModeOutput, textio::kAccessNone, 0,
                     kResultFileNumber, 0);
}

void WriteTripleLine(double x, double y, double z) {
    textio::PrintDouble(kResultFileNumber, x, textio::kMaskZone);
    textio::PrintDouble(kResultFileNumber, y, textio::kMaskZone);
    textio::PrintDouble(kResultFileNumber, z, textio::kMaskLineEnd);
}

void WriteResultLine(double la) {
    textio::PrintInt64(kResultFileNumber, kStartWavelength, textio::kMaskZone);
    textio::PrintDouble(kResultFileNumber, la, textio::kMaskLineEnd);
}

void CloseResultFile() {
    textio::FileClose(kResultFileNumber);
}

}  // namespace calc
