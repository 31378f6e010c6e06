#include "engine/DataBlock.h"

#include <memory>

#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/Stream.h"

int residentMemoryFileBytes = 0;

namespace {

FileManager& fileManager(const char16_t* function) {
    if (!qel || !qel->pFileManager) QEL_FATAL(function, u"There is no FileManager.");
    return *qel->pFileManager;
}

}  // namespace

DataBlock::DataBlock(int flags, WStringView fileName) : name(fileName) {
    if ((flags & FLAG_DELAYED) && fileManager(u"DataBlock::DataBlock").bEnableDelayedLoad)
        fileManager(u"DataBlock::DataBlock").verifyFile(name);
    else
        load();
}

DataBlock::~DataBlock() { unload(); }

void DataBlock::load() {
    if (loaded) return;
    if (!name.empty()) {
        int size = 0;
        std::unique_ptr<Stream> stream(fileManager(u"DataBlock::load").open(&size, name));
        if (const uint8_t* memory = stream->getMemory()) {
            foreignData = memory;
            foreignSize = size;
            bForeignData = true;
        } else {
            content.bytes.assign(static_cast<size_t>(size < 0 ? 0 : size), 0);
            int done = 0;
            while (done < size) {
                const int n = stream->read(content.bytes.data() + done, size - done);
                if (n <= 0) break;
                done += n;
            }
            if (done != size) {
                content.bytes.clear();
                QEL_FATAL(u"DataBlock::load", u"Failed to read file '%s' (%d of %d bytes).", name, done, size);
            }
        }
    }
    loaded = true;
    residentMemoryFileBytes += getSize();
}

void DataBlock::unload() {
    if (!loaded) return;
    residentMemoryFileBytes -= getSize();
    content.bytes.clear();
    content.bytes.shrink_to_fit();
    foreignData = nullptr;
    foreignSize = 0;
    bForeignData = false;
    loaded = false;
}
