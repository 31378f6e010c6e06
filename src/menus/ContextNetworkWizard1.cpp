#include "menus/ContextNetworkWizard1.h"

#include <cstring>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/BackingPanel.h"
#include "ui/FontAccess.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionItem.h"
#include "ui/MessageViewer.h"
#include "ui/TextLabel.h"
#include "engine/HttpRequest.h"
#include "engine/Logger.h"
#include "engine/MD5Context.h"
#include "engine/MemoryIniFile.h"
#include "engine/NetAddress.h"
#include "engine/NetConnection.h"
#include "menus/ContextHelp.h"
#include "menus/ContextNetworkConfig.h"
#include "menus/ContextOptions.h"
#include "menus/ServerText.h"

namespace {

constexpr const char16_t* tickFunction = u"ContextNetworkWizard1::tickContents";

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

ContextNetworkWizard1::ContextNetworkWizard1() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    GameConfiguration* c = ContextOptions::settings();
    savedFullScreen = c ? c->bFullScreen : 0;
    bRunOnDesktop = c && c->bOnlineConfigured == 0 ? 1 : 0;

    pTitle = new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"NETWORKWIZARD"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);
    pBacking = new BackingPanel();
    addChild(pBacking);
    viewer = new MessageViewer();
    // Dark text, like the settings rows, on the pale panel over the intro picture.
    viewer->colour = ContextOptions::ROW_COLOUR;
    viewer->position = Vector3(0.0f, 4.5f * float(FontAccess::lineHeight(viewer->font)), 0.0f);
    addChild(viewer);
    viewer->addMessage(AppText::text(u"NETTESTINTRO1"));
    viewer->addMessage(u"");
    viewer->addMessage(AppText::text(u"NETTESTINTRO2"));
    viewer->addMessage(AppText::text(u"NETTESTINTRO3"));
    viewer->addMessage(AppText::text(u"NETTESTINTRO4"));

    const float side = float(cornerX - 80);
    const float bottom = -float(cornerY);
    pCancelButton = new MenuItemClose(-side, bottom, 0.0f, AppText::text(u"CANCEL"), u"");
    pCancelButton->setWidth(160);
    appendItem(pCancelButton);
    nextButton = new MenuItemButton(side, bottom, 0.0f, AppText::text(u"NEXT"), u"");
    nextButton->setWidth(160);
    appendItem(nextButton);
    helpButton = new MenuItemButton(0.0f, bottom, 0.0f, AppText::text(u"HELP"), u"");
    helpButton->setWidth(160);
    appendItem(helpButton);
    runOnDesktopItem = new MenuOptionItem(side, bottom + 50.0f, 0.0f, AppText::text(u"RUNTESTONDESKTOP"),
                                          AppText::text(u"RUNTESTONDESKTOPHINT"), &bRunOnDesktop);
    runOnDesktopItem->bDisabled = !c || c->bFullScreen == 0;
    ContextOptions::styleRow(runOnDesktopItem);
    appendItem(runOnDesktopItem);
    pBacking->follow(viewer);
    pBacking->follow(runOnDesktopItem);
}

ContextNetworkWizard1::~ContextNetworkWizard1() {
    // A running request is not waited for: deleting it lets its worker end on its own.
    delete request;
    if (GameConfiguration* c = ContextOptions::settings()) {
        c->bFullScreen = savedFullScreen;
        AppLink::applyAudioSettings();
    }
}

std::optional<ByteBuffer> ContextNetworkWizard1::decodeNetTestReply(const ByteBuffer& reply) {
    const int n = reply.length() - envelopeHeaderSize;
    if (n < 0) return std::nullopt;
    const uint8_t* p = reply.data();
    if (readU32(p) != replyMagic || readU32(p + 4) != uint32_t(n)) return std::nullopt;
    uint8_t digest[16];
    md5(digest, p + envelopeHeaderSize, n);
    if (!md5Equal(digest, p + 8)) return std::nullopt;
    return ByteBuffer(p + envelopeHeaderSize, n);
}

bool ContextNetworkWizard1::isPrintableReply(const ByteBuffer& reply) {
    const int n = std::min(reply.length(), 4);
    for (int i = 0; i < n; ++i) {
        if (reply.data()[i] < 0x20 || reply.data()[i] > 0x7F) return false;
    }
    return true;
}

