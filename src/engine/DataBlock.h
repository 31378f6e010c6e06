#pragma once
// The bytes of one named file, read through the engine's FileManager at once or, with delayed
// loading, on first use.

#include <cstdint>

#include "engine/ByteBuffer.h"
#include "engine/QelBase.h"

// The bytes held by every loaded DataBlock together.
extern int residentMemoryFileBytes;

class DataBlock : public QelBase {
public:
    enum : int { FLAG_DELAYED = 1 };

    // With FLAG_DELAYED and delayed loading on, only checks that the file exists (fatal when not);
    // otherwise loads at once.
    DataBlock(int flags, WStringView name);
    ~DataBlock() override;

    // Reads the whole file unless loaded; a file that yields fewer bytes than its size is fatal.
    void load();
    void unload();

    bool isLoaded() const { return loaded; }
    const uint8_t* getData() const { return bForeignData ? foreignData : content.data(); }
    int getSize() const { return bForeignData ? foreignSize : content.length(); }

    ByteBuffer content;
    bool bForeignData = false;
    WString name;

private:
    const uint8_t* foreignData = nullptr;
    int foreignSize = 0;
    bool loaded = false;
};
