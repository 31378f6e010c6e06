#include "menus/ReplyText.h"

WString ReplyText::clean(WStringView text) {
    WString out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'\t') out += u' ';
        else if (c >= 0x20 && !(c >= 0x7F && c <= 0x9F)) out += c;
    }
    return out;
}

std::vector<WString> ReplyText::lines(const ByteBuffer& reply) {
    std::vector<WString> result = splitLines(reply.toText());
    for (WString& line : result) line = clean(line);
    return result;
}
