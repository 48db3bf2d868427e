// The terminal key decoder on byte streams from a pipe. The first input byte
// picks the mode:
// - bit 1 clear: the rest arrives as it is. Every key read must be a byte or
//   a key code the program knows, never more keys than bytes. With bit 0 set
//   the terminal speaks UTF-8; when the rest is valid UTF-8 (the C library's
//   own decoder says so) without Escape or DEL, each character must come out
//   as its code page 437 byte from the C library's converter, or "?".
// - bit 1 set: the rest chooses a list of keys (named keys with one of their
//   escape sequences, and printable characters), which is typed and must be
//   read back as exactly that list.
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <unistd.h>

#include <cstdint>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "textio/key_code.h"
#include "textio/terminal.h"
#include "textio/terminal_keys.h"

namespace {

using textio::ExtendedKeyCode;

struct Sequence {
    const char* bytes;
    int32_t code;
};

// Escape sequences of terminals for the keys the program knows (xterm, VT
// and Linux console forms, with and without modifiers).
const std::vector<Sequence>& KnownSequences() {
    static const std::vector<Sequence> table = {
        {"\x1b[A", ExtendedKeyCode(72)},    {"\x1b[B", ExtendedKeyCode(80)},
        {"\x1b[C", ExtendedKeyCode(77)},    {"\x1b[D", ExtendedKeyCode(75)},
        {"\x1bOA", ExtendedKeyCode(72)},    {"\x1bOD", ExtendedKeyCode(75)},
        {"\x1b[H", ExtendedKeyCode(71)},    {"\x1b[F", ExtendedKeyCode(79)},
        {"\x1bOH", ExtendedKeyCode(71)},    {"\x1bOF", ExtendedKeyCode(79)},
        {"\x1b[1~", ExtendedKeyCode(71)},   {"\x1b[2~", ExtendedKeyCode(82)},
        {"\x1b[3~", ExtendedKeyCode(83)},   {"\x1b[4~", ExtendedKeyCode(79)},
        {"\x1b[5~", ExtendedKeyCode(73)},   {"\x1b[6~", ExtendedKeyCode(81)},
        {"\x1b[7~", ExtendedKeyCode(71)},   {"\x1b[8~", ExtendedKeyCode(79)},
        {"\x1bOP", ExtendedKeyCode(59)},    {"\x1bOS", ExtendedKeyCode(62)},
        {"\x1b[11~", ExtendedKeyCode(59)},  {"\x1b[15~", ExtendedKeyCode(63)},
        {"\x1b[17~", ExtendedKeyCode(64)},  {"\x1b[21~", ExtendedKeyCode(68)},
        {"\x1b[23~", ExtendedKeyCode(133)}, {"\x1b[24~", ExtendedKeyCode(134)},
        {"\x1b[[A", ExtendedKeyCode(59)},   {"\x1b[[E", ExtendedKeyCode(63)},
        {"\x1b[1;5C", ExtendedKeyCode(77)}, {"\x1b[3;2~", ExtendedKeyCode(83)},
        {"\x1b[1;2P", ExtendedKeyCode(59)}, {"\x7f", 8},
    };
    return table;
}

// Every extended key code the decoder may return.
const std::set<int32_t>& KnownCodes() {
    static const std::set<int32_t> codes = [] {
        std::set<int32_t> s;
        for (int b : {71, 72, 73, 75, 77, 79, 80, 81, 82, 83, 133, 134}) s.insert(ExtendedKeyCode(b));
        for (int b = 59; b <= 68; ++b) s.insert(ExtendedKeyCode(b));
        return s;
    }();
    return codes;
}

// Unicode to code page 437 from the C library's converter.
const std::map<wchar_t, int>& Cp437FromConverter() {
    static const std::map<wchar_t, int> table = [] {
        std::map<wchar_t, int> m;
        iconv_t cd = iconv_open("WCHAR_T", "CP437");
        if (cd == reinterpret_cast<iconv_t>(-1)) return m;
        for (int b = 0; b < 256; ++b) {
            char in[1] = {static_cast<char>(b)};
            wchar_t out[2] = {};
            char* inPtr = in;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 1, outLeft = sizeof out;
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
                m[out[0]] = b;
            }
        }
        iconv_close(cd);
        return m;
    }();
    return table;
}

