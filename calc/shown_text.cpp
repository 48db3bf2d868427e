#include "calc/shown_text.h"

#include "calc/command_line_texts.h"
#include "platform/terminal_io.h"
#include "textio/cp437.h"
#include "textio/interrupts.h"
#include "textio/terminal.h"

namespace calc {

void ReadyStandardStreams() {
    // The terminal layer readies them when it is first asked anything.
    textio::TerminalUtf8();
}

std::string ShownText(int fd, std::string_view cp437) {
    const bool utf8 = textio::TerminalUtf8For(fd);
    std::string out;
    out.reserve(cp437.size() + cp437.size() / 8);
    for (const char c : cp437) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || !utf8) {
            out.push_back(c);
            continue;
        }
        char encoded[4];
        out.append(encoded, textio::EncodeUtf8(textio::Cp437ToUnicode(byte), encoded));
    }
    return out;
}

platform::IoError WriteOut(int fd, std::string_view bytes) {
    return textio::WriteOrEnd(fd, bytes.data(), bytes.size());
}

bool WriteStandardOutput(std::string_view bytes) {
    const platform::IoError error = WriteOut(kStandardOutput, bytes);
    if (error == platform::IoError::kNone) return true;
    if (error != platform::IoError::kClosed) {
        WriteOut(kStandardError, "wellenlaenge: " + ShownText(kStandardError, kStandardOutputName) +
                                     ": " + ShownText(kStandardError, kWriteError) + " (" +
                                     ShownText(kStandardError, IoErrorText(error)) + ")\n");
    }
    return false;
}

std::string_view IoErrorText(platform::IoError error) {
    using platform::IoError;
    switch (error) {
        case IoError::kClosed:
            return kErrorClosed;
        case IoError::kNoSpace:
            return kErrorNoSpace;
        case IoError::kNoPermission:
            return kErrorNoPermission;
        case IoError::kReadOnly:
            return kErrorReadOnly;
        case IoError::kTooLarge:
            return kErrorTooLarge;
        case IoError::kNotFound:
            return kErrorNotFound;
        case IoError::kInterrupted:
            return kErrorInterrupted;
        case IoError::kNotOpen:
            return kErrorNotOpen;
        case IoError::kNone:
        case IoError::kOther:
            break;
    }
    return kErrorOther;
}

}  // namespace calc
