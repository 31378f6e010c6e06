// The network test's reply as the wizard reads it: the signed envelope, the INI text behind it,
// the master server's address and the lines shown to the player.
//
// The first byte chooses: bit 0 clear feeds the rest as the reply itself; set, the rest as the
// payload of a correctly signed envelope, so that the INI text and the address behind the
// signature take fuzzed values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "engine/ByteBuffer.h"
#include "engine/MD5Context.h"
#include "engine/MemoryIniFile.h"
#include "engine/NetAddress.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ServerText.h"

namespace {

void checkAddress(WStringView text) {
    NetAddress address;
    if (!address.setFromDottedText(text)) return;
    // What was taken reads back as the same address.
    NetAddress again;
    if (address.family != 2 || !again.setFromDottedText(address.toString()) || !(again == address)) std::abort();
}

void checkShown(WStringView text) {
    for (char16_t c : ServerText::clean(text)) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        uint8_t digest[16];
        md5(digest, reply.data(), static_cast<int>(reply.size()));
        std::string envelope = "\x04\x03\x02\x01";
        const uint32_t n = static_cast<uint32_t>(reply.size());
        for (int i = 0; i < 4; ++i) envelope.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        envelope.append(reinterpret_cast<const char*>(digest), 16);
        reply = envelope + reply;
    }
    const ByteBuffer bytes(reply.data(), static_cast<int>(reply.size()));
    const std::optional<ByteBuffer> payload = ContextNetworkWizard1::decodeNetTestReply(bytes);
    if (payload) {
        if (payload->length() != bytes.length() - 24) std::abort();
        MemoryIniFile ini(*payload);
        MemoryIniFile::Section& section = ini.getSection(u"");
        if (const WString* server = section.find(u"masterServer")) checkAddress(*server);
        if (const WString* message = section.find(u"message")) checkShown(*message);
    } else if (data[0] & 1) {
        std::abort();  // a correctly signed envelope is always accepted
    }
    if (ContextNetworkWizard1::isPrintableReply(bytes)) {
        for (const WString& line : ServerText::lines(bytes)) checkShown(line);
    }
    checkAddress(bytes.toText());
    return 0;
}
