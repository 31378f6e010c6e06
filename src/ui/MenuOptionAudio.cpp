#include "ui/MenuOptionAudio.h"

#include "ui/AppLink.h"

void MenuOptionAudio::onClick() { AppLink::applyAudioSettings(); }
