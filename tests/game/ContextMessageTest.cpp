// The mascot's message: its measures, its layout with the picture at the "~" line and the help
// toggle, closing by a press after a quarter second, and what it draws behind itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "GameScreenFixture.h"
#include "ui/FontAccess.h"
#include "ui/TextLabel.h"
#include "game/ContextMessage.h"
#include "game/Mascot.h"
#include "game/SpeechBubble.h"
#include "game/TextPanel.h"

namespace {
// Counts its renders: a hook that shows whether a screen was drawn.
struct RenderProbe : QelBase {
    void render() override { ++renders; }
    int renders = 0;
};
}  // namespace

TEST(ContextMessageLinesTest, BarSplitsLines) {
    EXPECT_EQ(ContextMessage::splitLines(u"~|a|b c"), (std::vector<WString>{u"~", u"a", u"b c"}));
    EXPECT_EQ(ContextMessage::splitLines(u"one"), (std::vector<WString>{u"one"}));
    EXPECT_EQ(ContextMessage::splitLines(u"a||"), (std::vector<WString>{u"a", u"", u""}));
}

using ContextMessageTest = GameScreenTest;

TEST_F(ContextMessageTest, MeasuresFromTitleLinesPictureAndToggle) {
    // The measuring font: 10 units a character, lines 20 high; the line step is 25.
    const WString line25(25, u'x');
    const struct {
        const char16_t* title;
        std::vector<WString> lines;
        float pictureHeight;
        bool help;
        float width, height;
    } cases[] = {
        {u"Tip", {u"abc"}, 0, false, 192, 30 + 25},                   // the least width is 192
        {u"", {u"~", line25}, 80, false, 250, 100 + 25},               // "~" takes 1.25 picture heights
        {u"", {line25, u"~", u"a"}, 80, true, 250, 25 + 100 + 25 + 25},  // the toggle takes a line
        {u"A title of thirty characters..", {u"a"}, 0, false, 300, 30 + 25},
        {u"", {u"~", u"a"}, 0, false, 192, 25},                        // "~" without a picture: no room
    };
    for (const auto& c : cases) {
        auto m = ContextMessage::measure(c.title, c.lines, c.pictureHeight, c.help);
        EXPECT_EQ(m.lineHeight, 25);
        EXPECT_FLOAT_EQ(m.width, c.width) << wideToUtf8(c.title);
        EXPECT_FLOAT_EQ(m.height, c.height) << wideToUtf8(c.title);
    }
}

TEST_F(ContextMessageTest, PictureGoesWhereTheTildeLineIsAndTheToggleUnderTheText) {
    ContextMessage message;
    message.titleText = u"How to Play";
    message.bodyText = u"line one|~|line two";
    message.pPicture = static_cast<Skin*>(qel->pResourceManager->find(true, u"howToPlay:0"));  // 80 high
    message.bHelpMessage = true;
    message.build();
    // Title 30, line 25, picture 100, line 25, toggle 25.
    const float d = 205.0f;
    EXPECT_FLOAT_EQ(message.measures.height, d);
    EXPECT_FLOAT_EQ(message.measures.width, 192.0f);

    std::vector<QelBase*> children;
    for (BasicLink* c = message.firstChild; c; c = c->next) children.push_back(static_cast<QelBase*>(c));
    ASSERT_EQ(children.size(), 7u);
    EXPECT_NE(dynamic_cast<Mascot*>(children[0]), nullptr);
    auto* bubble = dynamic_cast<SpeechBubble*>(children[1]);
    ASSERT_NE(bubble, nullptr);
    EXPECT_FLOAT_EQ(bubble->pSkin->width, 192.0f + 50.0f);
    EXPECT_FLOAT_EQ(bubble->pSkin->height, d + 50.0f);

    auto* title = dynamic_cast<TextLabel*>(children[2]);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, u"How to Play");
    EXPECT_FLOAT_EQ(title->position.y, d / 2);
    EXPECT_EQ(title->color, 0xFFFFFFFFu);
    auto* first = dynamic_cast<TextLabel*>(children[3]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text, u"line one");
    EXPECT_FLOAT_EQ(first->position.y, d / 2 - 30);
    EXPECT_EQ(first->color, ContextMessage::TEXT_COLOUR);
    auto* picture = static_cast<Renderable*>(children[4]);
    EXPECT_EQ(picture->pSkin, message.pPicture);
    EXPECT_FLOAT_EQ(picture->position.y, d / 2 - 55 - 50);
    auto* second = dynamic_cast<TextLabel*>(children[5]);
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(second->position.y, d / 2 - 155);
    auto* toggle = dynamic_cast<TextPanel*>(children[6]);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle, message.pHelpToggle);
    EXPECT_EQ(toggle->pTarget, &application->gameConfiguration.bTutorial);
    EXPECT_FLOAT_EQ(toggle->position.y, d / 2 - 180 - 12.5f);
}

