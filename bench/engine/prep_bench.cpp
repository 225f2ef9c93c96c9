#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

#include "engine/lights.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "engine/swizzle.h"
#include "tests/engine/support/prep_fixture.h"

namespace {

constexpr std::size_t SLOT = 262144;

// The clock is the thread's processor time, so a busy machine that takes the processor away
// for a while counts against neither side.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct AlignedSlot {
    std::uint8_t* bytes;
    AlignedSlot() : bytes(static_cast<std::uint8_t*>(std::aligned_alloc(SLOT, SLOT))) {
        std::memset(bytes, 0, SLOT);
    }
    ~AlignedSlot() { std::free(bytes); }
};

// Times the swizzle of one texture, each right after a memcpy of the same bytes into a slot,
// alternating which goes first; vs_memcpy is memcpy's time over the swizzle's (1.0 = as fast).
void runAgainstMemcpy(benchmark::State& state, const engine::AmbientTint* tint, bool reference) {
    engine::SurfaceHandle picture = engine::CreateSurface(256, 256, PTC_FORMAT_ARGB8888);
    std::mt19937 random(5);
    for (auto& b : picture->pixels) b = static_cast<std::uint8_t>(random());
    AlignedSlot copy, slot;
    const std::uint8_t* rows = picture->pixels.data();
    auto* out = reinterpret_cast<std::uint32_t*>(slot.bytes);
    double copySeconds = 0, swizzleSeconds = 0;
    bool copyFirst = true;
    auto copyOnce = [&] {
        std::memcpy(copy.bytes, rows, SLOT);
        benchmark::DoNotOptimize(copy.bytes);
        benchmark::ClobberMemory();
    };
    auto swizzleOnce = [&] {
        if (reference)
            engine::SwizzleTexelsReference(rows, picture->pitch, out, tint);
        else
            engine::SwizzleTexels(rows, picture->pitch, out, tint);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    };
    for (auto _ : state) {
        const double t0 = threadSeconds();
        copyFirst ? copyOnce() : swizzleOnce();
        const double t1 = threadSeconds();
        copyFirst ? swizzleOnce() : copyOnce();
        const double t2 = threadSeconds();
        copySeconds += copyFirst ? t1 - t0 : t2 - t1;
        swizzleSeconds += copyFirst ? t2 - t1 : t1 - t0;
        state.SetIterationTime(copyFirst ? t2 - t1 : t1 - t0);
        copyFirst = !copyFirst;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * SLOT);
    state.counters["vs_memcpy"] = swizzleSeconds > 0 ? copySeconds / swizzleSeconds : 0;
}

void BM_SwizzleTexture(benchmark::State& s) {
    runAgainstMemcpy(s, nullptr, false);
}
void BM_SwizzleTextureTinted(benchmark::State& s) {
    const engine::AmbientTint tint{0.5f, 0.75f, 0.25f};
    runAgainstMemcpy(s, &tint, false);
}
void BM_SwizzleReference(benchmark::State& s) {
    runAgainstMemcpy(s, nullptr, true);
}
void BM_SwizzleReferenceTinted(benchmark::State& s) {
    const engine::AmbientTint tint{0.5f, 0.75f, 0.25f};
    runAgainstMemcpy(s, &tint, true);
}

// "<prefix><t><suffix>" without string concatenation, which trips a false warning of GCC 12.
std::string numbered(const char* prefix, int t, const char* suffix = "") {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d%s", prefix, t, suffix);
    return text;
}

// A scene of 16 materials, 12 with 24-bit and 4 with 8-bit palette textures of 256x256, and
// the first scene's flare picture, prepared and released once per iteration.
void BM_PrepareScene16Textures(benchmark::State& state) {
    std::vector<preptest::Entry> entries;
    std::vector<std::uint32_t> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = static_cast<std::uint32_t>(i * 0x010203);
    for (int t = 0; t < 16; ++t) {
        const std::string name = numbered("t", t, ".tga");
        if (t % 4 == 3)
            entries.push_back({name, preptest::Tga8(256, 256, palette, [t](int x, int y) {
                                   return static_cast<std::uint8_t>(x * y + t);
                               })});
        else
            entries.push_back({name, preptest::Tga24(256, 256, [t](int x, int y) {
                                   return static_cast<std::uint32_t>(x << 16 | y << 8 | t);
                               })});
    }
    entries.push_back({"lens3.tga", preptest::Tga24(64, 64, [](int x, int y) {
                           return static_cast<std::uint32_t>(x * y);
                       })});
    preptest::PictureFile files(entries);
    engine::engineSettings = engine::FirstScenePreset();
    int failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<preptest::SceneBuilder>();
        for (int t = 0; t < 16; ++t) {
            scene::Material* m =
                scene->material(numbered("m", t), t % 4 == 3 ? 2 : 1, numbered("t", t, ".tga"));
            scene->object(numbered("o", t), 300, 300, m);
        }
        scene->light(0, 0, 0, 10, 100);
        engine::CollectLights(scene->get());
        engine::AllocFaceSortTable(scene->get()); // the preparation refuses a scene without it
        state.ResumeTiming();
        failures += engine::PrepareScene(scene->get()) != 1;
        engine::ReleaseSceneTextures(scene->get());
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.counters["failures"] = failures;
}

} // namespace

BENCHMARK(BM_SwizzleTexture)->UseManualTime();
BENCHMARK(BM_SwizzleTextureTinted)->UseManualTime();
BENCHMARK(BM_SwizzleReference)->UseManualTime();
BENCHMARK(BM_SwizzleReferenceTinted)->UseManualTime();
BENCHMARK(BM_PrepareScene16Textures)->Unit(benchmark::kMillisecond);
