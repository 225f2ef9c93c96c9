#include <benchmark/benchmark.h>
#include <lib3ds/file.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "scene/scene.h"
#include "tests/scene/builder3ds.h"

using namespace scene;
using namespace scene_test;

namespace {

// A grid of side x side quads (two faces each) with mapping, a material and keyframes.
Bytes grid_scene(int side, int objects) {
    std::vector<Bytes> world{material(
        "Grid", {chunk(0xA100, {2, 0}), chunk(0xA200, {}, {chunk(0xA300, str("g.tga"))})})};
    std::vector<Bytes> keyframer{frames(0, 100)};
    for (int o = 0; o < objects; ++o) {
        std::vector<float> xyz;
        std::vector<Tri> faces;
        int n = side + 1;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                xyz.push_back(static_cast<float>(x));
                xyz.push_back(static_cast<float>(y));
                xyz.push_back(std::sin(x * 0.3f) * std::cos(y * 0.2f) + static_cast<float>(o));
            }
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                auto i = static_cast<std::uint16_t>(y * n + x);
                faces.push_back(
                    {i, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + n), 0});
                faces.push_back({static_cast<std::uint16_t>(i + 1),
                                 static_cast<std::uint16_t>(i + n + 1),
                                 static_cast<std::uint16_t>(i + n), 0});
            }
        Bytes fm = str("Grid");
        put16(fm, static_cast<std::uint16_t>(faces.size()));
        for (std::size_t f = 0; f < faces.size(); ++f) put16(fm, static_cast<std::uint16_t>(f));
        Bytes map;
        put16(map, static_cast<std::uint16_t>(n * n));
        for (int i = 0; i < n * n; ++i) {
            putf(map, static_cast<float>(i % n) / side);
            putf(map, static_cast<float>(i / n) / side);
        }
        std::string name = "Grid" + std::to_string(o);
        world.push_back(mesh(name, xyz, faces, {chunk(0x4130, fm)}, {chunk(0x4140, map)}));

        Bytes pos, rot, scl;
        for (int k = 0; k <= 4; ++k) {
            key_header(pos, k * 25);
            for (float v : {k * 3.0f, static_cast<float>(o), k * -2.0f}) putf(pos, v);
            key_header(rot, k * 25);
            for (float v : {0.7f, 0.0f, 0.6f, 0.8f}) putf(rot, v);
            key_header(scl, k * 25);
            for (float v : {1.0f + k * 0.1f, 1.0f, 1.0f}) putf(scl, v);
        }
        keyframer.push_back(chunk_list(0xB002, {},
                                       {node_id(static_cast<std::uint16_t>(o)),
                                        node_header(name, -1), track(0xB020, 0, 5, pos),
                                        track(0xB021, 0, 5, rot), track(0xB022, 0, 5, scl)}));
    }
    world.push_back(camera_chunk("Camera01", 0, -100, 30, 50, 50, 0, 0, 35));
    return file(world, keyframer);
}

std::string write_temp(const Bytes& b, const char* tag) {
    std::string path =
        "/tmp/bench_scene_" + std::string(tag) + "_" + std::to_string(getpid()) + ".3ds";
    if (!write_file(path, b)) std::abort();
    return path;
}

// 100 x 100 quads: 10201 vertices and 20000 faces.
const std::string& big_file() {
    static const std::string path = write_temp(grid_scene(100, 1), "load");
    return path;
}

void BM_LoadScene(benchmark::State& state) {
    scene_init(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Scene* s = nullptr;
        scene_alloc(&s);
        if (scene_load(big_file().c_str(), s) != SCENE_OK) state.SkipWithError("load failed");
        scene_release(s);
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_LoadScene)
    ->Arg(0)
    ->Arg(SCENE_HIERARCHY | SCENE_NORMALS | SCENE_MORPH | SCENE_TRANSFORM)
    ->Unit(benchmark::kMillisecond);

void BM_Lib3dsLoad(benchmark::State& state) {
    for (auto _ : state) {
        Lib3dsFile* f = lib3ds_file_load(big_file().c_str());
        if (!f) state.SkipWithError("lib3ds load failed");
        lib3ds_file_free(f);
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_Lib3dsLoad)->Unit(benchmark::kMillisecond);

struct AnimatedScene {
    Scene* s = nullptr;
    std::string path;
    AnimatedScene() {
        // Four grids of 49 x 49 quads: 4 x 2500 = 10000 vertices, 19208 faces.
        path = write_temp(grid_scene(49, 4), "update");
        scene_init(SCENE_HIERARCHY | SCENE_NORMALS | SCENE_MORPH | SCENE_TRANSFORM);
        scene_alloc(&s);
        if (scene_load_world(path.c_str(), s) != SCENE_OK) std::abort();
        scene_set_active(s);
        WorldNode* n = nullptr;
        scene_find_by_name("Camera01", &n);
        auto* c = static_cast<Camera*>(n->record);
        c->sizeX = 320;
        c->sizeY = 200;
        c->aspect = 0.75f;
        scene_set_active_camera(c);
        if (scene_load_motion(path.c_str(), s) != SCENE_OK) std::abort();
    }
    ~AnimatedScene() {
        scene_release(s);
        std::remove(path.c_str());
    }
};

void BM_SceneUpdate(benchmark::State& state) {
    AnimatedScene a;
    int vertices = 0;
    for (WorldNode* n = a.s->worldFirst; n; n = n->next)
        if (n->kind == WORLD_OBJECT) vertices += static_cast<Object*>(n->record)->vertexCount;
    float frame = 0;
    for (auto _ : state) {
        scene_set_frame(frame);
        scene_update();
        frame += 1.0f;
        if (frame >= 100.0f) frame = 0;
        benchmark::ClobberMemory();
    }
    state.counters["vertices"] = vertices;
    state.SetItemsProcessed(state.iterations() * vertices);
}
BENCHMARK(BM_SceneUpdate)->Unit(benchmark::kMicrosecond);

// Reference for the update: copying the same vertex records once.
void BM_MemcpyVertices(benchmark::State& state) {
    AnimatedScene a;
    std::size_t bytes = 0;
    for (WorldNode* n = a.s->worldFirst; n; n = n->next)
        if (n->kind == WORLD_OBJECT)
            bytes += sizeof(Vertex) * static_cast<Object*>(n->record)->vertexCount;
    std::vector<char> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_MemcpyVertices)->Unit(benchmark::kMicrosecond);

} // namespace
