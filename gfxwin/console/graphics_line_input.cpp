#include "gfxwin/console/graphics_line_input.h"

#include <new>

#include "gfxwin/text/text_console.h"
#include "textio/last_error.h"
#include "textio/line_input.h"

namespace gfxwin {

int GraphicsLineInput(const std::string_view* prompt, std::string* destination, int64_t /*size*/,
                      int /*fill*/, bool question, bool lineEnd) {
    return textio::EditedLineInput(prompt, destination, question, lineEnd, true);
}

std::string NarrowForScreen(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i)
        bytes.push_back(NarrowUnit(units.data(), units.size(), i));
    return bytes;
}

int GraphicsLineInputWide(const std::u16string_view* prompt, std::u16string* destination,
                          int64_t size, int fill, bool question, bool lineEnd) {
    std::string line;
    int code;
    try {
        std::string narrowPrompt;
        if (prompt != nullptr) narrowPrompt = NarrowForScreen(*prompt);
        const std::string_view view = narrowPrompt;
        code = GraphicsLineInput(prompt != nullptr ? &view : nullptr, &line, size, fill, question,
                                 lineEnd);
        if (code != textio::kOk) return code;
        std::u16string wide;
        wide.reserve(line.size());
        for (const char c : line) wide.push_back(static_cast<unsigned char>(c));
        *destination = std::move(wide);
    } catch (const std::bad_alloc&) {
        return textio::kErrOutOfMemory;
    }
    return textio::kOk;
}

}  // namespace gfxwin
