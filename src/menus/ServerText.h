#pragma once
// Text that came from a server, made fit to show and to log: control characters (U+0000..U+001F,
// U+007F..U+009F) are dropped and a tab becomes a blank. The fonts read U+001E as a colour mark,
// so a mark sent by a server then shows as the plain text that follows it.

#include <vector>

#include "engine/Text.h"

class ByteBuffer;

class ServerText {
public:
    static WString clean(WStringView text);
    // The reply decoded as text, split into lines, each line cleaned.
    static std::vector<WString> lines(const ByteBuffer& reply);
};
