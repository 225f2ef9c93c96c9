// The peer of BM_TriangleList/engine: the same 2000 textured triangles drawn by Mesa's llvmpipe
// through OSMesa on one thread (orthographic projection with y down, nearest texel, no depth
// test, one 256x256 texture), finished before the clock stops.
#include <benchmark/benchmark.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "engine/triangle_list.h"

namespace {

using namespace enginebench;

struct Peer {
    OSMesaContext context = nullptr;
    std::vector<std::uint8_t> frame = std::vector<std::uint8_t>(FRAME_W * FRAME_H * 4);
    GLuint texture = 0;
    bool ok = false;
    Peer() {
        setenv("LP_NUM_THREADS", "0", 1); // rasterize on the calling thread alone
        setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        context = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
        if (context == nullptr ||
            !OSMesaMakeCurrent(context, frame.data(), GL_UNSIGNED_BYTE, FRAME_W, FRAME_H)) {
            return;
        }
        glViewport(0, 0, FRAME_W, FRAME_H);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, FRAME_W, FRAME_H, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DITHER);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     PlainTexture().data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_TEXTURE_2D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        ok = true;
    }
    ~Peer() {
        if (texture != 0) glDeleteTextures(1, &texture);
        if (context != nullptr) OSMesaDestroyContext(context);
    }
};

Peer& ThePeer() {
    static Peer peer;
    return peer;
}

// Positions and texture coordinates (texels / 256) of a list as the peer reads them.
struct PeerArrays {
    std::vector<float> xy, st;
};

const PeerArrays& ArraysFor(int area) {
    static std::map<int, PeerArrays> arrays;
    auto it = arrays.find(area);
    if (it != arrays.end()) return it->second;
    PeerArrays a;
    for (const BenchVertex& v : ListWithArea(area).vertices) {
        a.xy.insert(a.xy.end(), {v.x, v.y});
        a.st.insert(a.st.end(), {v.u / 256.0f, v.v / 256.0f});
    }
    return arrays.emplace(area, std::move(a)).first->second;
}

void DrawWithPeer(int area) {
    const PeerArrays& a = ArraysFor(area);
    glVertexPointer(2, GL_FLOAT, 0, a.xy.data());
    glTexCoordPointer(2, GL_FLOAT, 0, a.st.data());
    glDrawArrays(GL_TRIANGLES, 0, TRIANGLES * 3);
    glFinish();
}

void LlvmpipeTriangleList(benchmark::State& state) {
    Peer& peer = ThePeer();
    if (!peer.ok) {
        state.SkipWithError("no OSMesa context");
        return;
    }
    const int area = static_cast<int>(state.range(0));
    DrawWithPeer(area); // the shaders are compiled before timing
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        DrawWithPeer(area);
        state.SetIterationTime(ThreadSeconds() - t0);
    }
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    state.counters["mean_area"] = ListWithArea(area).meanArea;
    state.counters["triangles_per_s"] =
        benchmark::Counter(TRIANGLES, benchmark::Counter::kIsIterationInvariantRate);
}

const bool registered = [] {
    peerDraw = [](int area) {
        if (ThePeer().ok) DrawWithPeer(area);
    };
    auto* b = benchmark::RegisterBenchmark("BM_TriangleList/llvmpipe", LlvmpipeTriangleList);
    for (int area : {29, 114, 429, 4848}) b->Arg(area);
    b->UseManualTime()->Unit(benchmark::kMicrosecond);
    return true;
}();

} // namespace
