#include "calc/result_file.h"

#include <string>

#include "calc/command_line_texts.h"
#include "calc/shown_text.h"
#include "textio/file_record.h"
#include "textio/files.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/terminal.h"

namespace calc {

bool OpenResultFile() {
    return textio::FileOpen(kResultFileName, textio::kModeOutput, textio::kAccessNone, 0,
                            kResultFileNumber, 0) == textio::kOk;
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

bool CloseResultFile() {
    return textio::FileClose(kResultFileNumber) == textio::kOk;
}

void SayResultFileNotWritten(platform::IoError why) {
    textio::SayOnStandardError(std::string(kResultFileName) + ": " +
                               std::string(kResultFileNotWritten) + " (" +
                               std::string(IoErrorText(why)) + ")");
}

}  // namespace calc
