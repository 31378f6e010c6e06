#include "app/MenuOptionAudio.h"

#include "app/AppLink.h"

void MenuOptionAudio::onClick() { AppLink::applyAudioSettings(); }
