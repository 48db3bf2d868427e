// Code page 437, the character set of every text the program shows and writes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

// The Unicode character of a code page 437 byte. Bytes below 0x80 map to
// themselves (control bytes stay control bytes).
char32_t Cp437ToUnicode(unsigned char byte);

// The code page 437 byte of a Unicode character, or -1 when it has none.
int UnicodeToCp437(char32_t ch);

// The character the font draws for a byte: as Cp437ToUnicode, except that the
// control bytes 1 to 31 and 127 give their pictures ("☺" to "▼", "⌂") and 0 a
// blank.
char32_t Cp437Glyph(unsigned char byte);

// Appends the UTF-8 form of `ch` to out (at most 4 bytes); returns the count.
size_t EncodeUtf8(char32_t ch, char* out);

// True for the bytes that control a terminal: 0 to 31 and 127.
inline bool IsControlByte(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}
// What is written in place of a control byte, so that it shows and does not
// act: its picture ("←" for Escape) in UTF-8 when `utf8`, else a blank for 0
// and "?" for the others. Writes at most 4 bytes; returns the count.
size_t ControlPicture(unsigned char byte, bool utf8, char* out);

// Turns UTF-8 into code page 437 bytes, piece by piece. A character without a
// code page 437 byte becomes "?", and so does every longest run of bytes that
// starts a character but cannot go on (a stray or unexpected byte on its own).
// A character cut off at the end of a piece is completed by the next one.
class Utf8ToCp437 {
  public:
    enum class Problem { kNone, kNotUtf8, kNotCp437 };

    // Converts `length` bytes into `out`, which must have room for length + 1
    // bytes (a cut character that breaks off adds one "?"); returns the count
    // written.
    size_t Convert(const unsigned char* in, size_t length, unsigned char* out);
    // The input has ended: a cut character becomes "?". Writes at most 1 byte.
    size_t Finish(unsigned char* out);
    // What gave the first "?" since the decoder was made: bytes that are not
    // UTF-8, or a character that code page 437 does not have.
    Problem FirstProblem() const { return problem_; }

  private:
    // Takes one byte; writes 0, 1 or 2 bytes to out and returns the count.
    size_t Take(unsigned char byte, unsigned char* out);
    void Replaced(Problem why) {
        if (problem_ == Problem::kNone) problem_ = why;
    }

    int need_ = 0;  // continuation bytes still missing
    char32_t ch_ = 0;
    unsigned char low_ = 0x80;  // range of the next continuation byte
    unsigned char high_ = 0xBF;
    Problem problem_ = Problem::kNone;
};

}  // namespace textio
