// The browser host: the picture in RGBA for the page's 2D canvas, the key and
// focus events of the canvas (kept until the next update pass delivers them,
// in their order), the bell through WebAudio, the page's title and full
// screen.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "gfxwin/keys/virtual_keys.h"
#include "gfxwin/window/key_events.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/web/web_host.h"
#include "gfxwin/window/web/web_keyboard.h"
#include "platform/interrupt_source.h"

namespace gfxwin::web {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr const char* kCanvas = "#canvas";

// clang-format off
// The canvas of the page at the picture's size, focused, the page titled;
// false when the page has no canvas to draw into.
EM_JS(int, OpenCanvas, (int width, int height, const char* title), {
    const canvas = document.getElementById("canvas");
    const context = canvas && canvas.getContext ? canvas.getContext("2d", {alpha: false}) : null;
    if (!context) return 0;
    canvas.width = width;
    canvas.height = height;
    Module["wlContext"] = context;
    document.title = UTF8ToString(title);
    canvas.focus();
    return 1;
});

// Rows of RGBA pixels, `width` to a row, put on the canvas from row `first`.
EM_JS(void, PutRows, (const uint8_t* pixels, int width, int first, int count), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels + first * width * 4, width * count * 4);
    Module["wlContext"].putImageData(new ImageData(bytes, width, count), 0, first);
});

EM_JS(void, SetPageTitle, (const char* title), {
    document.title = UTF8ToString(title);
});

EM_JS(void, ShowCanvasPointer, (int visible), {
    const canvas = document.getElementById("canvas");
    if (canvas) canvas.style.cursor = visible ? "" : "none";
});

// The page in full screen, or back; the page scales the canvas to fit.
EM_JS(void, SetPageFullScreen, (int on), {
    const page = document.documentElement;
    if (on && !document.fullscreenElement && page.requestFullscreen) {
        page.requestFullscreen().catch(() => {});
    } else if (!on && document.fullscreenElement) {
        document.exitFullscreen().catch(() => {});
    }
});

// A short beep. The audio starts with the first beep; the browser allows
// that once the page has had a key.
EM_JS(void, Beep, (), {
    const Audio = window.AudioContext || window.webkitAudioContext;
    if (!Audio) return;
    const audio = Module["wlAudio"] || (Module["wlAudio"] = new Audio());
    if (audio.state === "suspended") audio.resume();
    const tone = audio.createOscillator();
    const volume = audio.createGain();
    tone.type = "square";
    tone.frequency.value = 750;
    volume.gain.value = 0.1;
    tone.connect(volume).connect(audio.destination);
    tone.start();
    tone.stop(audio.currentTime + 0.12);
});

// The audio goes with the window: a page that starts the dialogue again gets
// its own.
EM_JS(void, CloseAudio, (), {
    if (Module["wlAudio"]) Module["wlAudio"].close();
    Module["wlAudio"] = null;
});
// clang-format on

// One event of the canvas as it came.
struct CanvasEvent {
    enum Kind { kKeyDown, kKeyUp, kFocus, kBlur } kind;
    bool repeat;
    char code[EM_HTML5_SHORT_STRING_LEN_BYTES];
    char key[EM_HTML5_SHORT_STRING_LEN_BYTES];
};

class WebHost final : public host::WindowHost {
  public:
    WebHost() = default;
    ~WebHost() override { DestroyWindow(); }
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    bool CreateWindow(const host::WindowRequest& request) override;
    void DestroyWindow() override;

    uint8_t* Picture() override { return picture_.data(); }
    int32_t PicturePitch() const override { return width_ * 4; }
    // RGBA in memory: red in the low byte.
    host::PixelFormat Format() const override { return {32, 0xFF, 0xFF00, 0xFF0000}; }
    void ShowRows(int32_t first, int32_t count) override;

    void Pump(host::MessageSink& sink) override;
    bool ConnectionLost() const override { return false; }
    void KeyboardState(uint8_t state[256]) override { held_.State(state); }
    // The dialogue needs no pointer; the page does not report it.
    bool PointerInClient() override { return false; }

    void SetTitle(const char* title) override { SetPageTitle(title); }
    void MoveWindow(int32_t /*x*/, int32_t /*y*/) override {}
    bool WindowPosition(int32_t* /*x*/, int32_t* /*y*/) override { return false; }
    void WarpPointer(int32_t /*x*/, int32_t /*y*/) override {}
    void ShowPointer(bool visible) override { ShowCanvasPointer(visible ? 1 : 0); }
    void ConfinePointer(bool /*confine*/) override {}
    void RingBell() override { Beep(); }
    void SetFullScreen(bool fullScreen) override { SetPageFullScreen(fullScreen ? 1 : 0); }

    int32_t RefreshRate() override { return 0; }
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override;

  private:
    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self);
    static EM_BOOL OnFocus(int type, const EmscriptenFocusEvent* event, void* self);
    void Listen(bool on);
    void Queue(const CanvasEvent& event);
    void HandleKey(const CanvasEvent& event, host::MessageSink& sink);
    KeyFacts Describe(const CanvasEvent& event) const;

    int32_t width_ = 0, height_ = 0;
    std::vector<uint8_t> picture_;
    bool listening_ = false;
    std::vector<CanvasEvent> events_;  // since the last pump
    HeldKeys held_;                    // by key place (KeyPlace)
};

