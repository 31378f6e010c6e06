#pragma once
// The engine object with the media services: pointer dispatch, input, graphics, audio and the
// overlay font, started after the resource manager, and the language, started after the network.
// They are deleted in the engine's shutdown steps 1 and 4 to 8.

#include "engine/Qel.h"

class QelMedia : public Qel {
public:
    explicit QelMedia(void* hAppInstance = nullptr, SDL_Window* hWindowHandle = nullptr);

protected:
    QelMedia(void* hAppInstance, SDL_Window* hWindowHandle, const Services& services);

    static Services mediaServices();
    static void startMedia(Qel& engine);
    static void stopMedia(Qel& engine, int step);
};
