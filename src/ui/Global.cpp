#include "ui/Global.h"

#include <netinet/in.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/ContextIntro.h"
#include "ui/ContextLogo.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextStudioLogo.h"
#include "ui/GUIthemeMinimal.h"
#include "ui/GUIthemeStandard.h"
#include "engine/ClassRegistry.h"
#include "runtime/Console.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/NetAddress.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/QelBase.h"
#include "engine/Random.h"
#include "engine/TimeKeeper.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/Texture.h"
#include "platform/AudioLibrary.h"
#include "platform/System.h"

Global* game = nullptr;

Global::Global() : gameConfiguration(), profileManager() { game = this; }

Global::~Global() {
    // The shared screens and themes first, then the stack with every screen still on it, then the
    // resources the screens used.
    delete pContextIntro;
    pContextIntro = nullptr;
    delete pContextMenuBackground;
    pContextMenuBackground = nullptr;
    delete pGUIthemeStandard;
    delete pGUIthemeMinimal;
    pGUIthemeStandard = nullptr;
    pGUIthemeMinimal = nullptr;
    delete pContextManager;
    pContextManager = nullptr;
    delete pResourceRoot;
    pResourceRoot = nullptr;
    pendingUrl.clear();
    // The profiles manager saves ".pro" as it is destroyed, before the configuration saves ".hst".
    profileManager.save();
    gameConfiguration.save();
    if (game == this) game = nullptr;
}

Loader* Global::initPreLoader() {
    const char16_t* fn = u"Global::initPreLoader";
    ClassRegistry& registry = ClassRegistry::get();
    registry.assignClassIDs();
    if (registry.bBadClasses) ErrorManager::assertionFailed(fn, "src\\Global", 55, u"!m->bBadClasses");

    if (qel && !qel->bDebugLocked) {
        // The sizes of the stored records (and of a few system types), on the console for the
        // developer; the console also copies its lines to the log.
        const std::pair<const char16_t*, size_t> sizes[] = {
            {u"sizeof(bool)=%d", sizeof(bool)},
            {u"sizeof(NetAddress)=%d", sizeof(NetAddress)},
            {u"sizeof(sockaddr_in)=%d", sizeof(sockaddr_in)},
            {u"sizeof(GameConfiguration)=%d", sizeof(GameConfigurationRecord)},
            {u"sizeof(HIGHSCOREENTRY)=%d", sizeof(HIGHSCOREENTRY)},
            {u"sizeof(ProfileData)=%d", sizeof(ProfileData)},
            {u"sizeof(ProfileManager)=%d", sizeof(ProfileManager)},
        };
        for (const auto& [line, size] : sizes) {
            if (qel->pConsole)
                qel->pConsole->addLine(line, static_cast<int>(size));
            else
                qelLog(fn, line, static_cast<int>(size));
        }
    }

    pResourceRoot = new QelBase();
    if (qel && qel->pFileManager) qel->pFileManager->useWad(getDataArchivePath());

    return startLoader ? startLoader(*this) : nullptr;
}

void Global::initPostLoader() {
    // The shared objects and start screens of the menus; the last pushed is shown first.
    pGUIthemeStandard = new GUIthemeStandard();
    pGUIthemeMinimal = new GUIthemeMinimal();
    pContextIntro = new ContextIntro();
    pContextMenuBackground = new ContextMenuBackground();
    createStartContexts();
    pContextManager->pushContext(new ContextLogo());
    pContextManager->pushContext(new ContextStudioLogo());
    // After a crash the report page comes first.
    if (crashFilesExist() && createErrorReport) pContextManager->pushContext(createErrorReport());
    // What loading took and let go of goes back to the system.
    platform::returnFreeMemory();
    const double t = qel && qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : 0.0;
    qelLog(u"Global::initPostLoader", u"Global initialization complete at t=%.3lf sec.", t);
}

void Global::saveUserData() {
    qelLog(u"Global::saveUserData", u"Saving.");
    profileManager.save();
    gameConfiguration.save();
    if (qel) qel->saveSettings();
}

void Global::applyAudioSettings(int width, int height) {
    const GameConfiguration& c = gameConfiguration;
    if (qel) {
        const double now = qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : 0.0;
        qel->frameTimer.frameTime = now;
        qel->frameTimer.previousFrameTime = now;
        qel->frameTimer.period = 1.0 / std::max(1, c.maxFramesPerSecond);
    }
    static const int frequencies[3] = {11025, 22050, 44100};
    if (qel && qel->pQelAudio) qel->pQelAudio->frequency = frequencies[std::clamp(c.soundQuality, 0, 2)];
    if (c.bMuteAudio) {
        BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 0);
        BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, 0);
        BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 0);
    } else {
        const int sampleVolume = globalVolume(c.soundVolume);
        const int musicVolume = globalVolume(c.musicVolume);
        BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, static_cast<DWORD>(sampleVolume));
        BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, static_cast<DWORD>(musicVolume));
        BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, static_cast<DWORD>(musicVolume));
    }
    if (qel && qel->pQelGraphics) {
        qel->pQelGraphics->changePresentationParameters(width, height, c.bFullScreen != 0, c.bAllowLetterbox != 0,
                                                        c.bBilinearFilter != 0, c.bUseVSync != 0);
        qel->pQelGraphics->bHighDetail = c.detailLevel >= 1;
    }
}

int Global::globalVolume(int setting) { return static_cast<int>(std::clamp(setting, 0, 24) / 24.0 * 10000.0); }

bool crashFilesExist() { return fileExists(getCrashLogPath()) || fileExists(getCrashDumpPath()); }

WString getDataArchiveName() { return getProductName() + u".dat"; }
WString getDataArchivePath() { return getDataArchiveFolder() + getDataArchiveName(); }

WString formatThousands(int value, WStringView separator) {
    WString text = format(u"%d", value);
    // Digits are grouped from the right; a leading minus sign is not a digit.
    const size_t sign = value < 0 ? 1 : 0;
    for (size_t k = 3; k < text.size() - sign; k += 3 + separator.size()) text.insert(text.size() - k, separator);
    return text;
}

WString formatThousands(int value) {
    const char16_t* separator = qel && qel->pLanguage ? qel->pLanguage->getText(THOUSANDSEPARATOR) : u",";
    return formatThousands(value, separator ? separator : u",");
}

uint32_t randomPrimaryColor() {
    const uint32_t mask = randomNext() % 6 + 1;
    uint32_t color = 0xFF000000u;
    for (int channel = 0; channel < 3; ++channel) {
        const uint32_t value = (mask & (1u << channel)) ? 0xFFu : (randomNext() % 5) * 32;
        color |= value << (16 - 8 * channel);
    }
    return color;
}

Vector3 rectEdgePoint(float x, float y, float z, float angle, const float rect[4]) {
    constexpr float pi = 3.1415927f, twoPi = 6.2831855f;
    while (angle > pi) angle -= twoPi;
    while (angle < -pi) angle += twoPi;
    const float left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
    const float tl = std::atan2(top - y, left - x);
    const float bl = std::atan2(bottom - y, left - x);
    const float br = std::atan2(bottom - y, right - x);
    const float tr = std::atan2(top - y, right - x);
    float d;
    if (angle >= tr && angle < tl) d = std::fabs((top - y) / std::sin(angle));
    else if (angle >= tl || angle <= bl) d = std::fabs((left - x) / std::cos(angle));
    else if (angle > bl && angle <= br) d = std::fabs((bottom - y) / std::sin(angle));
    else d = std::fabs((right - x) / std::cos(angle));
    return Vector3(x + std::cos(angle) * d, y + std::sin(angle) * d, z);
}
