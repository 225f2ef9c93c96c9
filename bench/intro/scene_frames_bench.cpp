// The intro's two scenes played from this build's vrk.bin as the intro plays them (engine
// settings, projection, rendering, trail, presentation on a console without a display), with
// the waits between frames taken out. Each frame's time runs from one frame's start to the next;
// the counters give the median and the worst of all frames, in milliseconds. The goal is 2 ms.
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
    std::vector<double> sorted = frameMs;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) return;
    state.counters["frames"] = static_cast<double>(sorted.size()) / state.iterations();
    state.counters["median_ms"] = sorted[sorted.size() / 2];
    state.counters["worst_ms"] = sorted.back();
}

void BM_FirstSceneFrames(benchmark::State& state) {
    playScene(state, "train.3ds", true);
}
void BM_SecondSceneFrames(benchmark::State& state) {
    playScene(state, "hut2.3ds", false);
}

BENCHMARK(BM_FirstSceneFrames)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondSceneFrames)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
