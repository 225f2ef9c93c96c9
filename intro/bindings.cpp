// The intro's services bound to the library's own copies of the audio layer, the console and
// the engine.
#include "intro/services.h"

#include "engine/frame.h"
#include "engine/lights.h"
#include "engine/log.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "engine/trail.h"
#include "platform/resources.h"
#include "platform/thread.h"

namespace intro {

namespace {

void musicStart() {
    music_init(nullptr);
    platform::ResourceHandle tune = platform::findResource("super.xm", "RT_RCDATA");
    if (tune) music_play_memory(platform::lockResource(tune));
}

bool startMusicFadeOut(MusicFlag* running) {
    return platform::startThread(music_fade_out_thread, running, 8000);
}

bool keyWaiting(PtcConsole* console) {
    return ptc_console_is_open(console) && ptc_console_key(console);
}

const std::uint32_t* backgroundPixels() {
    return engine::backgroundPixels;
}

void logMessage(const char* text) {
    engine::LogMessage("%s", text);
}

void applyTrail(PtcSurface* frame, PtcSurface* previous) {
    auto* to = static_cast<std::uint32_t*>(ptc_surface_lock(frame));
    auto* from = static_cast<const std::uint32_t*>(ptc_surface_lock(previous));
    engine::ApplyTrail(to, from, ptc_surface_width(frame), ptc_surface_height(frame),
                       ptc_surface_pitch(frame), engine::engineSettings.trailMode);
    ptc_surface_unlock(previous);
    ptc_surface_unlock(frame);
}

} // namespace

const IntroServices& productionServices() {
    static const IntroServices services{
        musicStart,
        music_position,
        startMusicFadeOut,
        music_free,
        keyWaiting,
        engine::ClearLights,
        engine::AllocFaceSortTable,
        engine::OptimizeScene,
        engine::ComputeAmbient,
        engine::CollectLights,
        engine::PrepareScene,
        engine::ProjectScene,
        engine::SetFrameBuffers,
        engine::RenderScene,
        applyTrail,
        engine::StepAnimatedTextures,
        engine::ReleaseSceneTextures,
        engine::FreeFaceSortTable,
        backgroundPixels,
        logMessage,
    };
    return services;
}

} // namespace intro
