// Key codes, as the window posts them and the terminal decodes them: a
// character byte, or an extended key, the byte 255 followed by a second byte b,
// stored as 255 + 256 * b and read as the two bytes 255, b. 0 means no key.
// The second bytes follow the PC keyboard BIOS codes (F1 is 59, Up is 72,
// Alt+F4 is 107).
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

// The code of the extended key whose second byte is `secondByte`.
constexpr int32_t ExtendedKeyCode(int secondByte) {
    return 255 + 256 * secondByte;
}

// Second bytes of the extended keys the editor and the terminal know by name.
enum ExtendedKeyByte : int {
    kKeyF1 = 59,  // F1..F10 are 59..68
    kKeyHome = 71,
    kKeyUp = 72,
    kKeyPageUp = 73,
    kKeyLeft = 75,
    kKeyRight = 77,
    kKeyEnd = 79,
    kKeyDown = 80,
    kKeyPageDown = 81,
    kKeyInsert = 82,
    kKeyDelete = 83,
    kKeyAltF4 = 107,
    kKeyF11 = 133,
    kKeyF12 = 134,
};

// 255 followed by 'k': Alt+F4, and the code the window's close button posts.
constexpr int32_t kCloseCode = ExtendedKeyCode(kKeyAltF4);
static_assert(kCloseCode == 27647);

// The key text of `code`: one byte, or 255 and the second byte of an extended
// key. Returns its length.
inline size_t KeyCodeText(int32_t code, char out[2]) {
    if (code > 255) {
        out[0] = static_cast<char>(code & 0xFF);
        out[1] = static_cast<char>((code >> 8) & 0xFF);
        return 2;
    }
    out[0] = static_cast<char>(code & 0xFF);
    return 1;
}

// The code of a key text of one or two bytes (the inverse of KeyCodeText for
// codes 1..255 and extended keys).
inline int32_t KeyCodeOfText(const char* text, size_t length) {
    const auto first = static_cast<unsigned char>(text[0]);
    if (length == 1) return first;
    return ExtendedKeyCode(static_cast<unsigned char>(text[1]));
}

}  // namespace textio
