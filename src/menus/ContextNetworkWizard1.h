#pragma once
// The first page of the network set-up: tells the player that the connection will be tested,
// can switch the game to a window for the test (so that a firewall's question can be answered),
// opens the game's datagram port once, asks the maker's server for "/vesk/nettest.php" and shows
// the outcome. The reply may carry the master server's address and a message for the player.
// NEXT after the test leads to the network configuration page.
//
// The request runs on its own thread; the page polls it once per frame, so no frame waits on the
// network. The page always ends in the display mode it started with.

#include <cstdint>
#include <optional>

#include "ui/ContextMenu.h"
#include "engine/ByteBuffer.h"

class BackingPanel;
class HttpRequest;
class MenuItemButton;
class MenuItemClose;
class MenuOptionItem;
class MessageViewer;
class TextLabel;

class ContextNetworkWizard1 : public ContextMenu {
public:
    static constexpr uint32_t replyMagic = 0x01020304u;
    static constexpr int envelopeHeaderSize = 24;

    ContextNetworkWizard1();
    ~ContextNetworkWizard1() override;

    void tickContents(double total, double dt) override;

    // The payload of a signed reply (magic, payload length, MD5 of the payload, payload), or
    // nothing when its length, magic or digest is wrong.
    static std::optional<ByteBuffer> decodeNetTestReply(const ByteBuffer& reply);
    // Whether the first (up to four) bytes are printable ASCII (0x20..0x7F).
    static bool isPrintableReply(const ByteBuffer& reply);

    TextLabel* pTitle;
    // Behind the viewer's lines and the option row: they stand on the picture.
    BackingPanel* pBacking;
    MessageViewer* viewer;
    HttpRequest* request = nullptr;
    MenuItemClose* pCancelButton;
    MenuItemButton* nextButton;
    MenuItemButton* helpButton;
    MenuOptionItem* runOnDesktopItem;
    uint8_t savedFullScreen;
    uint8_t bRunOnDesktop;

    // What the page does with the body of a finished request: a signed reply (it begins with the
    // magic) is decoded, printable text is shown line by line, anything else is only logged.
    void handleReply(const ByteBuffer& reply);

private:
    void startTest();
    void showLine(WStringView text);
};
