#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "media/QelAudio.h"
#include "media/AudioEnvironment.h"
#include "media/QelMedia.h"
#include "platform/AudioLibrary.h"
#include "support/OggEncoder.h"
#include "support/TestFolder.h"

namespace audiotest {

std::map<WString, std::string> files;
int reads = 0;
double now = 0;

void installHooks() {
    AudioEnvironment::readFileHook = [](const WString& name, bool, ByteBuffer& bytes) {
        ++reads;
        auto it = files.find(name);
        if (it == files.end()) return false;
        bytes = ByteBuffer(it->second.data(), static_cast<int>(it->second.size()));
        return true;
    };
    AudioEnvironment::verifyFileHook = [](const WString& name) { return files.count(name) > 0; };
    AudioEnvironment::gameTimeHook = [] { return now; };
    AudioEnvironment::layoutWidthHook = [] { return 800; };
    AudioEnvironment::delayedLoadHook = [] { return false; };
}

const std::string& addTone(const WString& name, int rate, int frames, int channels, double hz) {
    return files[name] = encodeOgg(makeTone(hz, rate, frames, channels), channels, rate);
}

std::vector<int16_t> pump(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(platform::audioMixOutput(out.data(), frames));
    return out;
}

std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }

Qel* makeEngineWithoutAudio() {
    Qel* engine = new QelMedia();
    delete engine->pQelAudio;
    engine->pQelAudio = nullptr;
    return engine;
}

}  // namespace audiotest
