// The dialogue's texts, in code page 437 ("\x84" is the letter a-umlaut).
#pragma once

#include <string_view>

namespace calc {

inline constexpr std::string_view kHeading =
    "        Berechnung der farbtongleichen Wellenl\x84nge aus x und y";
inline constexpr std::string_view kUnderline =
    "        ======================================================";
inline constexpr std::string_view kPromptX = "     Farbwertanteil x = ";
inline constexpr std::string_view kPromptY = "     Farbwertanteil y = ";
inline constexpr std::string_view kResultCaption = "   farbtongleiche Wellenl\x84nge la= ";

static_assert(kHeading.size() == 62);
static_assert(kUnderline.size() == 62);
static_assert(kPromptX.size() == 24 && kPromptY.size() == 24);
static_assert(kResultCaption.size() == 34);

}  // namespace calc
