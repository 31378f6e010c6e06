#include "engine/Qel.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <ctime>

#include "engine/Context.h"
#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/ObjectListEntry.h"
#include "engine/Product.h"
#include "engine/QelBase.h"
#include "engine/Console.h"
#include "engine/QelNetwork.h"
#include "engine/QelProcessEntry.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/Camera.h"
#include "media/EngineInputEnvironment.h"
#include "media/FontGDI.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"
#include "media/QelAudio.h"
#include "platform/AudioLibrary.h"
#include "media/PointerDispatcher.h"
#include "media/QelInput.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "media/Texture.h"
#include "media/TouchPoint.h"
#include "media/Vertex.h"
#include "media/VertexBuffer.h"
#include "platform/Clock.h"
#include "platform/D3DX9.h"
#include "platform/ProcessList.h"
#include "platform/SystemInfo.h"

QEL_IMPLEMENT_CLASS(Qel, nullptr, nullptr)

Qel* qel = nullptr;
BasicLink& Qel::objectList = *new BasicLink();

namespace {

const char16_t* const kSection = u"Qel";
constexpr int KEY_F10 = 0x44;
constexpr int KEY_F11 = 0x57;
constexpr int KEY_F9 = 0x43;
constexpr int KEY_RSHIFT = 0x36;

}  // namespace

Qel::Qel(void* hAppInstance, SDL_Window* hWindowHandle) : hAppInstance(hAppInstance), hWindowHandle(hWindowHandle) {
    qel = this;
    randomSeed = platform::Clock::current().milliseconds() / 1000u;

    pLogger = new Logger();
    pLogger->writeLine(u"Qel engine for Linux -- OpenGL, SDL2.");
    pLogger->writeLine(format(u"Version: QelUDX9 build %hs %hs", __DATE__, __TIME__));
    dumpSystemInfo();
    pErrorManager = new ErrorManager();
    pTimeKeeper = new TimeKeeper();
    pFileManager = new FileManager();

    // The settings files always lie on disk, never in an archive.
    const bool wasForceDisk = pFileManager->bForceDisk;
    pFileManager->bForceDisk = true;

    // Settings of the edition, beside the program; every key is required.
    const WString staticPath = getStaticConfigFilePath();
    if (!fileExists(staticPath)) QEL_FATAL(u"Qel::Qel", u"Could not find file '%s'.", staticPath);
    {
        MemoryIniFile staticConfig(staticPath);
        singleLanguage = staticConfig.getInt(u"Language", u"singleLanguage");
        bHoliday = staticConfig.getBool(u"Edition", u"bHoliday");
        ditherDepth = staticConfig.getInt(u"Graphics", u"ditherDepth");
        hq2x = staticConfig.getInt(u"Graphics", u"hq2x");
        languageMask = staticConfig.getString(u"Language", u"languageMask");
    }
    pLogger->writeLine(format(u"HQ2X: %d", hq2x));

    // The player's settings; missing keys are written with their defaults. A file that cannot be
    // read is left alone for this run; one that is no settings text is kept aside, not rewritten
    // with its garbage as sections.
    const WString configPath = getConfigFilePath();
    pConfig = new MemoryIniFile(configPath);
    pFileManager->bForceDisk = wasForceDisk;
    if (pConfig->loadState == MemoryIniFile::LoadState::UNREADABLE) {
        FileManager::keepUnchanged(configPath);
        FileManager::reportFileProblem(
            u"Qel::Qel", configPath,
            format(u"'%s' cannot be read (%s); using default settings, and the file is not overwritten in this run.", configPath,
                   pConfig->loadProblem));
    } else if (!pConfig->damage.empty()) {
        FileManager::setAside(u"Qel::Qel", configPath, pConfig->damage);
        pConfig->clear();
    } else {
        FileManager::allowWriting(configPath);
    }
    MemoryIniFile& c = *pConfig;
    if (!c.hasKey(kSection, u"warning"))
        c.setString(kSection, u"warning", u"Do NOT modify this file unless you are explicitly instructed to do so!");
    c.getString(kSection, u"warning");
    if (!c.hasKey(kSection, u"debugLevel")) c.setInt(debugLevel, kSection, u"debugLevel");
    debugLevel = c.getInt(kSection, u"debugLevel");
    if (!c.hasKey(kSection, u"debugCode")) c.setInt(1, kSection, u"debugCode");
    bDebugLocked = c.getInt(kSection, u"debugCode") != DEBUG_UNLOCK_CODE;
    if (bDebugLocked) debugLevel = 0;
    if (!c.hasKey(kSection, u"defaultLanguage")) c.setInt(-2, kSection, u"defaultLanguage");
    defaultLanguage = c.getInt(kSection, u"defaultLanguage");
    if (!c.hasKey(kSection, u"bTickWhilePaused")) c.setBool(false, kSection, u"bTickWhilePaused");
    bTickWhilePaused = c.getBool(kSection, u"bTickWhilePaused");
    if (!c.hasKey(kSection, u"bEnableDelayedLoad")) c.setBool(true, kSection, u"bEnableDelayedLoad");
    bEnableDelayedLoad = c.getBool(kSection, u"bEnableDelayedLoad");
    // Files are read at once while the FileManager builds archives, so that each is recorded.
    if (pFileManager->bCreateWad) bEnableDelayedLoad = false;
    pFileManager->hq2x = hq2x;
    pFileManager->bDebugLocked = bDebugLocked;
    pFileManager->bEnableDelayedLoad = bEnableDelayedLoad;

    pResourceManager = new ResourceManager();

    pPointerDispatcher = new PointerDispatcher();
    pInputEnvironment = new EngineInputEnvironment();
    pQelInput = new QelInput(pInputEnvironment);
    pQelGraphics = new QelGraphics(hWindowHandle, pConfig);
    pQelInput->centerPointer();
    pQelAudio = new QelAudio(pConfig);
    pFontGDI = new FontGDI(12, Vector3(1.0f, 1.0f, 1.0f), u"Arial");
    pConsole = new Console();
    pQelNetwork = new QelNetwork(pConfig);
    pLanguage = new Language();

    frameTimer.reset(0.001);
    qelLog(u"Qel::Qel", u"Started.");
}