// The body's grey lines are drawn without a drop shadow (it blurs them on the pale bubble); the
// white title keeps its shadow.
TEST_F(ContextMessageTest, BodyLinesAreDrawnWithoutAShadowAndTheTitleWithOne) {
    static std::vector<std::pair<WString, bool>> drawn;
    drawn.clear();
    FontAccess::drawHook = [](FontQuad*, Renderable*, int, WStringView text) { drawn.emplace_back(WString(text), false); };
    FontAccess::shadowHook = [](FontQuad*, Renderable*, int, const Vector3&, uint32_t, WStringView text) {
        drawn.emplace_back(WString(text), true);
    };
    ContextMessage message;
    message.titleText = u"How to Play";
    message.bodyText = u"line one|line two";
    message.build();
    message.renderContents();
    const std::vector<std::pair<WString, bool>> expected = {{u"How to Play", true}, {u"line one", false}, {u"line two", false}};
    for (const auto& e : expected) EXPECT_NE(std::find(drawn.begin(), drawn.end(), e), drawn.end()) << wideToUtf8(e.first);
}

TEST_F(ContextMessageTest, APictureWithoutATildeLineIsNotShown) {
    ContextMessage message;
    message.bodyText = u"Keep your eye on both trains!";
    message.pPicture = static_cast<Skin*>(qel->pResourceManager->find(true, u"howToPlay:0"));
    message.build();
    EXPECT_FLOAT_EQ(message.measures.height, 25.0f);
    int pictures = 0;
    for (BasicLink* c = message.firstChild; c; c = c->next) {
        auto* r = dynamic_cast<Renderable*>(c);
        pictures += r && r->pSkin == message.pPicture;
    }
    EXPECT_EQ(pictures, 0);
    EXPECT_EQ(message.pHelpToggle, nullptr);
}

TEST_F(ContextMessageTest, APressInTheFirstQuarterSecondDoesNotClose) {
    auto* message = new ContextMessage();
    message->bodyText = u"Tip";
    message->build();
    stack->pushContext(message);
    pointerAt(-300, -200);
    step(0.05);
    EXPECT_EQ(SoundTrace::count(u"pop"), 1);
    for (int i = 0; i < 3; ++i) step(0.05);  // 0.2 s
    press();
    step(0.04);  // 0.24 s
    endTouches();
    EXPECT_FALSE(message->bDone);
    step(0.02);
    press();
    step(0.02);  // 0.28 s
    endTouches();
    EXPECT_TRUE(message->bDone);
    step();
    EXPECT_EQ(stack->getTopContext(), nullptr);
    EXPECT_EQ(SoundTrace::count(u"pop"), 1);
}

TEST_F(ContextMessageTest, TheHelpToggleTakesItsPressAndSwitchesHelpOff) {
    application->gameConfiguration.bTutorial = 1;
    auto* message = new ContextMessage();
    message->titleText = u"Tip";
    message->bodyText = u"Watch the next cargo.";
    message->bHelpMessage = true;
    message->build();
    stack->pushContext(message);
    for (int i = 0; i < 10; ++i) step(0.05);
    const Vector3 box = message->pHelpToggle->position;
    pointerAt(box.x, box.y);
    press();
    step(0.02);
    endTouches();
    EXPECT_EQ(application->gameConfiguration.bTutorial, 0);
    EXPECT_FALSE(message->bDone);
    // A press elsewhere closes it.
    pointerAt(200, 100);
    press();
    step(0.02);
    endTouches();
    EXPECT_TRUE(message->bDone);
}

TEST_F(ContextMessageTest, AHelpMessageShowsTheGameBehindItOtherwiseThePreviousScreen) {
    RenderProbe gameProbe, screenProbe;
    auto* controller = new GameController();
    application->pGameController = controller;
    controller->pPreHook = &gameProbe;
    auto* below = new Context();
    below->pPreHook = &screenProbe;
    stack->pushContext(below);
    for (bool help : {true, false}) {
        auto* message = new ContextMessage();
        message->bodyText = u"Tip";
        message->bHelpMessage = help;
        message->build();
        stack->pushContext(message);
        step();
        gameProbe.renders = screenProbe.renders = 0;
        stack->draw();
        EXPECT_EQ(gameProbe.renders, help ? 1 : 0);
        EXPECT_EQ(screenProbe.renders, help ? 0 : 1);
        message->bDone = true;
        step();
    }
    controller->pPreHook = nullptr;
    below->pPreHook = nullptr;
}
