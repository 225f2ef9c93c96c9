#pragma once
// The benchmarks' triangle lists: 2000 textured triangles inside a 320x200 frame with a given
// average area, the same for the engine and for its peer, and one 256x256 texture.
#include <cstdint>
#include <ctime>
#include <vector>

namespace enginebench {

constexpr int FRAME_W = 320, FRAME_H = 200, TRIANGLES = 2000;

struct BenchVertex {
    float x, y, u, v; // screen pixels (y down) and texels
};

struct TriangleList {
    std::vector<BenchVertex> vertices; // three per triangle, in the order the engine draws
    double meanArea = 0;               // of the triangles, in pixels
};

// Deterministic for each area; every triangle lies inside the frame.
const TriangleList& ListWithArea(int area);

// 256x256 texels 0x00RRGGBB in plain row order, and the same swizzled for the engine.
const std::vector<std::uint32_t>& PlainTexture();
const std::vector<std::uint32_t>& SwizzledTexture();

// Draws the list of that area with the peer renderer and waits for it; set by the peer's
// source when the program has one, so the engine's benchmark can time both in turn.
using PeerDraw = void (*)(int area);
extern PeerDraw peerDraw;

// Processor time of this thread: a busy machine taking the processor away costs neither side.
inline double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace enginebench
