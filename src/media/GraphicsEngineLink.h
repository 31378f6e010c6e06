#pragma once
// What the graphics classes read from and count into the engine object and its other services.
// The engine object points these at its own fields and services when it is built; without an
// engine (tests, tools) they point at the defaults here.

class QelBase;
class Context;
class Camera;
struct Vector3;

// The per-frame counters of the frame loop, in the engine's order.
enum FrameStatistic : int {
    STAT_RENDERABLES_CONSIDERED = 0,
    STAT_RENDERABLES_DRAWN = 1,
    STAT_VERTICES = 2,
    STAT_TEXTURES_USED = 3,
    STAT_TEXELS_USED = 4,
    STAT_COLLISIONS = 5,
    STAT_VBUFFER_WRITES = 6,
    STAT_UPDATE_VISUALS = 7,
    STAT_INVXFORMS = 8,
    STAT_COUNT = 9,
};

struct GraphicsEngineLink {
    static inline bool defaultDebugLocked = true;
    static inline int defaultDebugLevel = 0;
    static inline int defaultFrameCount = 0;
    static inline bool defaultFreezeRequested = false;
    static inline int defaultStatistics[STAT_COUNT] = {};

    static inline bool* pDebugLocked = &defaultDebugLocked;        // Qel::bDebugLocked
    static inline int* pDebugLevel = &defaultDebugLevel;           // Qel::debugLevel
    static inline int* pFrameCount = &defaultFrameCount;           // Qel::frameCount
    static inline bool* pFreezeRequested = &defaultFreezeRequested;  // Qel::bFreezeRequested
    static inline int* pStatistics = defaultStatistics;            // Qel's nine frame statistics

    // The pointer dispatcher's hover and focus objects (null when none).
    static inline QelBase* (*getHoverObject)() = nullptr;
    static inline QelBase* (*getFocusObject)() = nullptr;
    // A context's camera, and its pointer position in its world (false when it has none).
    static inline Camera* (*getContextCamera)(Context* context) = nullptr;
    static inline bool (*getContextPointer)(QelBase* object, Vector3* worldPoint) = nullptr;

    static void count(FrameStatistic statistic, int amount = 1) { pStatistics[statistic] += amount; }
};
