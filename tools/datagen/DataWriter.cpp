#include "datagen/DataWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "engine/ByteBuffer.h"
#include "engine/FileManager.h"
#include "engine/FileStream.h"
#include "engine/MemoryIniFile.h"
#include "engine/Random.h"
#include "engine/Stream.h"
#include "engine/Text.h"
#include "media/MemoryImageFile.h"

namespace datagen {

namespace {

void putLe32(std::vector<uint8_t>& out, size_t at, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr size_t kPreloadHeaderBytes = 20;
constexpr size_t kPreloadSkinBytes = 24;

}  // namespace

void makeFoldersFor(const std::string& path) {
    for (size_t sep = path.find('/', 1); sep != std::string::npos; sep = path.find('/', sep + 1)) mkdir(path.substr(0, sep).c_str(), 0755);
}

bool writeWholeFile(const std::string& path, const void* data, size_t size) {
    makeFoldersFor(path);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> preloadRecord(const TextureImage& t) {
    std::vector<uint8_t> out(kPreloadHeaderBytes + kPreloadSkinBytes * t.skins.size(), 0);
    putLe32(out, 0, 1);
    putLe32(out, 4, t.width);
    putLe32(out, 8, t.height);
    out[12] = t.hasAlpha ? 1 : 0;
    putLe32(out, 16, static_cast<int32_t>(t.skins.size()));
    for (size_t i = 0; i < t.skins.size(); ++i) {
        const SkinRect& s = t.skins[i];
        const size_t at = kPreloadHeaderBytes + kPreloadSkinBytes * i;
        putLe32(out, at, s.left);
        putLe32(out, at + 4, s.top);
        putLe32(out, at + 8, s.width);
        putLe32(out, at + 12, s.height);
        putLe32(out, at + 16, s.originAdjustX);
        putLe32(out, at + 20, s.originAdjustY);
    }
    return out;
}

std::string skinDescription(const TextureImage& t) {
    MemoryIniFile ini{ByteBuffer()};
    for (size_t i = 0; i < t.skins.size(); ++i) {
        const SkinRect& s = t.skins[i];
        const WString section = format(u"Skin %d", static_cast<int>(i));
        ini.setInt(s.left, section, u"left");
        ini.setInt(s.top, section, u"top");
        ini.setInt(s.width, section, u"width");
        ini.setInt(s.height, section, u"height");
        if (s.originAdjustX != 0) ini.setInt(s.originAdjustX, section, u"origin_adjust_x");
        if (s.originAdjustY != 0) ini.setInt(s.originAdjustY, section, u"origin_adjust_y");
    }
    return ini.toUtf8();
}

DataWriter::DataWriter(std::string stagingFolder, std::string outputFolder) : staging(std::move(stagingFolder)), output(std::move(outputFolder)) {}

std::vector<std::string>& DataWriter::listFor(const std::string& archive) {
    for (auto& [name, files] : archives)
        if (name == archive) return files;
    archives.emplace_back(archive, std::vector<std::string>{});
    return archives.back().second;
}

bool DataWriter::writeLoose(const std::string& name, const void* data, size_t size) { return writeWholeFile(staging + "/" + name, data, size); }

bool DataWriter::addTexture(const std::string& archive, const TextureImage& t) {
    MemoryImageFile image(t.width, t.height);
    for (size_t i = 0; i < t.argb.size(); ++i) image.pImageData[i] = t.argb[i];
    const std::string path = staging + "/" + t.file;
    makeFoldersFor(path);
    const bool jpg = t.file.size() > 4 && t.file.compare(t.file.size() - 4, 4, ".jpg") == 0;
    if (!(jpg ? image.saveJPG(92, utf8ToWide(path)) : image.saveTGA(utf8ToWide(path)))) return false;
    const std::string ini = skinDescription(t);
    const std::vector<uint8_t> preload = preloadRecord(t);
    if (!writeLoose(t.file + ".ini", ini.data(), ini.size()) || !writeLoose(t.file + ".preload", preload.data(), preload.size())) return false;
    std::vector<std::string>& files = listFor(archive);
    files.push_back(t.file);
    files.push_back(t.file + ".preload");
    return true;
}

bool DataWriter::addFile(const std::string& archive, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (!writeLoose(name, bytes.data(), bytes.size())) return false;
    listFor(archive).push_back(name);
    return true;
}

bool DataWriter::writeArchives() {
    char previous[4096];
    if (!getcwd(previous, sizeof(previous)) || chdir(staging.c_str()) != 0) return false;
    {
        // Archive names are scrambled with the engine's generator: start it at a fixed value so
        // that every run writes the same bytes.
        randomSeed = 20261224;
        FileManager files(true);
        files.wadOutputFolder = utf8ToWide(output + "/");
        for (const auto& [archive, names] : archives) {
            files.useWad(utf8ToWide(archive));
            for (const std::string& name : names) delete files.openDisk(nullptr, utf8ToWide(name));
            files.saveSubWad(false, utf8ToWide(archive));
        }
    }
    return chdir(previous) == 0;
}

}  // namespace datagen
