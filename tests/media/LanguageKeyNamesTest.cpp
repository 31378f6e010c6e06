#include <gtest/gtest.h>

#include "engine/Qel.h"
#include "language/Language.h"
#include "language/TextId.h"
#include "media/QelInput.h"
#include "media/QelMedia.h"

namespace {

TEST(LanguageKeyNames, ChangingTheLanguageRenamesTheInputKeys) {
    QelMedia engine;
    ASSERT_NE(engine.pLanguage, nullptr);
    for (int language = 0; language < 5; ++language) {
        engine.pLanguage->setLanguage(language);
        EXPECT_EQ(WString(engine.pLanguage->getText(DIK_ESCAPE)), engine.pQelInput->keyNames[0x01]) << language;
        EXPECT_EQ(WString(engine.pLanguage->getText(DIK_SPACE)), engine.pQelInput->keyNames[0x39]) << language;
    }
    engine.pLanguage->setLanguage(0);
    const WString english = engine.pQelInput->keyNames[0x01];
    engine.pLanguage->setLanguage(2);
    EXPECT_NE(english, engine.pQelInput->keyNames[0x01]);
}

}  // namespace
