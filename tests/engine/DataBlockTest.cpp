#include <gtest/gtest.h>

#include "FileTestEnvironment.h"
#include "engine/DataBlock.h"
#include "engine/MemoryIniFile.h"

TEST(DataBlock, LoadsOnceCountsOnceAndReloadsAfterUnload) {
    FileTestEnvironment env;
    env.files().bForceDisk = true;
    writeFileBytes("block.bin", "0123456789");
    const int before = residentMemoryFileBytes;
    DataBlock block(0, u"block.bin");
    ASSERT_TRUE(block.isLoaded());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.getData()), block.getSize()), "0123456789");
    block.load();
    EXPECT_EQ(residentMemoryFileBytes, before + 10);
    writeFileBytes("block.bin", "abc");
    block.load();
    EXPECT_EQ(block.getSize(), 10) << "a loaded block does not read again";
    block.unload();
    block.unload();
    EXPECT_EQ(residentMemoryFileBytes, before);
    EXPECT_EQ(block.getData(), nullptr);
    block.load();
    EXPECT_EQ(block.getSize(), 3);
    EXPECT_EQ(residentMemoryFileBytes, before + 3);
}

TEST(DataBlock, DelayedLoadingOnlyChecksTheFile) {
    FileTestEnvironment env;
    env.files().bForceDisk = true;
    writeFileBytes("late.bin", "late");
    {
        DataBlock eager(DataBlock::FLAG_DELAYED, u"late.bin");
        EXPECT_TRUE(eager.isLoaded()) << "delayed loading is off";
    }
    env.files().bEnableDelayedLoad = true;
    DataBlock delayed(DataBlock::FLAG_DELAYED, u"late.bin");
    EXPECT_FALSE(delayed.isLoaded());
    delayed.load();
    EXPECT_EQ(delayed.getSize(), 4);
    EXPECT_EXIT(DataBlock(DataBlock::FLAG_DELAYED, u"missing.bin"), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(DataBlock(0, u"missing.bin"), testing::ExitedWithCode(255), "");
}

TEST(DataBlock, EmptyNameLoadsNothing) {
    FileTestEnvironment env;
    DataBlock block(0, u"");
    EXPECT_TRUE(block.isLoaded());
    EXPECT_EQ(block.getSize(), 0);
}

TEST(ResourceManager, FindsByNameAndNameByObject) {
    FileTestEnvironment env;
    ResourceManager& resources = *env.engine->pResourceManager;
    QelBase cargo, other;
    resources.addResource(&cargo, u"cargo");
    EXPECT_EQ(resources.find(true, u"cargo"), &cargo);
    EXPECT_EQ(resources.find(false, u"nothing"), nullptr);
    EXPECT_EQ(resources.getName(&cargo), u"cargo");
    EXPECT_EQ(resources.getName(&other), u"");
    EXPECT_EQ(resources.count, 1);
    EXPECT_EXIT(resources.find(true, u"nothing"), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(resources.addResource(&other, u"cargo"), testing::ExitedWithCode(255), "");
}

TEST(MemoryIniFile, ReadsThroughTheFileManagerFromDiskOrArchive) {
    FileTestEnvironment env;
    writeFileBytes("settings.ini", "[Qel]\r\nwidth=800\r\n");
    env.files().bForceDisk = true;
    MemoryIniFile fromDisk(u"settings.ini");
    EXPECT_EQ(fromDisk.getInt(u"Qel", u"width"), 800);
    env.files().bForceDisk = false;
    MemoryIniFile notInArchive(u"settings.ini");
    EXPECT_FALSE(notInArchive.hasKey(u"Qel", u"width")) << "no fallback from archive to disk";
}