void ContextNetworkWizard1::showLine(WStringView text) { viewer->addMessage(ServerText::clean(text)); }

void ContextNetworkWizard1::handleReply(const ByteBuffer& reply) {
    // Only a reply that begins with the magic is taken for a signed one; any other reply is text
    // or unprintable, whatever its length.
    if (reply.length() >= 4 && readU32(reply.data()) == replyMagic) {
        const std::optional<ByteBuffer> payload = decodeNetTestReply(reply);
        if (!payload) {
            qelLog(tickFunction, u"Could not decode reply!");
            return;
        }
        MemoryIniFile ini(*payload);
        MemoryIniFile::Section& section = ini.getSection(u"");
        if (const WString* server = section.find(u"masterServer")) {
            NetAddress address;
            GameConfiguration* c = ContextOptions::settings();
            // Only an exact "a.b.c.d:p" is taken; anything else leaves the cleared address.
            if (c && address.setFromDottedText(*server)) {
                static_assert(sizeof(c->masterServer) == sizeof(NetAddress));
                std::memcpy(&c->masterServer, address.getSockAddr(), sizeof(NetAddress));
            } else {
                qelLog(tickFunction, u"Ignoring master server '%s'.", ServerText::clean(*server));
            }
        }
        if (const WString* message = section.find(u"message")) showLine(*message);
    } else if (reply.length() > 0 && isPrintableReply(reply)) {
        viewer->addMessages(ServerText::lines(reply));
    } else {
        qelLog(tickFunction, u"Received unprintable reply!");
    }
}

void ContextNetworkWizard1::startTest() {
    nextButton->bDisabled = true;
    viewer->addMessage(AppText::text(u"STARTINGDOTS"));
    {
        // The game's datagram port is opened once, so that a firewall asks about it now, and
        // closed again at once. Another program holding it does not stop the test.
        NetConnection port{NetAddress()};
        if (!port.isOpen()) {
            qelLog(tickFunction, u"Could not open UDP port %d (error %d).", int(NetAddress::defaultPort), port.bindError);
            viewer->addMessage(format(u"Could not open UDP port 23006 (error %d)", port.bindError));
        }
    }
    request = new HttpRequest(HttpRequest::getMakerHost(), u"/vesk/nettest.php");
    request->addStandardFields();
    request->start();
}

void ContextNetworkWizard1::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    GameConfiguration* c = ContextOptions::settings();

    if (request) {
        const int state = request->getState();
        if (state == HttpRequest::STATE_DONE) {
            request->setState(HttpRequest::STATE_IDLE);
            viewer->addMessage(AppText::text(u"NETTESTSUCCESS"));
            handleReply(request->getReply());
            viewer->addMessage(AppText::text(u"DONEDOT"));
            nextButton->bDisabled = false;
        } else if (state == HttpRequest::STATE_FAILED) {
            request->setState(HttpRequest::STATE_IDLE);
            viewer->addMessage(request->getErrorText());
            viewer->addMessage(AppText::text(u"CHECKCONNECTION"));
            viewer->addMessage(AppText::text(u"NETTESTFAIL1"));
            nextButton->bDisabled = false;
        }
    }

    if (nextButton->bClicked) {
        nextButton->bClicked = false;
        if (!request) {
            runOnDesktopItem->bDisabled = true;
            if (c) {
                c->masterServer.family = 2;
                c->masterServer.portNetworkOrder = 0;
                c->masterServer.addressNetworkOrder = 0;
            }
            if (c && bRunOnDesktop && c->bFullScreen) {
                // This click only puts the game in a window; the next one starts the test.
                c->bFullScreen = 0;
                AppLink::applyAudioSettings();
            } else {
                startTest();
            }
        } else if (request->getState() != HttpRequest::STATE_RUNNING) {
            bDone = true;
            if (c) {
                c->bFullScreen = savedFullScreen;
                AppLink::applyAudioSettings();
            }
            AppLink::pushContext(new ContextNetworkConfig());
        }
    }

    if (helpButton->bClicked) {
        helpButton->bClicked = false;
        AppLink::pushContext(new ContextHelp());
    }
}
