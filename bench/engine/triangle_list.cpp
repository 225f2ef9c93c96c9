#include "engine/triangle_list.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace enginebench {

PeerDraw peerDraw = nullptr;

namespace {

TriangleList MakeList(int area, double scaleArea) {
    std::mt19937 rng(static_cast<std::uint32_t>(area) * 7919u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    TriangleList list;
    double total = 0;
    while (static_cast<int>(list.vertices.size()) < TRIANGLES * 3) {
        // A random shape with corners on a circle, scaled to an area between 0.5 and 1.5 times
        // the mean, placed at random where it fits.
        double ax[3], ay[3];
        for (int i = 0; i < 3; ++i) {
            const double angle = unit(rng) * 6.283185307179586;
            ax[i] = std::cos(angle);
            ay[i] = std::sin(angle);
        }
        double d = (ax[0] - ax[2]) * (ay[1] - ay[2]) - (ax[1] - ax[2]) * (ay[0] - ay[2]);
        if (std::fabs(d) < 0.6) continue; // no slivers
        const double want = area * scaleArea * (0.5 + unit(rng));
        const double scale = std::sqrt(want / (std::fabs(d) / 2));
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (int i = 0; i < 3; ++i) {
            ax[i] *= scale;
            ay[i] *= scale;
            minX = std::min(minX, ax[i]);
            maxX = std::max(maxX, ax[i]);
            minY = std::min(minY, ay[i]);
            maxY = std::max(maxY, ay[i]);
        }
        if (maxX - minX > FRAME_W - 1 || maxY - minY > FRAME_H - 1) continue;
        const double ox = -minX + unit(rng) * (FRAME_W - 1 - (maxX - minX));
        const double oy = -minY + unit(rng) * (FRAME_H - 1 - (maxY - minY));
        int order[3] = {0, 1, 2};
        if (d > 0) std::swap(order[1], order[2]); // the engine draws the negative orientation
        for (int i : order) {
            list.vertices.push_back({static_cast<float>(ax[i] + ox), static_cast<float>(ay[i] + oy),
                                     static_cast<float>(unit(rng) * 255),
                                     static_cast<float>(unit(rng) * 255)});
        }
        total += want;
    }
    list.meanArea = total / TRIANGLES;
    return list;
}

} // namespace

const TriangleList& ListWithArea(int area) {
    static std::map<int, TriangleList> lists;
    auto it = lists.find(area);
    if (it == lists.end()) {
        // The largest triangles that do not fit are drawn again, which lowers the mean; a
        // second list with the areas scaled by the shortfall hits it.
        const TriangleList first = MakeList(area, 1.0);
        it = lists.emplace(area, MakeList(area, area / first.meanArea)).first;
    }
    return it->second;
}

const std::vector<std::uint32_t>& PlainTexture() {
    static const std::vector<std::uint32_t> texels = [] {
        std::vector<std::uint32_t> t(65536);
        std::mt19937 rng(3);
        for (auto& p : t) p = rng() & 0xFFFFFF;
        return t;
    }();
    return texels;
}

const std::vector<std::uint32_t>& SwizzledTexture() {
    static const std::vector<std::uint32_t> texels = [] {
        std::vector<std::uint32_t> t(65536);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x)
                t[(x >> 3) * 2048 + y * 8 + (x & 7)] = PlainTexture()[y * 256 + x];
        }
        return t;
    }();
    return texels;
}

} // namespace enginebench
