// The typed line and its item scanner.
#include "textio/input_context.h"

#include "textio/last_error.h"
#include "textio/text_to_number.h"

namespace textio {

namespace {

InputContext gContext{};

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

// Runs `scan` on a scanner over the context's text at its position, and
// keeps the position the scanner reached.
template <typename Scan>
auto ScanContext(Scan scan) {
    const size_t start = gContext.position < 0 ? gContext.text.size()
                                               : static_cast<size_t>(gContext.position);
    ItemScanner scanner(gContext.text, start);
    auto result = scan(scanner);
    gContext.position = static_cast<int32_t>(scanner.Position());
    return result;
}

}  // namespace

Item ItemScanner::Next(int max) {
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
    auto store = [&item](int byte) { item.bytes[item.length++] = static_cast<char>(byte); };

    // Takes bytes until one ends the item; `c` is then that byte (after any
    // blanks that followed an unquoted blank), or the end of the text.
    for (;;) {
        if (IsBlank(c) && !quoted) {
            do {
                c = NextChar();
            } while (IsBlank(c));
            break;
        }
        if (c == '\n' || c == '\r' || (c == ',' && !quoted)) break;
        if (c == '"') {
            if (quoted) {
                quoted = false;
            } else if (item.length > 0) {
                store(c);
            } else {
                quoted = true;
            }
        } else if (c == '&') {
            store(c);
            radixSeen = true;
        } else if (c == '.' || c == 'E' || c == 'e') {
            store(c);
            if (!radixSeen) item.floating = true;
        } else if ((c == 'D' || c == 'd') && !radixSeen) {
            store(c == 'D' ? 'E' : 'e');
            item.floating = true;
        } else {
            store(c);
        }
        c = NextChar();
        if (c == kEndOfText || item.length >= max) break;
    }

    // A comma or a line end belongs to the item it ends (a carriage return
    // together with the line feed after it); any other byte starts the next.
    if (c == '\r') {
        const int d = NextChar();
        if (d != '\n' && d != kEndOfText) PutBackChar();
    } else if (c != kEndOfText && c != ',' && c != '\n') {
        PutBackChar();
    }
    item.bytes[item.length] = '\0';
    return item;
}

double ItemScanner::NextDouble() {
    const Item item = Next(kMaxItemLength);
    return ItemAsDouble(item.bytes, item.length, item.floating);
}

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
    return ScanContext([](ItemScanner& s) { return s.NextChar(); });
}

void PutBackChar() {
    if (gContext.position > 0) --gContext.position;
}

Item NextItem(int max) {
    return ScanContext([max](ItemScanner& s) { return s.Next(max); });
}

void InputReadDouble(double* value) {
    *value = ScanContext([](ItemScanner& s) { return s.NextDouble(); });
    SetLastError(kOk);
}

}  // namespace textio