Qel::~Qel() {
    const char16_t* fn = u"Qel::~Qel";
    qelLog(fn, u"Initiating shutdown...");
    bShuttingDown = true;
    if (frameCount > 0) qelLog(fn, u"Rendered %d frames, avg=%.1lfms.", frameCount, totalWorkTime * 1000.0 / frameCount);
    saveSettings();

    // Services are deleted in reverse order of construction; the steps of services that have not
    // joined yet only log their number.
    for (int step = 1; step <= 14; ++step) {
        qelLog(fn, u"%d...", step);
        switch (step) {
            case 1:
                delete pLanguage;
                pLanguage = nullptr;
                break;
            case 2:
                delete pQelNetwork;
                pQelNetwork = nullptr;
                break;
            case 3:
                delete pConsole;
                pConsole = nullptr;
                break;
            case 4:
                delete pFontGDI;
                pFontGDI = nullptr;
                break;
            case 5:
                delete pQelAudio;
                pQelAudio = nullptr;
                break;
            case 6:
                delete pQelGraphics;
                pQelGraphics = nullptr;
                break;
            case 7:
                delete pQelInput;
                pQelInput = nullptr;
                delete pInputEnvironment;
                pInputEnvironment = nullptr;
                break;
            case 8:
                delete pPointerDispatcher;
                pPointerDispatcher = nullptr;
                break;
            case 9:
                delete pResourceManager;
                pResourceManager = nullptr;
                break;
            case 10:
                delete pConfig;
                pConfig = nullptr;
                break;
            case 11:
                delete pFileManager;
                pFileManager = nullptr;
                break;
            case 12:
                delete pTimeKeeper;
                pTimeKeeper = nullptr;
                break;
            case 13:
                delete pErrorManager;
                pErrorManager = nullptr;
                break;
            default:
                break;
        }
    }

    if (!bDebugLocked) {
        qelLog(fn, u"Objects still allocated (memory leaks?): %d", objectList.countChildren());
        std::vector<const QelBase*> objects;
        for (BasicLink* e = objectList.firstChild; e; e = e->next) objects.push_back(static_cast<ObjectListEntry*>(e)->object);
        for (size_t n = 0; n < objects.size(); ++n) {
            const QelBase* o = objects[n];
            WString parent = u"--";
            if (o->owner) {
                parent = u"parent=***FREED***";
                for (size_t i = 0; i < objects.size(); ++i)
                    if (objects[i] == o->owner) parent = format(u"parent=[%d]", static_cast<int>(i));
            }
            qelLog(fn, u"%8d. %s\t\t\t(uid=%d %s)", static_cast<int>(n), o->getClass()->name, o->objectUID, parent);
        }
    }
    qelLog(fn, u"Done. Clean exit.");
    delete pLogger;
    pLogger = nullptr;
    if (qel == this) qel = nullptr;
}

WString Qel::getConfigFileName() { return getProductName() + u".cfg"; }
WString Qel::getConfigFilePath() { return getUserDataFolder() + getConfigFileName(); }
WString Qel::getStaticConfigFileName() { return getProductName() + u".cfg.static"; }
WString Qel::getStaticConfigFilePath() { return getDataArchiveFolder() + getStaticConfigFileName(); }

void Qel::saveSettings() {
    if (pQelGraphics) pQelGraphics->saveSettings();
    if (!pConfig) return;
    // The output rate the application chose takes effect at the next start: it has to be in the
    // file before the file is written (the audio service writes it back only once it is deleted,
    // after the last save).
    if (pQelAudio) pConfig->setInt(pQelAudio->frequency, QelAudio::classRecord.name, u"frequency");
    pConfig->setInt(defaultLanguage, kSection, u"defaultLanguage");
    const WString& path = pConfig->fileName;
    if (FileManager::isKeptUnchanged(path)) {
        FileManager::reportFileProblem(u"Qel::saveSettings", path,
                                       format(u"'%s' is not saved: it could not be read at start, so it is left as it is.", path));
        return;
    }
    WString reason;
    if (!pConfig->save(&reason))
        FileManager::reportFileProblem(u"Qel::saveSettings", path,
                                       format(u"Could not save '%s' (%s); the file there is left as it was.", path, reason));
}

