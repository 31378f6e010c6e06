#include "runtime/QelRuntime.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iterator>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/TimeKeeper.h"
#include "engine/Utilities.h"
#include "media/Camera.h"
#include "media/Context.h"
#include "media/FontGDI.h"
#include "media/MemoryImageFile.h"
#include "media/PointerDispatcher.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "media/Texture.h"
#include "media/TouchPoint.h"
#include "media/Vertex.h"
#include "media/VertexBuffer.h"
#include "platform/AudioLibrary.h"
#include "platform/D3DX9.h"
#include "runtime/Console.h"

namespace {

constexpr int KEY_F9 = 0x43;
constexpr int KEY_RSHIFT = 0x36;

void startRuntime(Qel& e) { e.pConsole = new Console(); }

}  // namespace

QelRuntime::QelRuntime(void* hAppInstance, SDL_Window* hWindowHandle)
    : QelMedia(hAppInstance, hWindowHandle, runtimeServices()) {}

Qel::Services QelRuntime::runtimeServices() {
    Services s = mediaServices();
    s.startBeforeNetwork = [](Qel& e) {
        startMedia(e);
        startRuntime(e);
    };
    s.stop = [](Qel& e, int step) {
        if (step == 3) {
            delete e.pConsole;
            e.pConsole = nullptr;
        } else {
            stopMedia(e, step);
        }
    };
    return s;
}

QelRuntime* qelRuntime() { return dynamic_cast<QelRuntime*>(qel); }

void QelRuntime::frame(Context* root) {
    const char16_t* fn = u"Qel::frame";
    // 1. Settle the engine mode; a frame that changes it does nothing else.
    switch (qelMode) {
        case MODE_OK: {
            const int32_t hr = testCooperativeLevel();
            if (hr != D3D_OK) {
                qelLog(fn, u"OK dxDevice->TestCooperativeLevel() returned %s.", ErrorManager::getDXErrorString(hr));
                changeQELmode(MODE_FROZEN);
                return;
            }
            if (!bWindowActive) {
                changeQELmode(MODE_PAUSED);
                return;
            }
            break;
        }
        case MODE_PAUSED: {
            const int32_t hr = testCooperativeLevel();
            if (hr != D3D_OK) {
                qelLog(fn, u"PAUSED dxDevice->TestCooperativeLevel() returned %s.", ErrorManager::getDXErrorString(hr));
                changeQELmode(MODE_FROZEN);
                return;
            }
            if (bWindowActive) {
                changeQELmode(MODE_OK);
                return;
            }
            if (!bTickWhilePaused) sleep(500);
            break;
        }
        default: {  // MODE_FROZEN
            if (!bWindowActive) {
                sleep(100);
                return;
            }
            const int32_t hr = testCooperativeLevel();
            if (hr == D3D_OK || hr == D3DERR_DEVICENOTRESET) {
                if (restorePresentation()) {
                    changeQELmode(MODE_PAUSED);
                } else {
                    qelLog(fn, u"restorePresentation() failed. Aborting...");
                    sleep(1000);
                }
                return;
            }
            qelLog(fn, u"FROZEN dxDevice->TestCooperativeLevel() returned %s.", ErrorManager::getDXErrorString(hr));
            sleep(1000);
            return;
        }
    }

    const bool ticking = qelMode == MODE_OK || (bTickWhilePaused && qelMode == MODE_PAUSED);
    for (int& s : frameStats) s = 0;
    double* t = profileMarks;
    if (ticking) {
        ++frameCount;
        if (pQelInput) pQelInput->poll();
        BASS_Update(100);
        t[0] = gameTime();
        t[1] = gameTime();
        if (lastFrameTime == 0.0) lastFrameTime = t[1];
        if (root) {
            root->tick(0, 0);
            if (pPointerDispatcher) pPointerDispatcher->update(root);
        }
        t[2] = gameTime();
        if (pConsole) pConsole->tick(0, 0);
        t[3] = gameTime();
    }
    IDirect3DDevice9* device = pQelGraphics ? pQelGraphics->dxDevice : nullptr;
    if (device) {
        device->BeginScene();
        pQelGraphics->resetViewport();
    }
    if (root) root->draw();
    if (ticking) {
        t[4] = gameTime();
        double elapsed = t[4] - lastFrameTime;
        double work = t[4] - t[1];
        lastFrameTime = t[4];
        totalWorkTime += work;
        if (elapsed < 0.00001) elapsed = 0.00001;
        if (work < 0.00001) work = 0.00001;
        frameRate = 1.0 / elapsed;
        unpacedRate = 1.0 / work;
        const int i = frameCount % HISTORY_LENGTH;
        frameHistory[HISTORY_WORK_MS][i] = static_cast<int>(work * 1000.0);
        frameHistory[HISTORY_TEXTURE_BYTES][i] = residentTextureBytes;
        frameHistory[HISTORY_IMAGE_BYTES][i] = residentImageBytes;
        frameHistory[HISTORY_SOUND_BYTES][i] = residentSoundBytes;
        frameHistory[HISTORY_STREAM_BYTES][i] = residentStreamBytes;
        // F9 newly down saves a screenshot, as ".tga" with right Shift held.
        if (pQelGraphics && pQelInput && pQelInput->wasKeyPressed(KEY_F9))
            pQelGraphics->saveScreenshot(root, getScreenshotPath(pQelInput->isKeyDown(KEY_RSHIFT)));
        for (int s = 0; s < STAT_COUNT; ++s) savedFrameStats[s] = frameStats[s];
        if (pConsole) pConsole->draw();
        if (debugLevel != 0) drawDebugOverlay();
    }
    if (device) device->EndScene();
    t[5] = gameTime();
    if (pQelGraphics) pQelGraphics->flip();
    if (ticking) {
        t[6] = gameTime();
        frameTimer.wait();
        t[7] = gameTime();
    }
    if (pQelInput) pQelInput->typedChar = 0;

    if (bFreezeRequested) {
        // A request while already paused or frozen still ends in MODE_FROZEN.
        if (qelMode != MODE_FROZEN) changeQELmode(MODE_FROZEN);
        bFreezeRequested = false;
    }
}

