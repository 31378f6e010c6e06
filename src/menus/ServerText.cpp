#include "menus/ServerText.h"

#include "engine/ByteBuffer.h"

WString ServerText::clean(WStringView text) {
    WString out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'\t') {
            out += u' ';
        } else if (c >= 0x20 && (c < 0x7F || c > 0x9F)) {
            out += c;
        }
    }
    return out;
}

std::vector<WString> ServerText::lines(const ByteBuffer& reply) {
    std::vector<WString> out = splitLines(reply.toText());
    for (WString& line : out) line = clean(line);
    return out;
}
