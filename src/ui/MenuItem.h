#pragma once
// The clickable widget of every menu: a framed button with a caption, a hint shown at the bottom
// of the screen while hovered, hover and press feedback, and a clicked flag its screen reads.

#include <cstdint>

#include "ui/MenuNavigable.h"
#include "engine/Text.h"
#include "media/WorldRect.h"

class FontQuad;

class MenuItem : public MenuNavigable {
public:
    MenuItem(float x, float y, float z, WStringView caption, WStringView hint);
    ~MenuItem() override;

    void update(double time, double dt) override;
    void render() override;
    // Whether the item is on the screen at the top of the stack (or on none): items of the screens
    // beneath are mostly covered.
    bool onTopScreen() const;
    // Its position lowered by a quarter of the frame height, in pointer coordinates.
    Vector3 getNavigationPoint(int index) override;
    virtual void drawContents(float x, float y, float z) {}
    virtual void onClick();

    // The frame pictures: the texture's first skin is the normal frame, its second the highlight.
    void setFrame(WStringView textureName, int left, int top, int bottom, int right);
    void setWidth(int width);
    void setSpeechStyle();
    // The caption's scale so that it fits inside the frame.
    float fitCaption(float textWidth) const;
    // The scale of a caption beside the item (locations 4 and 6) so that it ends at least
    // SCREEN_MARGIN inside the screen's edge, and no wider than captionRoom when that is set; 1
    // when it fits (and for the other locations).
    float sideCaptionFit(float textWidth) const;
    // Far enough from the edge that no letter looks cut, at every picture size.
    static constexpr float SCREEN_MARGIN = 16.0f;
    // The width a side caption may take at most (another item stands beside it); 0: the screen's.
    float captionRoom = 0.0f;
    // The box of the frame and the caption beside, inside or above it, at rest (without the
    // press bounce), in world units.
    WorldRect box() const;
    // Whether a point (relative to the item's centre, unscaled) is over the frame.
    bool isInsideFrame(float x, float y) const;

    // Plays a sound resource by name: at a random pitch when randomPitch, else at the pitch.
    static void playSound(const char16_t* name, bool randomPitch, float pitch = 1.0f);

    // The colour of the hint line at the bottom of the screen.
    static constexpr uint32_t HINT_COLOUR = 0xFF000000;

    int captionLocation;
    float baseScale = 1.0f;
    bool bDisabled = false;
    bool bShadow = true;
    bool bHovered = false;
    bool bForceHover = false;
    WString caption;
    WString hint;
    WString disabledHint;
    bool bClicked = false;
    double hoverFade = 0.0;
    uint32_t normalColour = 0xFFCCCCCC;
    uint32_t highlightColour = 0xFFFF0000;
    uint32_t captionColour = 0xFFCCCCCC;
    uint32_t disabledColour = 0x80000000;
    FontQuad* pFont;
    Renderable highlight;
    // Drawn over the frame while disabled, when the frame's art has a third skin: a frame on which
    // the disabled caption colour reads.
    Renderable disabledFrame;
    float pressBounce = 0.0f;

    // The frame's texture and borders, and its drawn size.
    WString frameTexture;
    int frameBorders[4] = {};
    float frameWidth = 0.0f;
    float frameHeight = 0.0f;

private:
    float lastSquash = 1.0f;
};