bool WebHost::CreateWindow(const host::WindowRequest& request) {
    if (request.width <= 0 || request.height <= 0) {
        return RefuseStart("kein Bild der Groesse %dx%d", request.width, request.height);
    }
    if (OpenCanvas(request.width, request.height, request.title) == 0) {
        return RefuseStart("die Seite hat keine Zeichenflaeche (canvas)");
    }
    width_ = request.width;
    height_ = request.height;
    picture_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0);
    Listen(true);
    return true;
}

void WebHost::DestroyWindow() {
    // The canvas keeps the last picture; the page decides what follows.
    Listen(false);
    CloseAudio();
    events_.clear();
    held_.ReleaseAll();
}

void WebHost::Listen(bool on) {
    if (on == listening_) return;
    listening_ = on;
    void* self = on ? this : nullptr;
    const em_key_callback_func key = on ? OnKey : nullptr;
    const em_focus_callback_func focus = on ? OnFocus : nullptr;
    emscripten_set_keydown_callback(kCanvas, self, true, key);
    emscripten_set_keyup_callback(kCanvas, self, true, key);
    emscripten_set_focus_callback(kCanvas, self, true, focus);
    emscripten_set_blur_callback(kCanvas, self, true, focus);
}

void WebHost::ShowRows(int32_t first, int32_t count) {
    if (first < 0 || count <= 0 || first + count > height_) return;
    // The converter leaves the fourth byte 0; the canvas takes it as alpha.
    const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(count);
    uint8_t* alpha =
        picture_.data() + static_cast<size_t>(first) * static_cast<size_t>(width_) * 4 + 3;
    for (size_t i = 0; i < pixels; ++i) alpha[4 * i] = 0xFF;
    PutRows(picture_.data(), width_, first, count);
}

void WebHost::ScreenSize(int32_t* width, int32_t* height, int32_t* depth) {
    int w = 0, h = 0;
    emscripten_get_screen_size(&w, &h);
    *width = w;
    *height = h;
    *depth = 32;
}

// Called by the browser between the program's turns. The program has the
// keys: the browser keeps only what it needs to stay usable (combinations with
// Ctrl or Meta, the function keys), so that no other key scrolls or leaves the
// page.
EM_BOOL WebHost::OnKey(int type, const EmscriptenKeyboardEvent* e, void* self) {
    CanvasEvent event{
        type == EMSCRIPTEN_EVENT_KEYDOWN ? CanvasEvent::kKeyDown : CanvasEvent::kKeyUp,
        e->repeat != 0,
        {},
        {}};
    std::strncpy(event.code, e->code, sizeof event.code - 1);
    std::strncpy(event.key, e->key, sizeof event.key - 1);
    static_cast<WebHost*>(self)->Queue(event);
    const std::string_view code = e->code;
    const bool functionKey = code.size() >= 2 && code[0] == 'F' && code[1] >= '1' && code[1] <= '9';
    return !(e->ctrlKey || e->metaKey || functionKey);
}

EM_BOOL WebHost::OnFocus(int type, const EmscriptenFocusEvent* /*e*/, void* self) {
    static_cast<WebHost*>(self)->Queue(
        {type == EMSCRIPTEN_EVENT_FOCUS ? CanvasEvent::kFocus : CanvasEvent::kBlur, false, {}, {}});
    return false;
}

// The program's wait ends at once, so that the event is served now.
void WebHost::Queue(const CanvasEvent& event) {
    events_.push_back(event);
    platform::WakeWaits();
}

KeyFacts WebHost::Describe(const CanvasEvent& event) const {
    WebKeyInput input;
    input.code = event.code;
    input.key = event.key;
    input.shift = held_.Held(vk::kShift);
    input.ctrl = held_.Held(vk::kControl);
    input.alt = held_.Held(vk::kMenu);
    return DescribeWebKey(input);
}

void WebHost::HandleKey(const CanvasEvent& event, host::MessageSink& sink) {
    const KeyFacts before = Describe(event);
    const int place = KeyPlace(before);
    if (event.kind == CanvasEvent::kKeyUp) {
        held_.Release(place);
        DeliverKeyUp(sink, before, held_);
        return;
    }
    const bool repeat = event.repeat || held_.Holds(place);
    // The key counts as held while its own message is handled.
    if (!repeat && place != 0) {
        const std::string_view code = event.code, key = event.key;
        held_.Press(place, HeldVirtualKeys(before, code == "ShiftRight", key == "AltGraph"));
    }
    DeliverKeyDown(sink, Describe(event), repeat, held_, nullptr);
}

void WebHost::Pump(host::MessageSink& sink) {
    // Messages can lead to more events only through the browser, which waits.
    const std::vector<CanvasEvent> events = std::move(events_);
    events_.clear();
    for (const CanvasEvent& event : events) {
        if (event.kind == CanvasEvent::kKeyDown || event.kind == CanvasEvent::kKeyUp) {
            HandleKey(event, sink);
            continue;
        }
        if (event.kind == CanvasEvent::kBlur) held_.ReleaseAll();
        WindowMessage m{MessageKind::kActivate};
        m.active = event.kind == CanvasEvent::kFocus;
        sink.Deliver(m);
    }
}

}  // namespace

host::WindowHost* OpenWebHost() {
    return new WebHost();
}

}  // namespace gfxwin::web
