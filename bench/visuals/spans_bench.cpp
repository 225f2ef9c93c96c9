// Each span routine on one 640-pixel row, against memcpy of the same 2560 bytes. The column
// "vs_memcpy" is the routine's throughput divided by memcpy's, both measured in this run.
#include "visuals/spans.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int ROW = 640;
constexpr std::size_t ROW_BYTES = ROW * 4;

struct Rows {
    std::vector<std::uint32_t> a, b, d;
    std::vector<std::uint8_t> bytes;
    Rows() : a(ROW), b(ROW), d(ROW), bytes(ROW) {
        std::mt19937 rng(7);
        for (int i = 0; i < ROW; ++i) {
            a[i] = rng();
            b[i] = rng() % 4 == 0 ? visuals::COLOR_KEY : rng();
            d[i] = rng() % 4 == 0 ? visuals::COLOR_KEY : rng();
            bytes[i] = static_cast<std::uint8_t>(rng());
        }
    }
};

// Seconds per memcpy of one row, best of several timed batches.
double memcpySecondsPerRow() {
    static const double seconds = [] {
        Rows r;
        double best = 1e9;
        for (int trial = 0; trial < 20; ++trial) {
            constexpr int N = 20000;
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < N; ++i) {
                std::memcpy(r.d.data(), r.a.data(), ROW_BYTES);
                benchmark::DoNotOptimize(r.d.data());
                benchmark::ClobberMemory();
            }
            auto t1 = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(t1 - t0).count() / N);
        }
        return best;
    }();
    return seconds;
}

template <typename Body> void runRow(benchmark::State& state, Body body) {
    Rows r;
    const double reference = memcpySecondsPerRow();
    for (auto _ : state) {
        body(r);
        benchmark::DoNotOptimize(r.d.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * ROW_BYTES);
    // reference x iterations / elapsed = memcpy time per row / routine time per row.
    state.counters["vs_memcpy"] =
        benchmark::Counter(reference, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_memcpy(benchmark::State& s) {
    runRow(s, [](Rows& r) { std::memcpy(r.d.data(), r.a.data(), ROW_BYTES); });
}
void BM_subtractLevelSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::subtractLevelSpan(r.a.data(), r.d.data(), ROW, 40); });
}
void BM_fadeSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::fadeSpan(r.d.data(), ROW); });
}
void BM_addHalfSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::addHalfSpan(r.a.data(), r.d.data(), ROW); });
}
void BM_addBlueSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::addBlueSpan(r.bytes.data(), r.d.data(), ROW); });
}
void BM_keyedCopySpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::keyedCopySpan(r.b.data(), r.d.data(), ROW); });
}
void BM_keyedBlendSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) {
        visuals::keyedBlendSpan(r.a.data(), r.b.data(), r.d.data(), ROW, 200, 56);
    });
}
void BM_overlayKeyedSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::overlayKeyedSpan(r.a.data(), r.b.data(), r.d.data(), ROW); });
}
void BM_fillKeyedSpan(benchmark::State& s) {
    // Refill the destination's keys each time so the routine keeps having work to do.
    runRow(s, [](Rows& r) {
        visuals::fillKeyedSpan(r.a.data(), r.d.data(), ROW);
        r.d[0] = r.d[ROW / 2] = visuals::COLOR_KEY;
    });
}

BENCHMARK(BM_memcpy);
BENCHMARK(BM_subtractLevelSpan);
BENCHMARK(BM_fadeSpan);
BENCHMARK(BM_addHalfSpan);
BENCHMARK(BM_addBlueSpan);
BENCHMARK(BM_keyedCopySpan);
BENCHMARK(BM_keyedBlendSpan);
BENCHMARK(BM_overlayKeyedSpan);
BENCHMARK(BM_fillKeyedSpan);

} // namespace
