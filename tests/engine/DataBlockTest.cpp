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

TEST(DataBlock, ArchiveCutShortAfterMountingIsAFatalReportNotShortData) {
    FileTestEnvironment env;
    std::string image("\x02\0\0\0\x01\0\0\0", 8);
    std::string field("t.txt", 5);
    field.resize(80, '\0');
    image += field;
    image += std::string("\x68\0\0\0\x0a\0\0\0\x0a\0\0\0", 12);
    image += std::string(4, '\0');
    image += "0123456789";
    writeFileBytes("t.wad", image);
    env.files().useWad(u"t.wad");
    {
        DataBlock whole(0, u"t.txt");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.getData()), whole.getSize()), "0123456789");
    }
    std::filesystem::resize_file("t.wad", image.size() - 3);
    EXPECT_EXIT(DataBlock(0, u"t.txt"), testing::ExitedWithCode(255), "");
}

TEST(ByteBuffer, TextDecodings) {
    const std::pair<std::string, WString> cases[] = {
        {"\xEF\xBB\xBFk=\xC3\xA9", u"k=\u00e9"},
        {"plain \xC3\xA9", u"plain \u00e9"},
        {std::string("\xFF\xFE" "a\0b\0", 6), u"ab"},
        {std::string("\xFF\xFE" "a\0b\0\0\0c\0", 10), u"ab"},
        {std::string("\xFF\xFE" "a\0b", 5), u"a"},
        {"", u""},
    };
    for (const auto& [bytes, text] : cases) {
        ByteBuffer buffer(bytes.data(), static_cast<int>(bytes.size()));
        EXPECT_EQ(buffer.toText(), text) << bytes;
    }
}