void Qel::dumpSystemInfo() {
    const char16_t* fn = u"Qel::dumpSystemInfo";
    const platform::OsVersion os = platform::getOsVersion();
    if (!os.sysname.empty()) osName = utf8ToWide(os.sysname);
    qelLog(fn, u"Operating system version : %s", osName);
    qelLog(fn, u"Release: %hs", os.release);
    qelLog(fn, u"Version: %hs", os.version);
    qelLog(fn, u"Machine: %hs", os.machine);

    const platform::MemoryInfo m = platform::getMemoryInfo();
    qelLog(fn, u"Memory information:");
    qelLog(fn, u"MemTotal: %lldK", static_cast<long long>(m.totalKb));
    qelLog(fn, u"MemAvailable: %lldK", static_cast<long long>(m.availableKb));
    qelLog(fn, u"SwapTotal: %lldK", static_cast<long long>(m.swapTotalKb));
    qelLog(fn, u"SwapFree: %lldK", static_cast<long long>(m.swapFreeKb));

    const std::vector<platform::ProcessInfo> processes = platform::listProcesses();
    if (processes.empty()) return;
    qelLog(fn, u"Process tree:");
    QelProcessEntry* root = QelProcessEntry::buildTree(processes);
    root->dump(u"");
    delete root;
}

double Qel::gameTime() { return pTimeKeeper ? pTimeKeeper->getTime() : 0.0; }

void Qel::sleep(uint32_t ms) { platform::Clock::current().sleep(ms); }

int32_t Qel::testCooperativeLevel() {
    // QelGraphics's device test replaces the hook when graphics join.
    return deviceTestHook ? deviceTestHook() : D3D_OK;
}

bool Qel::restorePresentation() { return restorePresentationHook ? restorePresentationHook() : true; }

double Qel::getFrameDelta() {
    double step = frameTimer.frameTime - frameTimer.previousFrameTime;
    auto keyDown = [this](int code) { return keyDownHook ? keyDownHook(code) : pQelInput && pQelInput->isKeyDown(code); };
    if (!bDebugLocked) {
        if (keyDown(KEY_F11)) step *= 5.0;
        else if (keyDown(KEY_F10)) step /= 10.0;
    }
    return step < maxFrameDelta ? step : maxFrameDelta;
}

void Qel::frame(Context* root) {
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

void Qel::changeQELmode(int target) {
    const char16_t* fn = u"Qel::changeQELmode";
    qelLog(fn, u"Change request from %d to %d (t=%.3lf).", qelMode, target, gameTime());
    if (bShuttingDown) {
        qelLog(fn, u"Shutdown in progress -- ignoring.");
        return;
    }
    if (target < MODE_FROZEN || target > MODE_OK) return;
    while (qelMode != target) {
        const int oldMode = qelMode;
        const int newMode = target > oldMode ? oldMode + 1 : oldMode - 1;
        qelMode = newMode;
        qelLog(fn, u"Changing mode from %d to %d.", oldMode, newMode);
        // Audio, then graphics (when it joins), then input are told before every object.
        if (pQelAudio) pQelAudio->onQELmodeChange(oldMode, newMode);
        if (pQelGraphics) pQelGraphics->onQELmodeChange(oldMode, newMode);
        if (pQelInput) pQelInput->onQELmodeChange(oldMode, newMode);
        qelLog(fn, u"Notifying %d objects.", objectList.countChildren());
        for (BasicLink* e = objectList.firstChild; e;) {
            BasicLink* following = e->next;
            static_cast<ObjectListEntry*>(e)->object->onQELmodeChange(oldMode, newMode);
            e = following;
        }
    }
    qelLog(fn, u"Mode change complete.");
}

WString Qel::getScreenshotPath(bool bTga) {
    return format(u"%s%s %s %.3lf.%s", getUserDataFolder(), getProductName(),
                  formatTimeStamp(static_cast<int64_t>(std::time(nullptr))), gameTime(), bTga ? u"tga" : u"bmp");
}

bool Qel::getHistory(int ring, int age, int& value) const {
    if (ring < 0 || ring >= HISTORY_COUNT || age < 0 || age >= HISTORY_LENGTH || age >= frameCount) return false;
    const int frameNumber = frameCount - age;
    value = frameHistory[ring][frameNumber % HISTORY_LENGTH];
    return true;
}

std::vector<WString> Qel::getDebugOverlayLines() {
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

void Qel::appendInputLines(std::vector<WString>& lines) {
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

void Qel::drawDebugOverlay() {
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

void Qel::drawOverlayText(float x, float y, uint32_t color, const WString& text) {
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

void Qel::drawDebugGraphs(const WorldRect& seen) {
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
