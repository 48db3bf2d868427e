// The typed line and its item scanner: items end at commas and blanks, double
// quotes protect both, and 'D' exponents become 'E'.
#include "textio/input_context.h"

#include "textio/last_error.h"
#include "textio/text_to_number.h"

namespace textio {

namespace {

InputContext gContext{};

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

}  // namespace

InputContext& CurrentInputContext() {
    return gContext;
}

void ResetInputContext() {
    std::string().swap(gContext.text);
    gContext.channel = nullptr;
    gContext.status = 0;
    gContext.position = 0;
}

int NextChar() {
    if (gContext.position < 0 || static_cast<size_t>(gContext.position) >= gContext.text.size()) {
        return kEndOfText;
    }
    return static_cast<unsigned char>(gContext.text[static_cast<size_t>(gContext.position++)]);
}

void PutBackChar() {
    if (gContext.position > 0) --gContext.position;
}

Item NextItem(int max) {
    Item item{};
    if (max > kMaxItemLength) max = kMaxItemLength;
    if (max < 1) max = 1;
    int c;
    do {
        c = NextChar();
    } while (IsBlank(c));
    if (c == kEndOfText) return item;

    bool quoted = false;
    bool radixSeen = false;
    bool decideNext = true;  // whether the byte that ended the item still needs handling
    auto store = [&item](int byte) { item.bytes[item.length++] = static_cast<char>(byte); };

    for (;;) {
        if (IsBlank(c)) {
            if (!quoted) {
                do {
                    c = NextChar();
                } while (IsBlank(c));
                break;
            }
            store(c);
        } else if (c == '\n') {
            decideNext = false;
            break;
        } else if (c == '\r') {
            const int d = NextChar();
            if (d != '\n' && d != kEndOfText) PutBackChar();
            decideNext = false;
            break;
        } else if (c == '"') {
            if (quoted) {
                quoted = false;
            } else if (item.length > 0) {
                store(c);
            } else {
                quoted = true;
            }
        } else if (c == ',') {
            if (!quoted) {
                decideNext = false;
                break;
            }
            store(c);
        } else if (c == '&') {
            store(c);
            radixSeen = true;
        } else if (c == '.' || c == 'E' || c == 'e') {
            store(c);
            if (!radixSeen) item.floating = true;
        } else if (c == 'D' || c == 'd') {
            if (radixSeen) {
                store(c);
            } else {
                store(c == 'D' ? 'E' : 'e');
                item.floating = true;
            }
        } else {
            store(c);
        }
        c = NextChar();
        if (c == kEndOfText || item.length >= max) break;
    }

    if (decideNext && c != kEndOfText && c != ',' && c != '\n') {
        if (c == '\r') {
            const int d = NextChar();
            if (d != '\n' && d != kEndOfText) PutBackChar();
        } else {
            PutBackChar();
        }
    }
    item.bytes[item.length] = '\0';
    return item;
}

void InputReadDouble(double* value) {
    const Item item = NextItem(kMaxItemLength);
    *value = ItemAsDouble(item.bytes, item.length, item.floating);
    SetLastError(kOk);
}

}  // namespace textio
