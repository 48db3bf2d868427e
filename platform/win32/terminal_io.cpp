// Terminal mode on Windows. Standard input and output are pipes, files or a
// console. Console text goes through UTF-16 (the program's bytes are turned
// into their characters and typed characters back into bytes through the
// character set the text layer names), so the console's own code page does not
// matter; pipes and files carry the bytes unchanged. In raw mode the keys of a
// console arrive as key events: characters become their bytes, and the cursor
// block and the function keys become the escape sequences a terminal sends for
// them.
#include "platform/terminal_io.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/wake_event.h"

namespace platform {

namespace {

// How often a wait looks at a pipe that has no data yet.
constexpr DWORD kPipePollMs = 10;

struct SavedModes {
    int fd = -1;
    DWORD mode = 0;
};

SavedModes gSaved;

// Until the text layer names its character set, bytes are Latin-1.
char32_t Latin1ToUnicode(unsigned char byte) {
    return byte;
}
int UnicodeToLatin1(char32_t ch) {
    return ch < 256 ? static_cast<int>(ch) : -1;
}
ByteCharset gCharset{Latin1ToUnicode, UnicodeToLatin1};

HANDLE HandleOf(int fd) {
    switch (fd) {
        case 0:
            return GetStdHandle(STD_INPUT_HANDLE);
        case 1:
            return GetStdHandle(STD_OUTPUT_HANDLE);
        case 2:
            return GetStdHandle(STD_ERROR_HANDLE);
        default:
            return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    }
}

bool Usable(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

bool IsConsole(HANDLE h) {
    DWORD mode = 0;
    return Usable(h) && GetConsoleMode(h, &mode) != 0;
}

void OpenConsoleHandle(DWORD which, const char* name, DWORD access) {
    if (Usable(GetStdHandle(which))) return;
    HANDLE h = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (Usable(h)) SetStdHandle(which, h);
}

bool WriteConsoleText(HANDLE h, const char* bytes, size_t length) {
    wchar_t wide[1024];
    while (length > 0) {
        const size_t n = std::min(length, sizeof wide / sizeof wide[0]);
        for (size_t i = 0; i < n; ++i) {
            wide[i] =
                static_cast<wchar_t>(gCharset.toUnicode(static_cast<unsigned char>(bytes[i])));
        }
        size_t done = 0;
        while (done < n) {
            DWORD written = 0;
            if (!WriteConsoleW(h, wide + done, static_cast<DWORD>(n - done), &written, nullptr) ||
                written == 0) {
                return false;
            }
            done += written;
        }
        bytes += n;
        length -= n;
    }
    return true;
}

// The byte of a typed UTF-16 character in the text layer's character set;
// '?' when the set has none for it.
unsigned char TypedByte(wchar_t ch) {
    const int byte = gCharset.fromUnicode(static_cast<char32_t>(ch));
    return byte >= 0 ? static_cast<unsigned char>(byte) : static_cast<unsigned char>('?');
}

// The escape sequence a terminal sends for a key without a character.
const char* SequenceOf(WORD virtualKey) {
    switch (virtualKey) {
        case VK_UP:
            return "\x1b[A";
        case VK_DOWN:
            return "\x1b[B";
        case VK_RIGHT:
            return "\x1b[C";
        case VK_LEFT:
            return "\x1b[D";
        case VK_HOME:
            return "\x1b[H";
        case VK_END:
            return "\x1b[F";
        case VK_INSERT:
            return "\x1b[2~";
        case VK_DELETE:
            return "\x1b[3~";
        case VK_PRIOR:
            return "\x1b[5~";
        case VK_NEXT:
            return "\x1b[6~";
        case VK_F1:
            return "\x1bOP";
        case VK_F2:
            return "\x1bOQ";
        case VK_F3:
            return "\x1bOR";
        case VK_F4:
            return "\x1bOS";
        case VK_F5:
            return "\x1b[15~";
        case VK_F6:
            return "\x1b[17~";
        case VK_F7:
            return "\x1b[18~";
        case VK_F8:
            return "\x1b[19~";
        case VK_F9:
            return "\x1b[20~";
        case VK_F10:
            return "\x1b[21~";
        case VK_F11:
            return "\x1b[23~";
        case VK_F12:
            return "\x1b[24~";
        default:
            return nullptr;
    }
}

// Raw console input: the key presses among the waiting input records.
long ReadConsoleKeys(HANDLE h, unsigned char* buffer, size_t size) {
    // The longest text of one record is a 5-byte sequence; repeats are capped
    // so that one read never overflows the buffer.
    constexpr size_t kLongest = 5;
    INPUT_RECORD records[64];
    DWORD waiting = 0;
    if (!GetNumberOfConsoleInputEvents(h, &waiting)) return 0;
    if (waiting == 0) return kReadAgain;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(
        {waiting, sizeof records / sizeof records[0], std::max<size_t>(size / kLongest, 1)}));
    DWORD got = 0;
    if (!ReadConsoleInputW(h, records, want, &got)) return 0;
    size_t length = 0;
    for (DWORD i = 0; i < got; ++i) {
        if (records[i].EventType != KEY_EVENT) continue;
        const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
        if (!key.bKeyDown) continue;
        char text[kLongest];
        size_t n = 0;
        if (key.uChar.UnicodeChar != 0) {
            text[n++] = static_cast<char>(TypedByte(key.uChar.UnicodeChar));
        } else if (const char* sequence = SequenceOf(key.wVirtualKeyCode)) {
            n = std::strlen(sequence);
            std::memcpy(text, sequence, n);
        }
        for (WORD r = 0; r < std::max<WORD>(key.wRepeatCount, 1) && length + n <= size; ++r) {
            std::memcpy(buffer + length, text, n);
            length += n;
        }
    }
    return length > 0 ? static_cast<long>(length) : kReadAgain;
}

// Line-mode console input: the console edits the line; its characters become
// bytes of the text layer's character set.
long ReadConsoleLine(HANDLE h, unsigned char* buffer, size_t size) {
    wchar_t wide[512];
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(size, sizeof wide / sizeof wide[0]));
    if (!ReadConsoleW(h, wide, want, &got, nullptr)) {
        return GetLastError() == ERROR_OPERATION_ABORTED ? kReadAgain : 0;
    }
    if (got == 0) return kReadAgain;  // a Ctrl+C cut the read short
    for (DWORD i = 0; i < got; ++i) buffer[i] = TypedByte(wide[i]);
    return static_cast<long>(got);
}

}  // namespace

