// Whole-surface and area copies against memcpy of the same bytes, measured in one run.
#include "console/console.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {
constexpr int W = 640, H = 400;

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<std::uint8_t> a(W * H * 4, 1), b(W * H * 4);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(state.iterations() * a.size());
}
BENCHMARK(BM_MemcpyFrame);

void BM_SurfaceCopy(benchmark::State& state) {
    PtcSurface* a = ptc_surface_create(W, H, nullptr);
    PtcSurface* b = ptc_surface_create(W, H, nullptr);
    for (auto _ : state) {
        ptc_surface_copy(a, b);
        benchmark::DoNotOptimize(b->pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * a->pixels.size());
    ptc_surface_destroy(a);
    ptc_surface_destroy(b);
}
BENCHMARK(BM_SurfaceCopy);

// The menu window's copy: 390 x 220 pixels out of a 640-wide picture.
void BM_MemcpyMenuRows(benchmark::State& state) {
    std::vector<std::uint8_t> a(W * H * 4, 1), b(W * H * 4);
    for (auto _ : state) {
        for (int y = 0; y < 220; ++y)
            std::memcpy(b.data() + (70 + y) * W * 4 + 15 * 4, a.data() + y * W * 4, 390 * 4);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(state.iterations() * 390 * 220 * 4);
}
BENCHMARK(BM_MemcpyMenuRows);

void BM_AreaCopy(benchmark::State& state) {
    PtcSurface* a = ptc_surface_create(W, H, nullptr);
    PtcSurface* b = ptc_surface_create(W, H, nullptr);
    PtcArea from{0, 0, 390, 220}, to{15, 70, 405, 290};
    for (auto _ : state) {
        ptc_surface_copy_area(a, b, &from, &to);
        benchmark::DoNotOptimize(b->pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * 390 * 220 * 4);
    ptc_surface_destroy(a);
    ptc_surface_destroy(b);
}
BENCHMARK(BM_AreaCopy);

void BM_AreaCopyScaled(benchmark::State& state) {
    PtcSurface* line = ptc_surface_create(W, 1, nullptr);
    PtcSurface* b = ptc_surface_create(W, H, nullptr);
    PtcArea from{0, 0, 640, 1}, to{0, 370, 639, 371};
    for (auto _ : state) {
        ptc_surface_copy_area(line, b, &from, &to);
        benchmark::DoNotOptimize(b->pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * 639 * 4);
    ptc_surface_destroy(line);
    ptc_surface_destroy(b);
}
BENCHMARK(BM_AreaCopyScaled);
} // namespace
