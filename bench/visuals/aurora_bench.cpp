// One aurora panel frame (background copy, seven stars, 140 rows of blue glow) against memcpy
// of the panel's 160000 bytes; the aurora is the menu screen's largest per-frame cost.
#include "visuals/aurora.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr std::size_t PANEL_BYTES = 200 * 200 * 4;

void BM_auroraPanelMemcpy(benchmark::State& state) {
    std::vector<unsigned char> a(PANEL_BYTES, 1), b(PANEL_BYTES);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), PANEL_BYTES);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * PANEL_BYTES);
}

void BM_drawAuroraPanel(benchmark::State& state) {
    std::mt19937 rng(3);
    std::vector<std::uint32_t> sprites(visuals::STAR_SPRITE_PIXELS);
    for (auto& p : sprites) p = rng() & 0x00FFFFFFu;
    visuals::setupAuroraFrom(nullptr, 0, sprites.data(), sprites.size() * 4);
    for (std::size_t i = 0; i < visuals::AURORA_BUFFER_BYTES; ++i)
        visuals::aurora.frames[i] = static_cast<std::uint8_t>(rng() % 99);
    PtcSurface* background = ptc_surface_create(200, 200, nullptr);
    PtcSurface* work = ptc_surface_create(200, 200, nullptr);
    for (auto _ : state) {
        visuals::drawAuroraPanel(background, work);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * PANEL_BYTES);
    ptc_surface_destroy(work);
    ptc_surface_destroy(background);
    visuals::releaseAurora();
}

BENCHMARK(BM_auroraPanelMemcpy);
BENCHMARK(BM_drawAuroraPanel);

} // namespace