void PrepareStandardStreams(const ByteCharset& charset) {
    gCharset = charset;
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    if (Usable(GetStdHandle(STD_INPUT_HANDLE)) && Usable(GetStdHandle(STD_OUTPUT_HANDLE))) return;
    // A windowed program started without redirection has no standard streams:
    // it borrows the console of the program that started it, or opens one.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && !AllocConsole()) return;
    OpenConsoleHandle(STD_INPUT_HANDLE, "CONIN$", GENERIC_READ | GENERIC_WRITE);
    OpenConsoleHandle(STD_OUTPUT_HANDLE, "CONOUT$", GENERIC_READ | GENERIC_WRITE);
    OpenConsoleHandle(STD_ERROR_HANDLE, "CONOUT$", GENERIC_READ | GENERIC_WRITE);
}

bool IsTerminal(int fd) {
    return IsConsole(HandleOf(fd));
}

bool LocaleUsesUtf8() {
    return false;
}

// Consoles get characters, pipes and files the bytes: no locale decides.
bool LocaleIsPlainC() {
    return false;
}

bool ControlsScreen(int fd) {
    return IsConsole(HandleOf(fd));
}

bool ScreenControlInStream() {
    return false;
}

// Console calls, which every console carries out (escape sequences need a
// console that interprets them).
size_t ControlScreen(int fd, ScreenControl what, int row, int column,
                     char (&)[kMaxControlSequence]) {
    HANDLE h = HandleOf(fd);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!Usable(h) || !GetConsoleScreenBufferInfo(h, &info)) return 0;
    switch (what) {
        case ScreenControl::kClear: {
            const DWORD cells =
                static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
            DWORD done = 0;
            FillConsoleOutputCharacterW(h, L' ', cells, COORD{0, 0}, &done);
            FillConsoleOutputAttribute(h, info.wAttributes, cells, COORD{0, 0}, &done);
            SetConsoleCursorPosition(h, COORD{0, 0});
            break;
        }
        case ScreenControl::kMoveCursor: {
            const int x = std::clamp(column - 1, 0, info.dwSize.X - 1);
            const int y = std::clamp(info.srWindow.Top + row - 1, 0, info.dwSize.Y - 1);
            SetConsoleCursorPosition(h, COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)});
            break;
        }
        case ScreenControl::kHideCursor:
        case ScreenControl::kShowCursor: {
            CONSOLE_CURSOR_INFO cursor{};
            if (GetConsoleCursorInfo(h, &cursor)) {
                cursor.bVisible = what == ScreenControl::kShowCursor;
                SetConsoleCursorInfo(h, &cursor);
            }
            break;
        }
    }
    return 0;
}

