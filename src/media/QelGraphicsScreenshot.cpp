// QelGraphics's screenshots: the back buffer copied into an image and written as TGA (with the
// mask pass for its alpha), BMP or JPG.

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/Context.h"
#include "engine/Logger.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"

MemoryImageFile* QelGraphics::captureBackBuffer() {
    auto* image = new MemoryImageFile(std::max(1, backBufferWidth), std::max(1, backBufferHeight));
    image->bHasAlpha = true;
    std::memset(image->pImageData, 0, size_t(image->width) * size_t(image->height) * sizeof(UColor));
    if (!dxDevice) return image;
    UINT w = 0, h = 0;
    std::vector<D3DCOLOR> pixels;
    if (dxFailed(dxDevice->GetBackBufferPixels(&w, &h, &pixels))) return image;
    const size_t rows = std::min<size_t>(h, size_t(image->height));
    const size_t columns = std::min<size_t>(w, size_t(image->width));
    if (pixels.size() < size_t(w) * size_t(h)) return image;
    for (size_t y = 0; y < rows; ++y)
        std::memcpy(image->pImageData + y * size_t(image->width), pixels.data() + y * size_t(w), columns * sizeof(UColor));
    return image;
}

void QelGraphics::saveScreenshot(Context* drawRoot, WStringView fileName) {
    if (!dxD3D || !dxDevice) return;
    MemoryImageFile* picture = captureBackBuffer();
    if (fileName.find(u".tga") != WStringView::npos) {
        // The mask: the scene again in white on black. Inside the frame's own scene a second
        // BeginScene is refused; the draw then joins that scene, which is not closed here.
        bScreenshotPass = true;
        setGlobalRenderState();
        dxDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        const bool bOwnScene = dxSucceeded(dxDevice->BeginScene());
        if (drawRoot) drawRoot->draw();
        bScreenshotPass = false;
        setGlobalRenderState();
        MemoryImageFile* mask = captureBackBuffer();
        // The frame goes on to be shown: draw the scene back over the mask.
        if (drawRoot) {
            resetViewport();
            drawRoot->draw();
        }
        if (bOwnScene) dxDevice->EndScene();

        const size_t count = size_t(mask->width) * size_t(mask->height);
        for (size_t i = 0; i < count && i < size_t(picture->width) * size_t(picture->height); ++i) {
            const uint32_t a = (mask->pImageData[i] >> 16) & 0xFF;
            UColor& p = picture->pImageData[i];
            p = (p & 0x00FFFFFFu) | a << 24;
            if (a >= 1 && a <= 254) {
                const float f = 1.0f / (float(a) / 255.0f);
                uint32_t out = a << 24;
                for (int shift = 0; shift < 24; shift += 8) {
                    const float c = f * float((p >> shift) & 0xFF);
                    out |= uint32_t(std::min(255.0f, float(int(c)))) << shift;
                }
                p = out;
            }
        }
        delete mask;
        picture->saveTGA(fileName);
    } else if (fileName.find(u".bmp") != WStringView::npos) {
        picture->saveBMP(fileName);
    } else if (fileName.find(u".jpg") != WStringView::npos) {
        picture->saveJPG(60, fileName);
    }
    delete picture;
}
