#include "menus/ContextSoundOptions.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionAudio.h"
#include "language/TextId.h"
#include "menus/ContextOptions.h"
#include "menus/EnumValueItem.h"
#include "menus/MenuLevelBar.h"

ContextSoundOptions::ContextSoundOptions() {
    ContextOptions::beginScreen(this, u"SOUND");
    GameConfiguration* c = ContextOptions::settings();
    const float r = float(itemSpacing);
    pSoundQuality = new EnumValueItem(64.0f, 2 * r, 0.0f, c ? &c->soundQuality : nullptr, 0, 2, ENUMSOUNDQUALITY0,
                                      AppText::text(u"SOUNDQUALITY"), AppText::text(u"SOUNDQUALITYHINT"));
    ContextOptions::addRow(this, pSoundQuality);
    pSoundVolume = new MenuLevelBar(64.0f, r, 0.0f, c ? &c->soundVolume : nullptr, 0, 24, AppText::text(u"SOUNDVOLUME"), u"");
    ContextOptions::addRow(this, pSoundVolume);
    pMusicVolume = new MenuLevelBar(64.0f, 0.0f, 0.0f, c ? &c->musicVolume : nullptr, 0, 24, AppText::text(u"MUSICVOLUME"), u"");
    ContextOptions::addRow(this, pMusicVolume);
    pInGameMusic = new MenuOptionItem(-39.0f, -r, 0.0f, AppText::text(u"INGAMEMUSIC"), AppText::text(u"INGAMEMUSICHINT"),
                                      c ? &c->bInGameMusic : nullptr);
    ContextOptions::addRow(this, pInGameMusic);
    pMuteAudio = new MenuOptionAudio(-39.0f, -2 * r, 0.0f, AppText::text(u"MUTEAUDIO"), AppText::text(u"MUTEAUDIOHINT"),
                                     c ? &c->bMuteAudio : nullptr);
    ContextOptions::addRow(this, pMuteAudio);
    pBackButton = ContextOptions::addBackButton(this);
}

void ContextSoundOptions::onDeactivate(bool bPopped) {
    ContextMenu::onDeactivate(bPopped);
    if (bPopped) AppLink::applyAudioSettings();
}
