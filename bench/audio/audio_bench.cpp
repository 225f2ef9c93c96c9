#include "audio/music.h"
#include "audio/renderer.h"
#include "platform/resources.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <libopenmpt/libopenmpt.h>
#include <thread>
#include <vector>

namespace {

constexpr unsigned RATE = 44100;
double memcpyNsPerSecond = 0; // the reference, measured first in the same run

double threadCpuNs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

const unsigned char* module(const char* name, std::size_t& size) {
    platform::ResourceHandle h = platform::findResource(name, "RT_RCDATA");
    size = platform::sizeofResource(h);
    return platform::lockResource(h);
}

// One second of output copied: what the device would cost if decoding were free.
void BM_MemcpyOneSecond(benchmark::State& state) {
    std::vector<std::int16_t> from(RATE * 2, 1), to(RATE * 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::int16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * from.size() * sizeof(std::int16_t));
    double start = threadCpuNs();
    for (int i = 0; i < 1000; ++i) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::int16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    memcpyNsPerSecond = (threadCpuNs() - start) / 1000;
}
BENCHMARK(BM_MemcpyOneSecond);

// One iteration renders one second of the looping module, so the CPU time per iteration is the
// decoding cost of a second of music.
void decodeOneSecond(benchmark::State& state, const char* name) {
    std::size_t size = 0;
    const unsigned char* data = module(name, size);
    openmpt_module* mod = size ? openmpt_module_create_from_memory2(
                                     data, size, openmpt_log_func_silent, nullptr,
                                     openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr)
                               : nullptr;
    if (!mod) {
        state.SkipWithError("module missing (fetch-test-modules.sh)");
        return;
    }
    openmpt_module_set_repeat_count(mod, -1);
    auto renderer = std::make_unique<audio::Renderer>();
    renderer->reset(RATE);
    renderer->install(mod, 1);
    renderer->play(1);
    std::vector<std::int16_t> out(1024 * 2);
    double start = threadCpuNs();
    for (auto _ : state) {
        for (unsigned done = 0; done < RATE; done += 1024) {
            renderer->fill(out.data(), std::min(1024u, RATE - done));
            benchmark::DoNotOptimize(out.data());
        }
    }
    double ns = (threadCpuNs() - start) / static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_audio_s"] = ns / 1e6;
    state.counters["x_realtime"] = 1e9 / ns;
    if (memcpyNsPerSecond > 0) state.counters["x_memcpy"] = ns / memcpyNsPerSecond;
    openmpt_module_destroy(renderer->remove());
}
void BM_DecodeXm(benchmark::State& state) {
    decodeOneSecond(state, "DALI.XM");
}
void BM_DecodeMod(benchmark::State& state) {
    decodeOneSecond(state, "HIGH-SCORE.MOD");
}
BENCHMARK(BM_DecodeXm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMod)->Unit(benchmark::kMillisecond);

// The queries the level meter and the intro's timeline make every frame, while a tune plays on
// SDL's dummy driver; against a plain atomic load.
struct Playing {
    Playing() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        music_init(nullptr);
        std::size_t size = 0;
        music_play_memory(module("DALI.XM", size));
        // Wait until the music is heard, so the queries take their full path.
        for (int i = 0; i < 2000 && music_level() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Playing() { music_free(); }
};

std::atomic<std::uint32_t> reference{1};
void BM_AtomicLoad(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(reference.load(std::memory_order_acquire));
}
BENCHMARK(BM_AtomicLoad);

void BM_MusicLevel(benchmark::State& state) {
    Playing playing;
    for (auto _ : state) benchmark::DoNotOptimize(music_level());
}
BENCHMARK(BM_MusicLevel);

void BM_MusicPosition(benchmark::State& state) {
    Playing playing;
    for (auto _ : state) benchmark::DoNotOptimize(music_position());
}
BENCHMARK(BM_MusicPosition);

void BM_MusicIsActive(benchmark::State& state) {
    Playing playing;
    for (auto _ : state) benchmark::DoNotOptimize(music_is_active());
}
BENCHMARK(BM_MusicIsActive);

} // namespace
