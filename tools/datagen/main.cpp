// The data generator: synthesises the game's sounds and music (and, as they join, its art and
// glyph pages) and writes them below an output folder.

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "datagen/ArtBank.h"
#include "datagen/AudioBank.h"
#include "datagen/GlyphPages.h"
#include "datagen/OggEncoder.h"

namespace {

void makeFolders(const std::string& path) {
    for (size_t sep = path.find('/', 1); sep != std::string::npos; sep = path.find('/', sep + 1)) mkdir(path.substr(0, sep).c_str(), 0755);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    makeFolders(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    uint32_t serial = 1;
    for (const datagen::AudioFile& file : getenv("SKIP_AUDIO") ? std::vector<datagen::AudioFile>{} : datagen::audioFiles()) {
        const synth::Buffer buffer = file.make();
        const std::vector<uint8_t> ogg = datagen::encodeOgg(buffer, file.music ? 0.2f : 0.3f, serial++);
        if (!writeFile(out + "/" + file.name, ogg)) {
            std::fprintf(stderr, "cannot write %s/%s\n", out.c_str(), file.name.c_str());
            return 1;
        }
    }
    std::vector<datagen::TextureImage> art = datagen::bootArt();
    for (auto* bank : {&datagen::guiArt, &datagen::gameArt, &datagen::sceneArt})
        for (datagen::TextureImage& t : bank()) art.push_back(std::move(t));
    if (!datagen::writePageSheet(datagen::glyphPages(), out + "/contact-sheet-fonts.png")) {
        std::fprintf(stderr, "cannot write the contact sheet\n");
        return 1;
    }
    if (!datagen::writeContactSheet(art, out + "/contact-sheet.png")) {
        std::fprintf(stderr, "cannot write the contact sheet\n");
        return 1;
    }
    return 0;
}
