// One whole frame of the intro's engine: scene_update, ProjectScene and RenderScene of a
// scene of 10000 faces (25 spheres of 400 faces in every kind of material) at 320x200 with
// the first scene's settings (flares on), against copying the frame's bytes once.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "tests/engine/frame_prepared.h"
#include "tests/engine/frame_scene3ds.h"

namespace {

constexpr int FRAMES = 100;

// The scene of 25 spheres, prepared with the first scene's settings; false (the benchmark
// skipped) when it does not load.
bool loadSpheres(frame_test::PreparedScene& p, benchmark::State& state) {
    const scene_test::Bytes bytes = frame_test::spheresScene(25, 20, 11, FRAMES);
    if (p.load(bytes.data(), bytes.size(), engine::FirstScenePreset())) return true;
    state.SkipWithError("the scene did not load");
    return false;
}

void projectAndRender(frame_test::PreparedScene& p) {
    const engine::EngineSettings& s = engine::engineSettings;
    engine::ProjectScene(p.scene, p.camera, s.renderWidth, s.renderHeight);
    engine::SetFrameBuffers(p.frame.data(), s.renderWidth * 4, p.previous.data());
    engine::RenderScene(p.scene, p.camera);
}

void BM_WholeFrame(benchmark::State& state) {
    frame_test::PreparedScene p;
    if (!loadSpheres(p, state)) return;
    int frame = 0;
    for (auto _ : state) {
        scene::scene_set_frame(static_cast<float>(frame));
        scene::scene_update();
        projectAndRender(p);
        benchmark::DoNotOptimize(p.frame.data());
        p.frame.swap(p.previous);
        frame = (frame + 1) % FRAMES;
    }
    state.counters["faces"] = 10000;
}
BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMillisecond);

// The parts of that frame: the scene library's update alone, and projection, cull, sort and
// drawing alone (on the frame as the update left it).
void BM_WholeFrameParts(benchmark::State& state) {
    frame_test::PreparedScene p;
    if (!loadSpheres(p, state)) return;
    scene::scene_set_frame(FRAMES / 2);
    scene::scene_update();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            scene::scene_update();
        } else {
            projectAndRender(p);
        }
        benchmark::DoNotOptimize(p.frame.data());
    }
    state.SetLabel(state.range(0) == 0 ? "scene_update" : "ProjectScene+RenderScene");
}
BENCHMARK(BM_WholeFrameParts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same frame with the trail pass the first scene adds, by the chosen routine and by the
// plain one.
template <class Trail> void runTrail(benchmark::State& state, Trail trail) {
    std::vector<std::uint32_t> frame(320 * 200, 0x00336699), previous(320 * 200, 0x00996633);
    for (auto _ : state) {
        trail(frame.data(), previous.data(), 320, 200, 1280, 1002);
        benchmark::DoNotOptimize(frame.data());
    }
}
void BM_Trail(benchmark::State& state) {
    runTrail(state, engine::ApplyTrail);
}
BENCHMARK(BM_Trail)->Unit(benchmark::kMicrosecond);

void BM_TrailScalar(benchmark::State& state) {
    runTrail(state, engine::ApplyTrailScalar);
}
BENCHMARK(BM_TrailScalar)->Unit(benchmark::kMicrosecond);

void BM_FrameCopy(benchmark::State& state) {
    std::vector<std::uint32_t> frame(320 * 200, 1), previous(320 * 200, 2);
    for (auto _ : state) {
        std::memcpy(frame.data(), previous.data(), frame.size() * 4);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

} // namespace
