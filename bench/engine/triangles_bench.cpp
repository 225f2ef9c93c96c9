// The engine's drawers on the triangle lists. BM_TriangleList/engine/N draws the 2000
// triangles of average area N with FillTextured (its peer in the same program:
// BM_TriangleList/llvmpipe/N). BM_Drawer/<drawer> draws the list of the largest triangles with
// each drawer against memcpy of the same bytes: vs_memcpy is memcpy's time over the drawer's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/raster.h"
#include "engine/settings.h"
#include "engine/triangle_list.h"

namespace {

using namespace enginebench;

constexpr int AREAS[] = {29, 114, 429, 4848};

struct Target {
    std::vector<std::uint32_t> frame = std::vector<std::uint32_t>(FRAME_W * FRAME_H, 0);
    std::vector<std::uint32_t> previous = std::vector<std::uint32_t>(FRAME_W * FRAME_H, 0x00336699);
    std::vector<std::uint8_t> palette = std::vector<std::uint8_t>(131072, 0x5A);
    Target() {
        engine::engineSettings.clipMinX = 0;
        engine::engineSettings.clipMinY = 0;
        engine::engineSettings.clipMaxX = FRAME_W;
        engine::engineSettings.clipMaxY = FRAME_H;
        engine::SetRasterTarget(reinterpret_cast<std::uint8_t*>(frame.data()), FRAME_W * 4, FRAME_W,
                                FRAME_H);
    }
};

using DrawFn = std::function<void(engine::ScreenVertex*, engine::ShadedVertex*, Target&)>;

void DrawList(const TriangleList& list, Target& t, const DrawFn& draw) {
    const BenchVertex* v = list.vertices.data();
    for (int i = 0; i < TRIANGLES; ++i, v += 3) {
        engine::ScreenVertex s[3];
        engine::ShadedVertex sh[3];
        for (int k = 0; k < 3; ++k) {
            s[k] = {v[k].x, v[k].y, v[k].u, v[k].v, 0};
            sh[k] = {v[k].x, v[k].y, v[k].u, v[k].v, v[k].u * (62.0f / 255), 0};
        }
        draw(s, sh, t);
    }
}

// The pixels each list covers, counted once by drawing every triangle on its own.
long PixelsOf(const TriangleList& list) {
    static std::vector<std::pair<const TriangleList*, long>> known;
    for (auto& [l, n] : known) {
        if (l == &list) return n;
    }
    Target t;
    long total = 0;
    const BenchVertex* v = list.vertices.data();
    for (int i = 0; i < TRIANGLES; ++i, v += 3) {
        std::fill(t.frame.begin(), t.frame.end(), 0);
        engine::ScreenVertex s[3];
        for (int k = 0; k < 3; ++k) s[k] = {v[k].x, v[k].y, 255, 0, 0};
        engine::FillGouraud(s);
        total += std::count(t.frame.begin(), t.frame.end(), 0x00FFFFFFu);
    }
    known.emplace_back(&list, total);
    return total;
}

// With a peer in the program, each iteration also draws the list with it, in alternating
// order, so both meet the same machine load: vs_llvmpipe is the peer's time over the engine's.
void EngineTriangleList(benchmark::State& state) {
    const int area = static_cast<int>(state.range(0));
    const TriangleList& list = ListWithArea(area);
    Target t;
    const auto* texture = reinterpret_cast<const std::uint8_t*>(SwizzledTexture().data());
    // The vertex records ready in advance, as the peer's arrays are; the drawer only writes
    // their outcodes.
    std::vector<engine::ScreenVertex> vertices;
    for (const BenchVertex& v : list.vertices) vertices.push_back({v.x, v.y, v.u, v.v, 0});
    if (peerDraw != nullptr) peerDraw(area); // the peer's first draw compiles its shaders
    double engineSeconds = 0, peerSeconds = 0;
    bool engineFirst = true;
    for (auto _ : state) {
        double engineTime = 0;
        for (int pass = 0; pass < 2; ++pass) {
            const bool engineTurn = (pass == 0) == engineFirst;
            if (!engineTurn && peerDraw == nullptr) continue;
            const double t0 = ThreadSeconds();
            if (engineTurn) {
                for (std::size_t i = 0; i < vertices.size(); i += 3) {
                    engine::FillTextured(&vertices[i], texture);
                }
                benchmark::ClobberMemory();
                engineTime = ThreadSeconds() - t0;
            } else {
                peerDraw(area);
                peerSeconds += ThreadSeconds() - t0;
            }
        }
        engineSeconds += engineTime;
        state.SetIterationTime(engineTime);
        engineFirst = !engineFirst;
    }
    state.counters["mean_area"] = list.meanArea;
    state.counters["pixels"] = static_cast<double>(PixelsOf(list));
    state.counters["triangles_per_s"] =
        benchmark::Counter(TRIANGLES, benchmark::Counter::kIsIterationInvariantRate);
    if (peerDraw != nullptr && engineSeconds > 0) {
        state.counters["vs_llvmpipe"] = peerSeconds / engineSeconds;
    }
}

// Alternates a batch of the drawer on the list with memcpy of the same bytes (each
// triangle's pixels, frame to frame, both in cache).
void DrawerAgainstMemcpy(benchmark::State& state, const DrawFn& draw) {
    const TriangleList& list = ListWithArea(4848);
    const long pixels = PixelsOf(list);
    Target t;
    std::vector<std::uint32_t> copySource(FRAME_W * FRAME_H, 0x00123456);
    std::vector<std::uint32_t> copyTarget(FRAME_W * FRAME_H, 0);
    const long perTriangle = pixels / TRIANGLES;
    double copySeconds = 0, drawSeconds = 0;
    bool copyFirst = true;
    for (auto _ : state) {
        double copyTime = 0, drawTime = 0;
        for (int pass = 0; pass < 2; ++pass) {
            const double t0 = ThreadSeconds();
            if ((pass == 0) == copyFirst) {
                for (int i = 0; i < TRIANGLES; ++i) {
                    std::memcpy(copyTarget.data(), copySource.data(), perTriangle * 4);
                    benchmark::ClobberMemory();
                }
                copyTime = ThreadSeconds() - t0;
            } else {
                DrawList(list, t, draw);
                benchmark::ClobberMemory();
                drawTime = ThreadSeconds() - t0;
            }
        }
        copySeconds += copyTime;
        drawSeconds += drawTime;
        state.SetIterationTime(drawTime);
        copyFirst = !copyFirst;
    }
    state.counters["ns_per_pixel"] =
        drawSeconds * 1e9 / (static_cast<double>(pixels) * state.iterations());
    state.counters["vs_memcpy"] = drawSeconds > 0 ? copySeconds / drawSeconds : 0;
}

const std::uint8_t* Texels() {
    return reinterpret_cast<const std::uint8_t*>(SwizzledTexture().data());
}

const bool registered = [] {
    auto* b = benchmark::RegisterBenchmark("BM_TriangleList/engine", EngineTriangleList);
    for (int area : AREAS) b->Arg(area);
    b->UseManualTime()->Unit(benchmark::kMicrosecond);
    const std::pair<const char*, DrawFn> drawers[] = {
        {"FillGouraud",
         [](engine::ScreenVertex* s, engine::ShadedVertex*, Target&) {
             for (int k = 0; k < 3; ++k) s[k].a = s[k].b; // light 0 to 255
             engine::FillGouraud(s);
         }},
        {"FillShadedTexture", [](engine::ScreenVertex*, engine::ShadedVertex* s,
                                 Target& t) { engine::FillShadedTexture(s, t.palette.data()); }},
        {"FillEnvironment",
         [](engine::ScreenVertex* s, engine::ShadedVertex*, Target& t) {
             for (int k = 0; k < 3; ++k) s[k].b *= 199.0f / 255;
             engine::FillEnvironment(s, t.previous.data(), FRAME_W, FRAME_H);
         }},
        {"FillTextured", [](engine::ScreenVertex* s, engine::ShadedVertex*,
                            Target&) { engine::FillTextured(s, Texels()); }},
        {"FillTexturedHalf", [](engine::ScreenVertex* s, engine::ShadedVertex*,
                                Target&) { engine::FillTexturedHalf(s, Texels()); }},
        {"FillTexturedBlend",
         [](engine::ScreenVertex* s, engine::ShadedVertex*, Target&) {
             engine::FillTexturedBlend(s, Texels(), 0x00C000C0, 0x003F003F);
         }},
        {"FillTexturedAlpha", [](engine::ScreenVertex* s, engine::ShadedVertex*,
                                 Target&) { engine::FillTexturedAlpha(s, Texels()); }},
    };
    for (const auto& [name, draw] : drawers) {
        benchmark::RegisterBenchmark(
            (std::string("BM_Drawer/") + name).c_str(),
            [draw = draw](benchmark::State& s) { DrawerAgainstMemcpy(s, draw); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
