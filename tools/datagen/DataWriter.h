#pragma once
// Writes the generated data with the engine's own code: pictures through MemoryImageFile, skin
// descriptions as ".ini" text and ".preload" records, and the archives through the FileManager's
// archive-creation mode.

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/Canvas.h"

namespace datagen {

// The compact skin description stored beside each picture in the archives.
std::vector<uint8_t> preloadRecord(const TextureImage& texture);
// The same as INI text: one "Skin %d" section per skin.
std::string skinDescription(const TextureImage& texture);

class DataWriter {
public:
    // Loose files are written below 'stagingFolder'; archives into 'outputFolder'.
    DataWriter(std::string stagingFolder, std::string outputFolder);

    // The picture (TGA, or JPG by its name), its ".ini" and its ".preload", listed for 'archive'.
    bool addTexture(const std::string& archive, const TextureImage& texture);
    bool addFile(const std::string& archive, const std::string& name, const std::vector<uint8_t>& bytes);
    // Packs every archive, in the order they were first named, with their files in the order added.
    bool writeArchives();

private:
    bool writeLoose(const std::string& name, const void* data, size_t size);
    std::string staging, output;
    std::vector<std::pair<std::string, std::vector<std::string>>> archives;
    std::vector<std::string>& listFor(const std::string& archive);
};

bool writeWholeFile(const std::string& path, const void* data, size_t size);
void makeFoldersFor(const std::string& path);

}  // namespace datagen
