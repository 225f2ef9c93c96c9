// Each span routine on one 640-pixel row, against memcpy of the same 2560 bytes. The column
// "vs_memcpy" is the routine's throughput divided by memcpy's, both measured in this run.
#include "visuals/spans.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

namespace {

constexpr int ROW = 640;
constexpr std::size_t ROW_BYTES = ROW * 4;

// Rows on cache-line boundaries, so memcpy and the routines see the same alignment.
struct Rows {
    alignas(64) std::uint32_t a[ROW];
    alignas(64) std::uint32_t b[ROW];
    alignas(64) std::uint32_t d[ROW];
    alignas(64) std::uint32_t copy[ROW];
    alignas(64) std::uint8_t bytes[ROW];
    Rows() {
        std::mt19937 rng(7);
        for (int i = 0; i < ROW; ++i) {
            a[i] = rng();
            b[i] = rng() % 4 == 0 ? visuals::COLOR_KEY : rng();
            d[i] = rng() % 4 == 0 ? visuals::COLOR_KEY : rng();
            copy[i] = 0;
            bytes[i] = static_cast<std::uint8_t>(rng());
        }
    }
};

// Times batches of the routine, each right after a batch of memcpy of the same row, so the
// reference sees the same machine load; vs_memcpy is memcpy's time over the routine's. One
// iteration is a batch of 256 rows; ns_per_row gives the time of one row.
// The clock is the thread's processor time, so a busy machine that takes the processor away
// for a while does not count against either side.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <typename Body> void runRow(benchmark::State& state, Body body) {
    constexpr int BATCH = 256;
    auto owned = std::make_unique<Rows>();
    Rows& r = *owned;
    double copySeconds = 0, routineSeconds = 0;
    auto copyBatch = [&] {
        for (int k = 0; k < BATCH; ++k) {
            std::memcpy(r.copy, r.a, ROW_BYTES);
            benchmark::DoNotOptimize(r.copy);
            benchmark::ClobberMemory();
        }
    };
    auto routineBatch = [&] {
        for (int k = 0; k < BATCH; ++k) {
            body(r);
            benchmark::DoNotOptimize(r.d);
            benchmark::ClobberMemory();
        }
    };
    bool copyFirst = true; // alternate the order so neither side always runs first
    for (auto _ : state) {
        const double t0 = threadSeconds();
        copyFirst ? copyBatch() : routineBatch();
        const double t1 = threadSeconds();
        copyFirst ? routineBatch() : copyBatch();
        const double t2 = threadSeconds();
        const double copyTime = copyFirst ? t1 - t0 : t2 - t1;
        const double routine = copyFirst ? t2 - t1 : t1 - t0;
        copySeconds += copyTime;
        routineSeconds += routine;
        state.SetIterationTime(routine);
        copyFirst = !copyFirst;
    }
    const double rows = static_cast<double>(state.iterations()) * BATCH;
    state.SetBytesProcessed(static_cast<std::int64_t>(rows) * ROW_BYTES);
    state.counters["ns_per_row"] = rows > 0 ? routineSeconds / rows * 1e9 : 0;
    state.counters["vs_memcpy"] = routineSeconds > 0 ? copySeconds / routineSeconds : 0;
}

void BM_memcpy(benchmark::State& s) {
    runRow(s, [](Rows& r) { std::memcpy(r.d, r.a, ROW_BYTES); });
}
void BM_subtractLevelSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::subtractLevelSpan(r.a, r.d, ROW, 40); });
}
void BM_fadeSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::fadeSpan(r.d, ROW); });
}
void BM_addHalfSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::addHalfSpan(r.a, r.d, ROW); });
}
void BM_addBlueSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::addBlueSpan(r.bytes, r.d, ROW); });
}
void BM_keyedCopySpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::keyedCopySpan(r.b, r.d, ROW); });
}
void BM_keyedBlendSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::keyedBlendSpan(r.a, r.b, r.d, ROW, 200, 56); });
}
// As the intro's caption and logo fades use it: in place, weights summing to 258.
void BM_keyedBlendSpanInPlace(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::keyedBlendSpan(r.d, r.b, r.d, ROW, 131, 127); });
}
void BM_overlayKeyedSpan(benchmark::State& s) {
    runRow(s, [](Rows& r) { visuals::overlayKeyedSpan(r.a, r.b, r.d, ROW); });
}
void BM_fillKeyedSpan(benchmark::State& s) {
    // Refill the destination's keys each time so the routine keeps having work to do.
    runRow(s, [](Rows& r) {
        visuals::fillKeyedSpan(r.a, r.d, ROW);
        r.d[0] = r.d[ROW / 2] = visuals::COLOR_KEY;
    });
}

BENCHMARK(BM_memcpy)->UseManualTime();
BENCHMARK(BM_subtractLevelSpan)->UseManualTime();
BENCHMARK(BM_fadeSpan)->UseManualTime();
BENCHMARK(BM_addHalfSpan)->UseManualTime();
BENCHMARK(BM_addBlueSpan)->UseManualTime();
BENCHMARK(BM_keyedCopySpan)->UseManualTime();
BENCHMARK(BM_keyedBlendSpan)->UseManualTime();
BENCHMARK(BM_keyedBlendSpanInPlace)->UseManualTime();
BENCHMARK(BM_overlayKeyedSpan)->UseManualTime();
BENCHMARK(BM_fillKeyedSpan)->UseManualTime();

} // namespace