WString QelRuntime::getScreenshotPath(bool bTga) {
    return format(u"%s%s %s %.3lf.%s", getUserDataFolder(), getProductName(),
                  formatTimeStamp(static_cast<int64_t>(std::time(nullptr))), gameTime(), bTga ? u"tga" : u"bmp");
}

bool QelRuntime::getHistory(int ring, int age, int& value) const {
    if (ring < 0 || ring >= HISTORY_COUNT || age < 0 || age >= HISTORY_LENGTH || age >= frameCount) return false;
    const int frameNumber = frameCount - age;
    value = frameHistory[ring][frameNumber % HISTORY_LENGTH];
    return true;
}

std::vector<WString> QelRuntime::getDebugOverlayLines() {
    std::vector<WString> lines;
    const double* t = profileMarks;
    auto ms = [](double seconds) { return static_cast<int>(seconds * 1000.0); };
    if (debugLevel & 1) {
        const double average = frameCount > 0 ? totalWorkTime * 1000.0 / frameCount : 0.0;
        lines.push_back(format(u"frame: fps=%.1lf(forced=%.1lf), avg=%.1lfms, accuracy=%.1lfms, audio=%.2lf%%", unpacedRate,
                               frameRate, average, frameTimer.accuracy * 1000.0,
                               static_cast<double>(BASS_GetCPU())));
    }
    if (debugLevel & 2) {
        lines.push_back(format(u"global clock: %.3lf , delta %.3lf", frameTimer.frameTime, getFrameDelta()));
        lines.push_back(format(
            u"tick(%2dms), console(%2dms), render(%2dms), hud(%2dms), present(%2dms), timerwait(%2dms), misc(%2dms)",
            ms(t[2] - t[1]), ms(t[3] - t[2]), ms(t[4] - t[3]), ms(t[5] - t[4]), ms(t[6] - t[5]), ms(t[7] - t[6]),
            ms(t[0] - t[7])));
        const int* s = savedFrameStats;
        lines.push_back(format(u"%d/%d renderables, %d vertices, %d vbuffer writes, %d update visuals, %d invXforms, %d collisions",
                               s[STAT_RENDERABLES_DRAWN], s[STAT_RENDERABLES_CONSIDERED], s[STAT_VERTICES],
                               s[STAT_VBUFFER_WRITES], s[STAT_XFORM_UPDATES], s[STAT_INVERSE_XFORMS], s[STAT_COLLISIONS]));
        lines.push_back(format(u"resident: %dK textures (%d used: %dK), %dK memoryimagefiles, %dK sounds, %dK streams, %dK memoryfiles.",
                               residentTextureBytes / 1024, s[STAT_TEXTURES_USED], s[STAT_TEXELS_USED] * 4 / 1024,
                               residentImageBytes / 1024, residentSoundBytes / 1024, residentStreamBytes / 1024,
                               residentMemoryFileBytes / 1024));
        if (pQelInput) appendInputLines(lines);
    }
    return lines;
}