// The characters of `text` by the C library's UTF-8 decoder; false when it is
// not valid UTF-8 (by RFC 3629).
bool DecodeUtf8(const std::string& text, std::vector<wchar_t>* out) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 == static_cast<locale_t>(0)) return false;
    const locale_t previous = uselocale(utf8);
    std::mbstate_t state{};
    bool ok = true;
    for (size_t i = 0; i < text.size();) {
        wchar_t ch = 0;
        const size_t n = std::mbrtowc(&ch, text.data() + i, text.size() - i, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            ok = false;
            break;
        }
        // The C library also takes the old five- and six-byte forms and
        // surrogates, which UTF-8 has not allowed since RFC 3629.
        if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
            ok = false;
            break;
        }
        out->push_back(ch);
        i += n == 0 ? 1 : n;
    }
    uselocale(previous);
    return ok;
}

int NullDevice() {
    static const int fd = open("/dev/null", O_WRONLY);
    return fd;
}

// Every key the terminal reads from `typed`.
std::vector<int32_t> ReadKeys(const std::string& typed, bool utf8) {
    std::vector<int32_t> codes;
    int p[2];
    if (pipe(p) != 0) return codes;
    size_t done = 0;
    while (done < typed.size()) {
        const ssize_t n = write(p[1], typed.data() + done, typed.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(p[1]);
    textio::TerminalAttach(p[0], NullDevice(), utf8);
    for (int32_t code = textio::TerminalReadKeyCode(-1); code >= 0;
         code = textio::TerminalReadKeyCode(-1)) {
        codes.push_back(code);
    }
    textio::TerminalAttach(-1, NullDevice(), false);
    close(p[0]);
    return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The whole input goes into a pipe at once: stay below its capacity.
    if (size == 0 || size > 16384) return 0;
    const bool utf8 = (data[0] & 1) != 0;
    const bool listOfKeys = (data[0] & 2) != 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (listOfKeys) {
        std::string typed;
        std::vector<int32_t> expected;
        for (unsigned char b : rest) {
            const auto& table = KnownSequences();
            if (b < 0x80) {
                const Sequence& s = table[b % table.size()];
                typed += s.bytes;
                expected.push_back(s.code);
            } else {
                const char c = static_cast<char>(0x20 + (b - 0x80) % 0x5F);  // ' '..'~'
                typed.push_back(c);
                expected.push_back(c);
            }
        }
        const std::vector<int32_t> got = ReadKeys(typed, utf8);
        WL_FUZZ_CHECK(got == expected, "%zu keys read, %zu typed", got.size(), expected.size());
        return 0;
    }

    const std::vector<int32_t> got = ReadKeys(rest, utf8);
    WL_FUZZ_CHECK(got.size() <= rest.size(), "%zu keys from %zu bytes", got.size(), rest.size());
    for (int32_t code : got) {
        WL_FUZZ_CHECK((code >= 0 && code <= 255) || KnownCodes().count(code) == 1,
                      "unknown key code %d", code);
    }
    std::vector<wchar_t> characters;
    if (utf8 && rest.find_first_of("\x1b\x7f") == std::string::npos &&
        DecodeUtf8(rest, &characters)) {
        std::vector<int32_t> expected;
        for (wchar_t ch : characters) {
            const auto it = Cp437FromConverter().find(ch);
            expected.push_back(ch < 0x80 ? static_cast<int32_t>(ch)
                                         : it != Cp437FromConverter().end() ? it->second : '?');
        }
        WL_FUZZ_CHECK(got == expected, "UTF-8: %zu keys, %zu characters", got.size(),
                      expected.size());
    }
    return 0;
}
