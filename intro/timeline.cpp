// The intro's timeline: display and surfaces, the tune, the logo, the two scenes with the
// pictures between them, the final fade and the tear-down. The sequences start when the music
// reaches their positions, so the intro keeps step with the tune.
#include "intro/intro.h"

#include "engine/settings.h"
#include "platform/clock.h"
#include "platform/message_box.h"

#include <cstdlib>

namespace intro {

IntroState introState;
void* moduleHandle = nullptr;

namespace {

constexpr int WIDTH = 320, HEIGHT = 200;

[[noreturn]] void reportAndExit(const char* message) {
    ptc_error_report(ptc_error_create(message));
    std::exit(1);
}

void openConsole(IntroState& st) {
    st.console = ptc_console_create();
    const char* modes[] = {"FUZZY32", "FUZZY16"};
    for (const char* mode : modes) {
        try {
            ptc_console_open(st.console, "VEXEL 3DEngine v2", WIDTH, HEIGHT, mode);
        } catch (const PtcError&) {
        }
        if (ptc_console_is_open(st.console)) return;
    }
    reportAndExit("could not initialize - vesa 2.0 16/24/32bpp linear mode!");
}

PtcSurface* createFrameSurface() {
    try {
        const PtcFormat format = ptc_format_named(PTC_FORMAT_ARGB8888);
        return ptc_surface_create(WIDTH, HEIGHT, &format);
    } catch (const PtcError&) {
        return nullptr;
    }
}

// Both frame surfaces, or false after the error report with everything made so far released.
bool createSurfaces(IntroState& st) {
    st.frameSurface = createFrameSurface();
    if (ptc_surface_valid(st.frameSurface)) st.previousSurface = createFrameSurface();
    if (ptc_surface_valid(st.frameSurface) && ptc_surface_valid(st.previousSurface)) return true;
    ptc_error_report(ptc_error_create("could not create surface"));
    ptc_surface_destroy(st.previousSurface);
    ptc_surface_destroy(st.frameSurface);
    ptc_console_destroy(st.console);
    st.previousSurface = st.frameSurface = nullptr;
    st.console = nullptr;
    return false;
}

void playSceneWith(const engine::EngineSettings& settings, const engine::PresentArea& area,
                   const char* file) {
    engine::engineSettings = settings;
    PlayScene(file, area);
}

void fadeOutMusic(IntroState& st) {
    const IntroServices& sv = *st.services;
    st.musicRunning.store(1);
    // Without the thread there is nothing to wait for; the release below still runs.
    if (!sv.startMusicFadeOut(&st.musicRunning)) st.musicRunning.store(0);
    while (st.musicRunning.load() != 0) platform::sleepMs(100);
    platform::sleepMs(200);
    sv.musicFree();
}

} // namespace

int RunIntro(void* module) {
    IntroState& st = introState;
    moduleHandle = module;
    if (!st.archive || !st.archive->isOpen()) {
        platform::messageBox("I need file 'VRK.BIN' to run properly!", "Tinselwave intro",
                             platform::MB_OK);
        std::exit(1);
    }
    openConsole(st);
    ptc_console_title(st.console, "VEXEL 3DEngine v2");
    if (!createSurfaces(st)) return 1;
    st.services->musicStart();

    if (!st.introAborted) ShowLogo();
    if (!st.introAborted) {
        WaitForPosition(musicPos(1, 55));
        const engine::EngineSettings first = engine::FirstScenePreset();
        playSceneWith(first, engine::FirstSceneArea(first), "train.3ds");
    }
    if (!st.introAborted) ShowPictures();
    if (!st.introAborted) {
        WaitForPosition(musicPos(7, 55));
        const engine::EngineSettings second = engine::SecondScenePreset();
        playSceneWith(second, engine::SecondSceneArea(second), "hut2.3ds");
    }
    FadeToBlack();
    fadeOutMusic(st);

    ptc_console_close(st.console);
    ptc_surface_destroy(st.previousSurface);
    ptc_surface_destroy(st.frameSurface);
    ptc_console_destroy(st.console);
    st.previousSurface = st.frameSurface = nullptr;
    st.console = nullptr;
    return 0;
}

void WaitForPosition(std::uint32_t position) {
    const IntroServices& sv = *introState.services;
    while (sv.musicPosition() < position) platform::sleepMs(1);
}

void PresentAndSwap(const PtcArea* area) {
    IntroState& st = introState;
    // An error report closes the display; the sequences that still run show nothing then.
    if (!ptc_console_is_open(st.console))
        ;
    else if (area)
        ptc_console_present_area(st.console, st.frameSurface, area);
    else
        ptc_console_present(st.console, st.frameSurface);
    std::swap(st.frameSurface, st.previousSurface);
}

} // namespace intro
