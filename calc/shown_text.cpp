#include "calc/shown_text.h"

#include <utility>

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
    return textio::TextForStream(fd, cp437);
}

std::string ShownName(int fd, std::string_view name) {
    const bool utf8 = textio::TerminalUtf8For(fd);
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!textio::IsControlByte(byte)) {
            out.push_back(c);
            continue;
        }
        char picture[4];
        out.append(picture, textio::ControlPicture(byte, utf8, picture));
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
        textio::SayOnStandardError(std::string(kStandardOutputName) + ": " +
                                   std::string(kWriteError) + " (" +
                                   std::string(IoErrorText(error)) + ")");
    }
    return false;
}

std::string_view IoErrorText(platform::IoError error) {
    using platform::IoError;
    static constexpr TextTable<IoError> kTexts[] = {
        {IoError::kClosed, "der Empf\x84nger ist nicht mehr da"},
        {IoError::kNoSpace, "kein Platz mehr auf dem Ger\x84t"},
        {IoError::kNoPermission, "keine Berechtigung"},
        {IoError::kReadOnly, "nur lesbares Dateisystem"},
        {IoError::kTooLarge, "Datei zu gro\xe1"},
        {IoError::kNotFound, "nicht gefunden"},
        {IoError::kInterrupted, "unterbrochen"},
        {IoError::kNotOpen,
         "nicht ge\x94"
         "ffnet"},
    };
    return TextFor(kTexts, error, kErrorOther);
}

}  // namespace calc
