#pragma once
// A server's reply as lines for the player: decoded, split at line ends and cleaned of control
// characters, so that nothing a server sends reaches the fonts or the log as a colour mark or an
// unprintable character.

#include <vector>

#include "engine/ByteBuffer.h"
#include "engine/Text.h"

class ReplyText {
public:
    // The text without control characters (C0, DEL and C1); a tab becomes a blank.
    static WString clean(WStringView text);
    // The reply decoded as text, one cleaned entry per line.
    static std::vector<WString> lines(const ByteBuffer& reply);
};
