#pragma once
// One large picture that a texture split over a grid of tile textures: one quad per cell (each
// kept by its tile texture), all cells' vertices in the skin's own buffer, one draw per cell.
// Answers the class record of Skin.

#include <vector>

#include "media/Skin.h"

class Quad;

class TiledSkin : public Skin {
public:
    TiledSkin(int columns, int rows);
    ~TiledSkin() override;

    void drawFor(Renderable* renderable) override;
    // Size from the first row and column; cells placed row by row from the top-left, the whole
    // picture centred on the local origin; the buffer uploaded.
    void layout();

    int columns = 0;
    int rows = 0;
    int cellCount = 0;
    // Row by row from the top-left; not owned.
    std::vector<Quad*> cells;
};
