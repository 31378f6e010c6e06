#pragma once
// A soft, pale, translucent panel behind dark text that stands straight on a menu picture, so
// that the text reads whatever the picture has there (trees, the train, the bear). It follows
// what it backs: each frame it takes the box of a message viewer's lines and of each menu row's
// frame and caption, adds a margin, joins boxes that would touch and keeps them on the screen.
// A page adds it as a child before the texts it backs (children are drawn in order), then names
// them with follow(), or gives the box of what it draws itself with cover().

#include <vector>

#include "engine/QelBase.h"
#include "media/WorldRect.h"

class MenuItem;
class MessageViewer;
class TextLabel;
class VertexBuffer;

class BackingPanel : public QelBase {
public:
    BackingPanel();
    ~BackingPanel() override;

    void follow(const MessageViewer* viewer);
    void follow(const MenuItem* row);
    // A label's line as the font measures it, where its alignment puts it.
    void follow(const TextLabel* label);
    // A box that does not move (a table the page draws itself), in world units.
    void cover(const WorldRect& box);

    void render() override;

    // The fully covered boxes this frame, in world units with y up: every followed box grown by
    // MARGIN_X and MARGIN_Y, overlapping ones joined, each cut to the screen. The soft edge of
    // FEATHER units lies outside them.
    std::vector<WorldRect> panels() const;

    static constexpr float MARGIN_X = 10.0f;
    static constexpr float MARGIN_Y = 4.0f;
    static constexpr float FEATHER = 8.0f;
    static constexpr float CORNER_RADIUS = 8.0f;
    // Snow white; opaque enough that dark text reads on it over the darkest parts of the
    // pictures, translucent enough that the picture still shows through.
    static constexpr uint32_t COLOUR = 0xECF4F8FC;

private:
    std::vector<const MessageViewer*> viewers;
    std::vector<const MenuItem*> rows;
    std::vector<const TextLabel*> labels;
    std::vector<WorldRect> fixed;
    VertexBuffer* pVertices = nullptr;
};
