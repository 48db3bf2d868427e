// The line editor on the Null screen with scripted keys: each input byte
// picks one key (an editing key, an ignored key, or a character), and Enter
// ends the script. The returned line must equal a model of the editing rules
// kept here (a string and an index), Delete at the end must beep, and the text
// shadow must show exactly the line from the top left with blanks after it,
// with the cursor right after its end.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "textio/beep.h"
#include "textio/console.h"
#include "textio/edit_line.h"
#include "textio/runtime_state.h"
#include "textio/sleep.h"

namespace {

namespace key = textio::editkey;

constexpr int32_t kColumns = 80;
constexpr int32_t kRows = 30;
// The model stops taking keys that would make the line longer than this, so
// the line never scrolls the screen.
constexpr size_t kLongest = kColumns * kRows - kColumns;

struct Script {
    std::vector<int32_t> keys;
    size_t next = 0;
    int beeps = 0;
};
Script gScript;

// The editor sleeps while no key is waiting: post the next one.
void PostNextKey(int) {
    gfxwin::PostKey(gScript.next < gScript.keys.size() ? gScript.keys[gScript.next++]
                                                       : key::kEnter);
}

void CountBeep(int, int) {
    ++gScript.beeps;
}

// The editing rules on a plain string.
struct Model {
    std::string line;
    size_t pos = 0;
    int beeps = 0;

    // Applies `k`; false when the key would make the line too long.
    bool Apply(int32_t k) {
        const size_t len = line.size();
        switch (k) {
            case key::kBackspace:
                if (pos > 0) line.erase(--pos, 1);
                return true;
            case key::kTab: {
                const size_t n = 8 - pos % 8;
                if (len + n > kLongest) return false;
                line.insert(pos, n, ' ');
                pos += n;
                return true;
            }
            case key::kEscape:
                line.clear();
                pos = 0;
                return true;
            case key::kHome:
                pos = 0;
                return true;
            case key::kEnd:
                pos = len;
                return true;
            case key::kLeft:
                if (pos > 0) --pos;
                return true;
            case key::kRight:
                if (pos < len) ++pos;
                return true;
            case key::kUp:
                if (pos >= kColumns) pos -= kColumns;
                return true;
            case key::kDown:
                if (pos + kColumns <= len) pos += kColumns;
                return true;
            case key::kDelete:
                if (pos == len) {
                    ++beeps;
                } else {
                    line.erase(pos, 1);
                }
                return true;
            default:
                if (k >= 32 && k <= 255) {
                    if (len + 1 > kLongest) return false;
                    line.insert(pos++, 1, static_cast<char>(k));
                }
                return true;
        }
    }
};

int32_t KeyOf(uint8_t b) {
    static const int32_t kNamed[] = {
        key::kBackspace, key::kTab,  key::kEscape, key::kHome,
        key::kUp,        key::kLeft, key::kRight,  key::kEnd,
        key::kDown,      key::kDelete,
        textio::ExtendedKeyCode(textio::kKeyF1),  // ignored, as every other key
        textio::kCloseCode,                       // the close button: ignored too
    };
    constexpr uint8_t kNamedCount = sizeof kNamed / sizeof kNamed[0];
    if (b < kNamedCount) return kNamed[b];
    if (b < 32) return b == 10 || b == 13 ? 1 : b;  // control keys as they are, but no Enter
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("KRGFX", "null", 1);
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) std::abort();
    textio::ConsoleHooks& hooks = textio::Runtime().hooks;
    // The window fills the key slots; the Null screen has none.
    if (hooks.readKeyText == nullptr) hooks.readKeyText = gfxwin::ReadKeyText;
    if (hooks.keyWaiting == nullptr) hooks.keyWaiting = gfxwin::KeyAvailable;
    textio::SetSleepFunction(PostNextKey);
    textio::SetBeepService(CountBeep);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1024) return 0;
    gScript = Script{};
    Model model;
    for (size_t i = 0; i < size; ++i) {
        const int32_t k = KeyOf(data[i]);
        if (model.Apply(k)) gScript.keys.push_back(k);
    }
    gfxwin::ResetKeyBufferForTest();
    textio::ClearScreen();

    const std::optional<std::string> line = textio::EditLine(true);
    WL_FUZZ_CHECK(line.has_value(), "no line");
    WL_FUZZ_CHECK(gScript.next == gScript.keys.size(), "%zu of %zu keys taken", gScript.next,
                  gScript.keys.size());
    WL_FUZZ_CHECK(*line == model.line, "line of %zu bytes, model %zu", line->size(),
                  model.line.size());
    WL_FUZZ_CHECK(gScript.beeps == model.beeps, "%d beeps, model %d", gScript.beeps, model.beeps);

    const gfxwin::ScreenState* s = gfxwin::CurrentScreen();
    const gfxwin::TextCell* shadow = s->textShadow[gfxwin::GetDrawContext().workPage];
    for (size_t cell = 0; cell < static_cast<size_t>(kColumns * kRows); ++cell) {
        const int want = cell < line->size() ? static_cast<unsigned char>((*line)[cell]) : ' ';
        WL_FUZZ_CHECK(shadow[cell].code == want, "cell %zu shows %d, line %d", cell,
                      shadow[cell].code, want);
    }
    const auto end = static_cast<int32_t>(line->size());
    WL_FUZZ_CHECK(gfxwin::CursorColumn() == end % kColumns + 1 &&
                      gfxwin::CursorRow() == end / kColumns + 1,
                  "cursor at column %d, row %d after %d bytes", gfxwin::CursorColumn(),
                  gfxwin::CursorRow(), end);
    return 0;
}
