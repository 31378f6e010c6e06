// The screen stack takes the textures of pictures from the device once a frame has been drawn with
// a new screen in front, keeping those that frame drew.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "MenuTestFixture.h"
#include "engine/FileManager.h"
#include "media/MemoryImageFile.h"
#include "media/Texture.h"
#include "support/TestFolder.h"
#include "ui/ContextManager.h"

namespace {

class ContextManagerTexturesTest : public MenuTest {
protected:
    void SetUp() override {
        char buffer[4096];
        previousFolder = getcwd(buffer, sizeof(buffer)) ? buffer : "/";
        ASSERT_EQ(chdir(work.path.c_str()), 0);
        MenuTest::SetUp();
        qel->bEnableDelayedLoad = true;
        qel->pFileManager->bUseWad = false;
        for (const char* name : {"left.tga", "kept.tga"}) {
            MemoryImageFile image(8, 8);
            for (int i = 0; i < 64; ++i) image.pImageData[i] = 0xFF102030;
            ASSERT_TRUE(image.saveTGA(utf8ToWide(name)));
        }
    }
    void TearDown() override {
        delete stack;
        MenuTest::TearDown();
        if (chdir(previousFolder.c_str()) != 0) std::abort();
    }
    // One frame: the stack ticks, then the frame's textures are drawn.
    void frame(std::initializer_list<Texture*> drawn) {
        stack->tick(0, 0);
        for (Texture* t : drawn) t->select();
        qel->frameCount += 1;
    }

    TestFolder work{"stack-textures"};
    std::string previousFolder;
    ContextManager* stack = new ContextManager();
};

}  // namespace

TEST_F(ContextManagerTexturesTest, PicturesOfTheScreenLeftGoOnceAFrameShowsTheNewScreen) {
    Texture left(0, u"left.tga");
    Texture kept(0, u"kept.tga");
    stack->pushContext(new Context());
    frame({&left, &kept});
    frame({&left, &kept});
    // A new screen in front: its first frame still draws 'kept' (it shows beneath), not 'left'.
    stack->pushContext(new Context());
    frame({&kept});
    EXPECT_NE(left.dxTexture, nullptr);  // nothing goes in the frame of the change
    frame({&kept});
    EXPECT_EQ(left.dxTexture, nullptr);
    ASSERT_NE(kept.dxTexture, nullptr);
    // Once only: a texture drawn again later stays while the same screen is in front.
    frame({&left});
    frame({});
    frame({});
    EXPECT_NE(left.dxTexture, nullptr);
    EXPECT_NE(kept.dxTexture, nullptr);
}