void QelRuntime::appendInputLines(std::vector<WString>& lines) {
    QelInput& input = *pQelInput;
    lines.push_back(format(u"inputMode %d. mouse: %.3lf,%.3lf,%.3lf", input.inputMode, static_cast<double>(input.pointer.x),
                           static_cast<double>(input.pointer.y), static_cast<double>(input.pointer.z)));
    auto flag = [](bool set, const char16_t* text) { return WString(set ? text : u""); };
    for (int i = 0; i < 4; ++i) {
        const TouchPoint* touch = input.getTouch(i);
        const bool down = input.mouseButtons[i] != 0;
        const bool wasDown = input.prevMouseButtons[i] != 0;
        lines.push_back(format(u"button: %s %s %s | %s %s %s", flag(touch && touch->bPressed, u"DOWN"),
                               flag(touch && touch->bHeld, u"PRESSED"), flag(touch && touch->bReleased, u"UP"),
                               flag(down && !wasDown, u"MDOWN"), flag(down, u"MPRESSED"), flag(!down && wasDown, u"MUP")));
    }
    for (int n = 0; n < INPUT_MAX_JOYSTICKS; ++n) {
        const Vector3 analogue = input.getJoystickAnalogue(n);
        const Vector3 pad = input.getJoystickPad(n);
        WString presses = u"buttonPresses: ";
        for (int j = 0; j < 32; ++j)
            if (input.isKeyDown(INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_KEYS * n + INPUT_JOYSTICK_BUTTONS + j))
                presses += format(u"%d ", j);
        lines.push_back(format(u"joystick %d: analogue=(%.3lf,%.3lf) pad=(%.3lf,%.3lf) %s", n, static_cast<double>(analogue.x),
                               static_cast<double>(analogue.y), static_cast<double>(pad.x), static_cast<double>(pad.y),
                               presses));
    }
    int k = 0;
    for (BasicLink* l = input.touchList.firstChild; l; l = l->next, ++k) {
        const TouchPoint* touch = static_cast<const TouchPoint*>(l);
        // A contact has no use count of its own; "handled" shows whether an object has claimed it.
        lines.push_back(format(u"touch:%d tag:%08x state:%d pos:%.1lf, %.1lf %s usage:%d handled:%x", k, touch->tag,
                               touch->state, static_cast<double>(touch->layoutPos.x), static_cast<double>(touch->layoutPos.y),
                               flag(touch->bDragging, u"DRAG"), 0, touch->pHandler ? 1 : 0));
    }
}

void QelRuntime::drawDebugOverlay() {
    debugOverlayLines = getDebugOverlayLines();
    Camera* camera = pConsole ? pConsole->pCamera : nullptr;
    if (!camera || !pFontGDI) return;
    camera->render();
    const WorldRect seen = camera->getVisibleRect(0.0f);
    const float lineHeight = static_cast<float>(pFontGDI->pixelHeight);
    float y = seen.top;
    for (const WString& line : debugOverlayLines) {
        drawOverlayText(seen.left, y, 0xFFFFFFFFu, line);
        y -= lineHeight;
    }
    if (debugLevel & 4) drawDebugGraphs(seen);
}