bool SaveTerminalModes(int fd) {
    HANDLE h = HandleOf(fd);
    DWORD mode = 0;
    if (!Usable(h) || !GetConsoleMode(h, &mode)) return false;
    gSaved.fd = fd;
    gSaved.mode = mode;
    return true;
}

void SetRawMode(int fd, bool raw) {
    if (gSaved.fd != fd) return;
    HANDLE h = HandleOf(fd);
    // Ctrl+C stays a control event (processed input) in raw mode too.
    const DWORD mode =
        raw ? (gSaved.mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) |
                  ENABLE_PROCESSED_INPUT
            : gSaved.mode;
    SetConsoleMode(h, mode);
}

namespace {

// Why WriteFile failed.
IoError WriteError() {
    switch (GetLastError()) {
        case ERROR_NO_DATA:
        case ERROR_BROKEN_PIPE:
            return IoError::kClosed;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return IoError::kNoSpace;
        case ERROR_ACCESS_DENIED:
            return IoError::kNoPermission;
        case ERROR_WRITE_PROTECT:
            return IoError::kReadOnly;
        default:
            return IoError::kOther;
    }
}

}  // namespace

IoError WriteAll(int fd, const char* bytes, size_t length) {
    HANDLE h = HandleOf(fd);
    if (!Usable(h)) return IoError::kOther;
    if (IsConsole(h)) return WriteConsoleText(h, bytes, length) ? IoError::kNone : IoError::kOther;
    while (length > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
        if (!WriteFile(h, bytes, chunk, &written, nullptr)) return WriteError();
        if (written == 0) return IoError::kOther;
        bytes += written;
        length -= written;
    }
    return IoError::kNone;
}

WaitResult WaitForInput(int fd, int timeoutMs) {
    HANDLE h = HandleOf(fd);
    if (!Usable(h)) return WaitResult::kFailed;
    HANDLE wake = WakeEvent();
    if (wake != nullptr && WaitForSingleObject(wake, 0) == WAIT_OBJECT_0) return WaitResult::kWoken;
    const DWORD timeout = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);

    if (IsConsole(h)) {
        HANDLE handles[2] = {h, wake};
        const DWORD r = WaitForMultipleObjects(wake != nullptr ? 2 : 1, handles, FALSE, timeout);
        if (r == WAIT_OBJECT_0) return WaitResult::kReady;
        if (r == WAIT_OBJECT_0 + 1) return WaitResult::kWoken;
        if (r == WAIT_TIMEOUT) return WaitResult::kTimedOut;
        return WaitResult::kFailed;
    }
    if (GetFileType(h) != FILE_TYPE_PIPE) return WaitResult::kReady;  // files never block

    // A pipe cannot be waited on: look at it until data or its end is there.
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(h, nullptr, 0, nullptr, &available, nullptr) || available > 0) {
            return WaitResult::kReady;  // data, or the end of input for the read to report
        }
        DWORD pause = kPipePollMs;
        if (timeoutMs >= 0) {
            const ULONGLONG spent = GetTickCount64() - start;
            if (spent >= static_cast<ULONGLONG>(timeoutMs)) return WaitResult::kTimedOut;
            pause = std::min<DWORD>(pause, static_cast<DWORD>(timeoutMs - spent));
        }
        if (wake != nullptr) {
            if (WaitForSingleObject(wake, pause) == WAIT_OBJECT_0) return WaitResult::kWoken;
        } else {
            Sleep(pause);
        }
    }
}

long ReadSome(int fd, unsigned char* buffer, size_t size) {
    HANDLE h = HandleOf(fd);
    if (!Usable(h)) return 0;
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        if (mode & ENABLE_LINE_INPUT) return ReadConsoleLine(h, buffer, size);
        return ReadConsoleKeys(h, buffer, size);
    }
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!ReadFile(h, buffer, want, &got, nullptr)) {
        switch (GetLastError()) {
            case ERROR_OPERATION_ABORTED:
                return kReadAgain;
            case ERROR_BROKEN_PIPE:  // the writing end is closed
            case ERROR_HANDLE_EOF:
                return 0;
            default:
                return kReadFailed;
        }
    }
    return static_cast<long>(got);  // 0: the end of input
}

}  // namespace platform
