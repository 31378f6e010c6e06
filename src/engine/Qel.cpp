#include "engine/Qel.h"

#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/ObjectListEntry.h"
#include "engine/Product.h"
#include "engine/QelBase.h"
#include "engine/QelNetwork.h"
#include "engine/QelProcessEntry.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "engine/Utilities.h"
#include "platform/Clock.h"
#include "platform/ProcessList.h"
#include "platform/SystemInfo.h"

QEL_IMPLEMENT_CLASS(Qel, nullptr, nullptr)

Qel* qel = nullptr;
BasicLink& Qel::objectList = *new BasicLink();

namespace {

const char16_t* const kSection = u"Qel";
constexpr int KEY_F10 = 0x44;
constexpr int KEY_F11 = 0x57;

}  // namespace

Qel::Qel(void* hAppInstance, SDL_Window* hWindowHandle) : Qel(hAppInstance, hWindowHandle, Services{}) {}

Qel::Qel(void* hAppInstance, SDL_Window* hWindowHandle, const Services& services)
    : hAppInstance(hAppInstance), hWindowHandle(hWindowHandle), services(services) {
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
    // read is left alone for this run; one that is no settings text, or far larger than any
    // settings text, is kept aside, not rewritten with its garbage as sections.
    const WString configPath = getConfigFilePath();
    pConfig = new MemoryIniFile(configPath, MAX_SETTINGS_BYTES);
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

    if (this->services.startBeforeNetwork) this->services.startBeforeNetwork(*this);
    pQelNetwork = new QelNetwork(pConfig);
    if (this->services.startAfterNetwork) this->services.startAfterNetwork(*this);

    frameTimer.reset(0.001);
    qelLog(u"Qel::Qel", u"Started.");
}

Qel::~Qel() {
    const char16_t* fn = u"Qel::~Qel";
    qelLog(fn, u"Initiating shutdown...");
    bShuttingDown = true;
    if (frameCount > 0) qelLog(fn, u"Rendered %d frames, avg=%.1lfms.", frameCount, totalWorkTime * 1000.0 / frameCount);
    saveSettings();

    // Services are deleted in reverse order of construction; the steps of the services above the
    // engine core are theirs, and only log their number when they have not joined.
    for (int step = 1; step <= 14; ++step) {
        qelLog(fn, u"%d...", step);
        switch (step) {
            case 2:
                delete pQelNetwork;
                pQelNetwork = nullptr;
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
                if (services.stop) services.stop(*this, step);
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
    if (services.saveSettings) services.saveSettings(*this);
    if (!pConfig) return;
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
    auto keyDown = [this](int code) {
        return keyDownHook ? keyDownHook(code) : services.keyDown && services.keyDown(*this, code);
    };
    if (!bDebugLocked) {
        if (keyDown(KEY_F11)) step *= 5.0;
        else if (keyDown(KEY_F10)) step /= 10.0;
    }
    return step < maxFrameDelta ? step : maxFrameDelta;
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
        // The services above the engine core are told before every object.
        if (services.changeMode) services.changeMode(*this, oldMode, newMode);
        qelLog(fn, u"Notifying %d objects.", objectList.countChildren());
        for (BasicLink* e = objectList.firstChild; e;) {
            BasicLink* following = e->next;
            static_cast<ObjectListEntry*>(e)->object->onQELmodeChange(oldMode, newMode);
            e = following;
        }
    }
    qelLog(fn, u"Mode change complete.");
}

