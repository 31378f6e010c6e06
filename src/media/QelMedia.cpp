#include "media/QelMedia.h"

#include "engine/MemoryIniFile.h"
#include "language/Language.h"
#include "media/EngineInputEnvironment.h"
#include "media/FontGDI.h"
#include "media/PointerDispatcher.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"

namespace {

void startLanguage(Qel& e) { e.pLanguage = new Language(); }

void saveMediaSettings(Qel& e) {
    if (e.pQelGraphics) e.pQelGraphics->saveSettings();
    // The output rate the application chose takes effect at the next start: it has to be in the
    // file before the file is written (the audio service writes it back only once it is deleted,
    // after the last save).
    if (e.pConfig && e.pQelAudio) e.pConfig->setInt(e.pQelAudio->frequency, QelAudio::classRecord.name, u"frequency");
}

// Audio, then graphics, then input.
void changeMediaMode(Qel& e, int oldMode, int newMode) {
    if (e.pQelAudio) e.pQelAudio->onQELmodeChange(oldMode, newMode);
    if (e.pQelGraphics) e.pQelGraphics->onQELmodeChange(oldMode, newMode);
    if (e.pQelInput) e.pQelInput->onQELmodeChange(oldMode, newMode);
}

bool mediaKeyDown(Qel& e, int keyCode) { return e.pQelInput && e.pQelInput->isKeyDown(keyCode); }

Language::KeyNameTable* inputKeyNames() { return qel && qel->pQelInput ? &qel->pQelInput->keyNames : nullptr; }

}  // namespace

QelMedia::QelMedia(void* hAppInstance, SDL_Window* hWindowHandle) : QelMedia(hAppInstance, hWindowHandle, mediaServices()) {}

QelMedia::QelMedia(void* hAppInstance, SDL_Window* hWindowHandle, const Services& services)
    : Qel(hAppInstance, hWindowHandle, services) {}

Qel::Services QelMedia::mediaServices() {
    Services s;
    s.startBeforeNetwork = &startMedia;
    s.startAfterNetwork = &startLanguage;
    s.stop = &stopMedia;
    s.saveSettings = &saveMediaSettings;
    s.changeMode = &changeMediaMode;
    s.keyDown = &mediaKeyDown;
    return s;
}

void QelMedia::startMedia(Qel& e) {
    Language::inputKeyNames = &inputKeyNames;
    e.pPointerDispatcher = new PointerDispatcher();
    e.pInputEnvironment = new EngineInputEnvironment();
    e.pQelInput = new QelInput(e.pInputEnvironment);
    e.pQelGraphics = new QelGraphics(e.hWindowHandle, e.pConfig);
    e.pQelInput->centerPointer();
    e.pQelAudio = new QelAudio(e.pConfig);
    e.pFontGDI = new FontGDI(12, Vector3(1.0f, 1.0f, 1.0f), u"Arial");
}

void QelMedia::stopMedia(Qel& e, int step) {
    switch (step) {
        case 1:
            delete e.pLanguage;
            e.pLanguage = nullptr;
            break;
        case 4:
            delete e.pFontGDI;
            e.pFontGDI = nullptr;
            break;
        case 5:
            delete e.pQelAudio;
            e.pQelAudio = nullptr;
            break;
        case 6:
            delete e.pQelGraphics;
            e.pQelGraphics = nullptr;
            break;
        case 7:
            delete e.pQelInput;
            e.pQelInput = nullptr;
            delete e.pInputEnvironment;
            e.pInputEnvironment = nullptr;
            break;
        case 8:
            delete e.pPointerDispatcher;
            e.pPointerDispatcher = nullptr;
            break;
        default:
            break;
    }
}
