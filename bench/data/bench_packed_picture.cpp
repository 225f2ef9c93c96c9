// How long the player waits for a 640 x 400 packed picture, and how LZO1X unpacking compares
// with copying the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <lzo/lzo1x.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "data/packed_picture.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 400;

// A picture that packs roughly like the disk's main picture (to about 40 %): smooth gradients
// with a sprinkling of noise, a TGA header in front and a 26-byte footer behind.
std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2, tga[12] = WIDTH & 0xff, tga[13] = WIDTH >> 8, tga[14] = HEIGHT & 0xff,
    tga[15] = HEIGHT >> 8, tga[16] = 24;
    std::uint32_t x = 1;
    for (int y = 0; y < HEIGHT; ++y)
        for (int c = 0; c < WIDTH; ++c) {
            x = x * 1664525u + 1013904223u;
            const int noise = (x >> 28) == 0 ? static_cast<int>((x >> 20) & 15) : 0;
            tga.push_back(static_cast<std::uint8_t>((c / 3 + noise) & 0xff));
            tga.push_back(static_cast<std::uint8_t>((y / 2 + noise) & 0xff));
            tga.push_back(static_cast<std::uint8_t>(((c + y) / 5) & 0xff));
        }
    tga.insert(tga.end(), 26, 0);
    return tga;
}

std::vector<std::uint8_t> pack(const std::vector<std::uint8_t>& raw) {
    if (lzo_init() != LZO_E_OK) std::abort();
    std::vector<std::uint8_t> out(raw.size() + raw.size() / 16 + 67);
    std::vector<std::uint8_t> work(LZO1X_999_MEM_COMPRESS);
    lzo_uint length = out.size();
    lzo1x_999_compress(raw.data(), raw.size(), out.data(), &length, work.data());
    out.resize(length);
    return out;
}

struct Fixture {
    std::vector<std::uint8_t> raw = picture();
    std::vector<std::uint8_t> packed = pack(raw);
    std::string path;
    Fixture() {
        char name[] = "/tmp/vrkbench.XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        // One entry followed by its directory, distance and magic.
        std::vector<std::uint8_t> file = packed;
        const std::size_t total = packed.size() + 2 + 21 + 8;
        file.resize(total, 0);
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        file[packed.size()] = 1;
        std::memcpy(&file[packed.size() + 2], "main.pak", 8);
        put32(packed.size() + 15, static_cast<std::uint32_t>(total));
        put32(packed.size() + 19, static_cast<std::uint32_t>(packed.size()));
        put32(total - 8, static_cast<std::uint32_t>(total - packed.size()));
        std::memcpy(&file[total - 4], "DATA", 4);
        if (fd < 0 || write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size()))
            std::abort();
        close(fd);
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_PackedPictureToSurface(benchmark::State& state) {
    Fixture& f = fixture();
    DataArchive archive(f.path.c_str());
    const PtcFormat format = ptc_format_named(PTC_FORMAT_ARGB8888);
    PtcSurface* surface = ptc_surface_create(WIDTH, HEIGHT, &format);
    for (auto _ : state) {
        if (loadPackedPicture(archive, surface, "tex\\main.pak", 0,
                              static_cast<unsigned>(f.raw.size())) != 1)
            state.SkipWithError("the picture did not load");
        benchmark::DoNotOptimize(surface->pixels.data());
    }
    state.counters["packed_bytes"] = static_cast<double>(f.packed.size());
    ptc_surface_destroy(surface);
}
BENCHMARK(BM_PackedPictureToSurface)->Unit(benchmark::kMillisecond);

// CPU time of this thread: the machine is shared, and wall time would count other people's work.
double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Unpacking alone; the counter memcpy_ratio is memcpy's time for the same unpacked bytes, timed
// in the same run, divided by unpacking's (1.0 would be as fast as copying).
void BM_LzoUnpack(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<std::uint8_t> out(f.raw.size());
    std::vector<std::uint8_t> copy(f.raw.size());
    double lzoSeconds = 0, copySeconds = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        unpackLzo(f.packed.data(), f.packed.size(), out.size(), out.data());
        benchmark::DoNotOptimize(out.data());
        const double t1 = threadSeconds();
        std::memcpy(copy.data(), f.raw.data(), f.raw.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        const double t2 = threadSeconds();
        lzoSeconds += t1 - t0;
        copySeconds += t2 - t1;
    }
    const double bytes = static_cast<double>(f.raw.size()) * state.iterations();
    state.counters["lzo_MB/s"] = bytes / lzoSeconds / 1e6;
    state.counters["memcpy_MB/s"] = bytes / copySeconds / 1e6;
    state.counters["memcpy_ratio"] = copySeconds / lzoSeconds;
    if (out != f.raw) state.SkipWithError("unpacked bytes differ");
}
BENCHMARK(BM_LzoUnpack)->Unit(benchmark::kMicrosecond);

} // namespace
