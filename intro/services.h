#pragma once
// What the intro's timeline calls outside itself: the music, the console's key test, the
// engine's scene steps and its logs. The library binds them to its own copies of the audio
// layer and the engine; tests bind fakes to step the timeline on a scripted music position.
#include <cstdint>

#include "audio/music.h"
#include "console/console.h"
#include "scene/records.h"

namespace intro {

struct IntroServices {
    // Music: start the built-in tune (nothing when the resource is missing), its position heard
    // now, the fade-out thread (false when it could not be started), the final release.
    void (*musicStart)();
    std::uint32_t (*musicPosition)();
    bool (*startMusicFadeOut)(MusicFlag* running);
    void (*musicFree)();

    // A key press waits on the console (and is taken).
    bool (*keyWaiting)(PtcConsole* console);

    // The engine, in the order a scene uses it.
    void (*clearLights)();
    int (*allocFaceSortTable)(scene::Scene* scene);
    int (*optimizeScene)(scene::Scene* scene, int verbose);
    int (*computeAmbient)(scene::Scene* scene);
    int (*collectLights)(scene::Scene* scene);
    int (*prepareScene)(scene::Scene* scene);
    void (*projectScene)(scene::Scene* scene, scene::Camera* camera, int width, int height);
    void (*setFrameBuffers)(std::uint32_t* frame, int pitchBytes, const std::uint32_t* previous);
    void (*renderScene)(scene::Scene* scene, scene::Camera* camera);
    // Blends the frame shown last into the new frame, by the settings' trail mode.
    void (*applyTrail)(PtcSurface* frame, PtcSurface* previous);
    void (*stepAnimatedTextures)(scene::Scene* scene);
    void (*releaseSceneTextures)(scene::Scene* scene);
    void (*freeFaceSortTable)(scene::Scene* scene);
    // The background picture (renderWidth x renderHeight), or null.
    const std::uint32_t* (*backgroundPixels)();

    // The engine's message log (silent in the product).
    void (*logMessage)(const char* text);
};

// The library's own binding to its copies of the audio layer, the console and the engine.
const IntroServices& productionServices();

} // namespace intro
