// Windows virtual-key numbers: the key identity that the window procedure,
// the key translation and every host pass along, whatever the window system.
// Named without the system headers, whose macros are not available (or are
// in the way) outside the Windows host.
#pragma once

namespace gfxwin::vk {

inline constexpr int kBack = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kClear = 0x0C;  // keypad 5 without Num Lock
inline constexpr int kReturn = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kMenu = 0x12;  // Alt
inline constexpr int kPause = 0x13;
inline constexpr int kCapital = 0x14;  // Caps Lock
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kPrior = 0x21;  // Page Up
inline constexpr int kNext = 0x22;   // Page Down
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kSnapshot = 0x2C;  // Print Screen
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
inline constexpr int kLeftWin = 0x5B;
inline constexpr int kRightWin = 0x5C;
inline constexpr int kApps = 0x5D;  // the menu key
inline constexpr int kNumpad0 = 0x60;
inline constexpr int kNumpad4 = 0x64;
inline constexpr int kNumpad8 = 0x68;
inline constexpr int kMultiply = 0x6A;
inline constexpr int kAdd = 0x6B;
inline constexpr int kSeparator = 0x6C;
inline constexpr int kSubtract = 0x6D;
inline constexpr int kDecimal = 0x6E;
inline constexpr int kDivide = 0x6F;
inline constexpr int kF1 = 0x70;
inline constexpr int kF4 = 0x73;
inline constexpr int kF10 = 0x79;
inline constexpr int kF11 = 0x7A;
inline constexpr int kNumLock = 0x90;
inline constexpr int kScroll = 0x91;  // Scroll Lock
inline constexpr int kLeftShift = 0xA0;
inline constexpr int kRightShift = 0xA1;
inline constexpr int kLeftControl = 0xA2;
inline constexpr int kRightControl = 0xA3;
inline constexpr int kLeftMenu = 0xA4;
inline constexpr int kRightMenu = 0xA5;
inline constexpr int kOem1 = 0xBA;
inline constexpr int kOemPlus = 0xBB;
inline constexpr int kOemComma = 0xBC;
inline constexpr int kOemMinus = 0xBD;
inline constexpr int kOemPeriod = 0xBE;
inline constexpr int kOem2 = 0xBF;
inline constexpr int kOem3 = 0xC0;
inline constexpr int kOem4 = 0xDB;
inline constexpr int kOem5 = 0xDC;
inline constexpr int kOem6 = 0xDD;
inline constexpr int kOem7 = 0xDE;
inline constexpr int kOem102 = 0xE2;  // the key between left Shift and Z on 102-key keyboards

}  // namespace gfxwin::vk