void QelRuntime::drawOverlayText(float x, float y, uint32_t color, const WString& text) {
    if (overlayTextHook)
        overlayTextHook(x, y, 0.0f, color, 0, text);
    else if (pFontGDI)
        pFontGDI->drawText(x, y, 0.0f, color, 0, text);
}

namespace {

// Draws the points as one untextured line strip from a temporary buffer; nothing without a device.
void drawLineStrip(const std::vector<Vertex>& points) {
    if (points.size() < 2 || !qel->pQelGraphics || !qel->pQelGraphics->dxDevice) return;
    VertexBuffer strip(static_cast<int>(points.size()));
    std::copy(points.begin(), points.end(), strip.vertexData);
    strip.upload();
    strip.draw(nullptr, 2, 0, -1);
}

}  // namespace

void QelRuntime::drawDebugGraphs(const WorldRect& seen) {
    if (pQelGraphics && pQelGraphics->dxDevice) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        pQelGraphics->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    }
    const float x0 = seen.right, y0 = seen.bottom;
    // The ring entry of the frame 'age' frames before the newest.
    auto sample = [this](int ring, int age) {
        const int i = ((frameCount - age) % HISTORY_LENGTH + HISTORY_LENGTH) % HISTORY_LENGTH;
        return frameHistory[ring][i];
    };

    // Frame time in milliseconds against the frame period.
    std::vector<Vertex> points(HISTORY_LENGTH);
    for (int i = 0; i < HISTORY_LENGTH; ++i)
        points[i] = Vertex{x0 - static_cast<float>(i), y0 + static_cast<float>(sample(HISTORY_WORK_MS, i)), 0.0f, 0xFFFF0000u, 0, 0};
    drawLineStrip(points);
    drawOverlayText(x0, points[0].y, 0xFFFF0000u, format(u"%.0lfms", static_cast<double>(sample(HISTORY_WORK_MS, 0))));
    const float target = y0 + static_cast<float>(frameTimer.period * 1000.0);
    drawLineStrip({Vertex{x0 - static_cast<float>(HISTORY_LENGTH), target, 0.0f, 0x80FF0000u, 0, 0},
                   Vertex{x0, target, 0.0f, 0x80FF0000u, 0, 0}});

    // Resident memory in megabytes, the series stacked on each other.
    struct Series {
        int ring;
        const char16_t* name;
        uint32_t color;
    };
    static const Series series[] = {{HISTORY_TEXTURE_BYTES, u"tex", 0x8000FF00u},
                                    {HISTORY_IMAGE_BYTES, u"image", 0x8000FF00u},
                                    {HISTORY_STREAM_BYTES, u"stream", 0x8000FF00u},
                                    {HISTORY_SOUND_BYTES, u"sfx", 0xFF00FF00u}};
    constexpr double megabyte = 1.0 / 1048576.0;
    double total = 0.0;
    for (const Series& s : series) total += sample(s.ring, 0) * megabyte;
    // Halved until the stack fits under the top of the view (a view with no height gives up).
    double scale = 16.0;
    while (y0 + total * scale > seen.top && scale > 1e-6) scale /= 2.0;
    std::vector<double> stacked(HISTORY_LENGTH, 0.0);
    const size_t last = std::size(series) - 1;
    for (size_t n = 0; n <= last; ++n) {
        const Series& s = series[n];
        for (int i = 0; i < HISTORY_LENGTH; ++i) {
            stacked[i] += sample(s.ring, i) * megabyte;
            points[i] = Vertex{x0 - static_cast<float>(i), static_cast<float>(y0 + stacked[i] * scale), 0.0f, s.color, 0, 0};
        }
        drawLineStrip(points);
        drawOverlayText(x0, points[0].y, s.color, format(u"%s %.1lf", s.name, sample(s.ring, 0) * megabyte));
        if (n == last) {
            const float lineHeight = pFontGDI ? static_cast<float>(pFontGDI->pixelHeight) : 0.0f;
            drawOverlayText(x0, points[0].y + lineHeight, s.color, format(u"%.1lfMB", stacked[0]));
        }
    }
}
