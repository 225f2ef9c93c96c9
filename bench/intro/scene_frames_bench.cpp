// The intro's two scenes played from this build's vrk.bin as the intro plays them (engine
// settings, projection, rendering, trail, presentation on a console without a display), with
// the waits between frames taken out. Each frame's time runs from one frame's start to the next.
// Every frame is played once per iteration and keeps its shortest time, so that a moment the
// system takes the processor away is not put on one frame; the counters give the median and the
// worst frame of the scene by that time, the worst frame of the first play (caches as cold as
// in the intro, which plays each scene once) and the worst single time seen, in milliseconds.
// The goal is 2 ms.
#include "engine/pictures.h"
#include "intro/intro.h"

#include "platform/clock.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Time as the intro asks for it, but every wait returns at once.
struct NoWaitClock final : platform::ClockSource {
    std::uint32_t t = 0;
    std::uint32_t now() override { return t; }
    void waitUntil(std::uint32_t deadline) override { t = deadline; }
    void sleep(std::uint32_t ms) override { t += ms; }
};

std::vector<double> frameMs;
Clock::time_point frameStart;
bool inFrame = false;
intro::IntroServices timed;

void frameBoundary() {
    const Clock::time_point now = Clock::now();
    if (inFrame)
        frameMs.push_back(std::chrono::duration<double, std::milli>(now - frameStart).count());
    frameStart = now;
}

// The key test opens every frame; the texture release follows the last one.
bool keyTest(PtcConsole*) {
    frameBoundary();
    inFrame = true;
    return false;
}
void releaseTextures(scene::Scene* s) {
    frameBoundary();
    inFrame = false;
    intro::productionServices().releaseSceneTextures(s);
}

void playScene(benchmark::State& state, const char* file, bool first) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto archive = std::make_unique<DataArchive>(VRK_BINARY_DIR "/vrk.bin");
    if (!archive->isOpen()) {
        state.SkipWithError("no vrk.bin in the build folder");
        return;
    }
    engine::SetPictureArchive(archive.get());
    NoWaitClock clock;
    platform::ClockSource* real = platform::setClockSource(&clock);
    timed = intro::productionServices();
    timed.keyWaiting = keyTest;
    timed.releaseSceneTextures = releaseTextures;
    intro::IntroState& st = intro::introState;
    st.services = &timed;
    st.archive = archive.get();
    st.console = ptc_console_create();
    ptc_console_open(st.console, "bench", 320, 200, "FUZZY32");
    const PtcFormat format = ptc_format_named(PTC_FORMAT_ARGB8888);
    st.frameSurface = ptc_surface_create(320, 200, &format);
    st.previousSurface = ptc_surface_create(320, 200, &format);
    frameMs.clear();
    for (auto _ : state) {
        engine::engineSettings = first ? engine::FirstScenePreset() : engine::SecondScenePreset();
        const engine::PresentArea area = first ? engine::FirstSceneArea(engine::engineSettings)
                                               : engine::SecondSceneArea(engine::engineSettings);
        intro::PlayScene(file, area);
    }
    ptc_surface_destroy(st.previousSurface);
    ptc_surface_destroy(st.frameSurface);
    ptc_console_destroy(st.console);
    st.console = nullptr;
    st.frameSurface = st.previousSurface = nullptr;
    platform::setClockSource(real);
    engine::SetPictureArchive(nullptr);
    const std::size_t frames = frameMs.size() / state.iterations();
    if (frames == 0) return;
    std::vector<double> shortest(frameMs.begin(), frameMs.begin() + frames);
    for (std::size_t i = frames; i < frames * state.iterations(); ++i)
        shortest[i % frames] = std::min(shortest[i % frames], frameMs[i]);
    std::sort(shortest.begin(), shortest.end());
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["median_ms"] = shortest[frames / 2];
    state.counters["worst_ms"] = shortest.back();
    state.counters["worst_first_play_ms"] =
        *std::max_element(frameMs.begin(), frameMs.begin() + frames);
    state.counters["worst_single_ms"] = *std::max_element(frameMs.begin(), frameMs.end());
}

void BM_FirstSceneFrames(benchmark::State& state) {
    playScene(state, "train.3ds", true);
}
void BM_SecondSceneFrames(benchmark::State& state) {
    playScene(state, "hut2.3ds", false);
}

BENCHMARK(BM_FirstSceneFrames)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondSceneFrames)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
