// One scene of the intro: loaded from the data file's bytes in memory (nothing is written
// anywhere), prepared by the engine, played frame by frame at the settings' rate, then freed.
#include "intro/intro.h"

#include "platform/clock.h"
#include "scene/scene.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace intro {

namespace {

void log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void log(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    introState.services->logMessage(text);
}

[[noreturn]] void fatal() {
    std::exit(1);
}

// The scene file's bytes; a missing or unreadable entry gives none, which the loaders refuse.
std::vector<unsigned char> readSceneFile(DataArchive& archive, const char* file) {
    long size = archive.entrySize(file);
    if (size <= 0) return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    long got = archive.readEntry(file, bytes.data(), 0);
    if (got != size) return {};
    return bytes;
}

void loadScene(const char* file, scene::Scene* s) {
    std::vector<unsigned char> bytes = readSceneFile(*introState.archive, file);
    int code = scene::scene_load_world_memory(bytes.data(), bytes.size(), s);
    if (code != 0) {
        log("error(after):%s\n", scene::scene_error_text(code));
        fatal();
    }
    code = scene::scene_load_motion_memory(bytes.data(), bytes.size(), s);
    if (code != 0) {
        log("error(after): %s\n", scene::scene_error_text(code));
        fatal();
    }
}

scene::Camera* findCamera() {
    scene::WorldNode* node = nullptr;
    if (engine::engineSettings.maxCompat) {
        scene::scene_find_by_name("Cam", &node);
    } else if (scene::scene_find_by_name("Camera01", &node) != 0 || !node) {
        node = nullptr;
        scene::scene_find_by_name("Cam", &node);
    }
    // Only a camera record has the fields the engine writes below.
    if (!node || node->kind != scene::WORLD_CAMERA || !node->record) {
        log("\n No camera object found('Camera01' or 'Cam')!");
        fatal();
    }
    return static_cast<scene::Camera*>(node->record);
}

} // namespace

int FrameTime(int framesPerSecond) {
    return framesPerSecond > 0 ? 1000 / framesPerSecond : 0;
}

void PlayScene(const char* sceneFile, const engine::PresentArea& area) {
    const IntroServices& sv = *introState.services;
    const engine::EngineSettings& set = engine::engineSettings;
    // Only CollectLights below may fill the light table; a scene that does not collect its
    // lights has none, not the last scene's (freed) ones.
    sv.clearLights();
    scene::scene_init(engine::LibraryOptions(set));
    scene::Scene* s = nullptr;
    if (scene::scene_alloc(&s) != 0 || !s) {
        log("error(after):%s\n", scene::scene_error_text(scene::SCENE_ERR_NOMEM));
        fatal();
    }
    loadScene(sceneFile, s);
    scene::scene_set_active(s);
    // A table that could not be had fails the preparation below, after its error was written.
    sv.allocFaceSortTable(s);
    if (set.optimizeScene) sv.optimizeScene(s, 1);
    scene::Camera* camera = findCamera();
    camera->sizeX = 320.0f;
    camera->sizeY = 200.0f;
    camera->aspect = 0.75f;
    if (set.computeAmbient) sv.computeAmbient(s);
    if (set.reportNoLights && sv.collectLights(s) == 0) log("\n note! no lights in scene!");
    if (sv.prepareScene(s) != 1) {
        log("\ntextures loading failed!");
        fatal();
    }
    scene::scene_set_active_camera(camera);
    PlayFrames(s, camera, area);
    sv.releaseSceneTextures(s);
    sv.freeFaceSortTable(s);
    scene::scene_free_world(s);
    scene::scene_free_motion(s);
    scene::scene_release(s);
}

namespace {

std::uint32_t* lockOrExit(PtcSurface* surface) {
    void* pixels = nullptr;
    try {
        pixels = ptc_surface_lock(surface);
    } catch (const PtcError&) {
    }
    if (!pixels) {
        ptc_error_report(ptc_error_create("could not lock surface"));
        fatal();
    }
    return static_cast<std::uint32_t*>(pixels);
}

void drawFrame(scene::Scene* s, scene::Camera* camera) {
    IntroState& st = introState;
    const IntroServices& sv = *st.services;
    const engine::EngineSettings& set = engine::engineSettings;
    sv.projectScene(s, camera, 320, 200);
    std::uint32_t* frame = lockOrExit(st.frameSurface);
    std::uint32_t* previous = lockOrExit(st.previousSurface);
    const int pitch = ptc_surface_pitch(st.frameSurface);
    sv.setFrameBuffers(frame, pitch, previous);
    if (set.clearFrame) {
        const std::size_t bytes = static_cast<std::size_t>(set.renderWidth) * set.renderHeight * 4;
        const std::size_t room = static_cast<std::size_t>(pitch) * st.frameSurface->height;
        const std::uint32_t* background = sv.backgroundPixels();
        if (background)
            std::memcpy(frame, background, std::min(bytes, room));
        else
            std::memset(frame, 0, std::min(bytes, room));
    }
    sv.renderScene(s, camera);
    ptc_surface_unlock(st.previousSurface);
    ptc_surface_unlock(st.frameSurface);
    if (set.trailMode != 0) sv.applyTrail(st.frameSurface, st.previousSurface);
    if (set.animatedTextures) sv.stepAnimatedTextures(s);
}

} // namespace

void PlayFrames(scene::Scene* s, scene::Camera* camera, const engine::PresentArea& area) {
    IntroState& st = introState;
    float start = 0.0f, end = 0.0f;
    scene::scene_get_frames(&start, &end);
    if (!(start < end)) return;
    const int frameTime = FrameTime(engine::engineSettings.framesPerSecond);
    const PtcArea shown{area.left, area.top, area.right, area.bottom};
    for (float frame = start; frame < end; frame += 1.0f) {
        const std::uint32_t deadline =
            platform::timeGetTime() + static_cast<std::uint32_t>(frameTime);
        if (st.services->keyWaiting(st.console)) {
            st.introAborted = 1;
            return;
        }
        scene::scene_set_frame(frame);
        scene::scene_update();
        drawFrame(s, camera);
        PresentAndSwap(&shown);
        platform::waitUntil(deadline);
    }
}

} // namespace intro
