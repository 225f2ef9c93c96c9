#include "content/art/image.h"

namespace art {

float distanceToSegment(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    float qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

void fillDisc(Image& img, float cx, float cy, float r, Rgb c, float alpha) {
    int x0 = int(std::floor(cx - r - 1)), x1 = int(std::ceil(cx + r + 1));
    int y0 = int(std::floor(cy - r - 1)), y1 = int(std::ceil(cy + r + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            img.blend(x, y, c, alpha * std::clamp(r - d + 0.5f, 0.0f, 1.0f));
        }
}

namespace {
bool insidePolygon(const std::vector<std::pair<float, float>>& p, float x, float y) {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        auto [xi, yi] = p[i];
        auto [xj, yj] = p[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}
} // namespace

void fillPolygon(Image& img, const std::vector<std::pair<float, float>>& pts, Rgb c, float alpha) {
    if (pts.size() < 3) return;
    float minx = 1e9f, maxx = -1e9f, miny = 1e9f, maxy = -1e9f;
    for (auto [x, y] : pts) {
        minx = std::min(minx, x), maxx = std::max(maxx, x);
        miny = std::min(miny, y), maxy = std::max(maxy, y);
    }
    for (int y = int(std::floor(miny)); y <= int(std::ceil(maxy)); ++y)
        for (int x = int(std::floor(minx)); x <= int(std::ceil(maxx)); ++x) {
            if (!img.inside(x, y)) continue;
            int n = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    n += insidePolygon(pts, x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4);
            img.blend(x, y, c, alpha * n / 16.0f);
        }
}

void drawLine(Image& img, float ax, float ay, float bx, float by, float width, Rgb c, float alpha) {
    float r = width / 2;
    int x0 = int(std::floor(std::min(ax, bx) - r - 1)),
        x1 = int(std::ceil(std::max(ax, bx) + r + 1));
    int y0 = int(std::floor(std::min(ay, by) - r - 1)),
        y1 = int(std::ceil(std::max(ay, by) + r + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = distanceToSegment(x + 0.5f, y + 0.5f, ax, ay, bx, by);
            img.blend(x, y, c, alpha * std::clamp(r - d + 0.5f, 0.0f, 1.0f));
        }
}

void drawGlow(Image& img, float cx, float cy, float r, Rgb c, float strength) {
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
            if (d < 1) img.glow(x, y, c, strength * (1 - d) * (1 - d));
        }
}

} // namespace art
