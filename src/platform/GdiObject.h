#pragma once
// The base of the text-rasterising stand-in's drawing objects (fonts and bitmaps), which a device
// context selects.

namespace platform {

class GdiObject {
public:
    enum Kind { KIND_FONT, KIND_BITMAP };

    explicit GdiObject(Kind kind, bool stock = false) : kind(kind), bStock(stock) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const Kind kind;
    // Stock objects belong to the stand-in and are never deleted.
    const bool bStock;
    // Number of device contexts this object is selected into.
    int selectedCount = 0;
};

}  // namespace platform
