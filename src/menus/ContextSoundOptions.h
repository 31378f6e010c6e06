#pragma once
// Sound settings: quality, the two volumes, in-game music and mute. The volume bars and mute are
// heard at once; everything is applied to the engine when the screen is closed (by BACK or
// Escape), not when another screen covers it.

#include "ui/ContextMenu.h"

class EnumValueItem;
class MenuLevelBar;
class MenuOptionItem;
class MenuOptionAudio;
class MenuItemClose;

class ContextSoundOptions : public ContextMenu {
public:
    ContextSoundOptions();

    void onDeactivate(bool bPopped) override;

    EnumValueItem* pSoundQuality;
    MenuLevelBar* pSoundVolume;
    MenuLevelBar* pMusicVolume;
    MenuOptionItem* pInGameMusic;
    MenuOptionAudio* pMuteAudio;
    MenuItemClose* pBackButton;
};
