// The dialogue's texts as the end-to-end tests expect them: the heading, the
// prompts and the result caption, the transcript of a run on pipes, and the
// result files of the two sample inputs.
#pragma once

#include <string>

namespace dialoguetest {

inline const std::string kCrLf = "\r\n";
inline const std::string kHeading =
    "        Berechnung der farbtongleichen Wellenl\x84nge aus x und y";
inline const std::string kUnderline = "        " + std::string(54, '=');
inline const std::string kPromptX = "     Farbwertanteil x = ? ";
inline const std::string kPromptY = "     Farbwertanteil y = ? ";
inline const std::string kCaption = "   farbtongleiche Wellenl\x84nge la= ";

inline std::string Blanks(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

// What the screen shows of a run with piped input.
inline std::string Transcript(const std::string& typedX, const std::string& typedY,
                              const std::string& result) {
    return kHeading + kCrLf + kUnderline + kCrLf + kCrLf + kCrLf + kPromptX + typedX + kCrLf +
           kPromptY + typedY + kCrLf + kCrLf + kCaption + result + kCrLf;
}

// The result files of 0.3127 / 0.329 (spectral) and 0.4 / 0.2 (purple).
inline const std::string kSpectralFile = " 0.3127" + Blanks(7) + " 0.329" + Blanks(8) + " 0.3583" +
                                         kCrLf + " 380" + Blanks(10) + " 488.997" + kCrLf;
inline const std::string kPurpleFile = " 0.4" + Blanks(10) + " 0.2" + Blanks(10) + " 0.4" + kCrLf +
                                       " 0.2666666666666666" + Blanks(9) + " 0.4666666666666666" +
                                       Blanks(9) + " 0.2666666666666668" + kCrLf + " 380" +
                                       Blanks(10) + " 521.152" + kCrLf;

}  // namespace dialoguetest
