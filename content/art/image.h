#pragma once
// A picture under construction: 32-bit 0x00RRGGBB pixels, top row first, plus the little colour
// arithmetic the generators share.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace art {

constexpr std::uint32_t MAGENTA = 0xFF00FF;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb rgb(std::uint32_t p) {
    return {float((p >> 16) & 255), float((p >> 8) & 255), float(p & 255)};
}
inline std::uint32_t pack(Rgb c) {
    auto q = [](float v) { return std::uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    return (q(c.r) << 16) | (q(c.g) << 8) | q(c.b);
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb scale(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // top row first

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(size_t(w) * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Blends colour c over the pixel with weight t (0..1); off-picture pixels are ignored.
    void blend(int x, int y, Rgb c, float t) {
        if (!inside(x, y) || t <= 0) return;
        at(x, y) = pack(mix(rgb(at(x, y)), c, std::min(t, 1.0f)));
    }
    // Adds light to the pixel, saturating.
    void glow(int x, int y, Rgb c, float t) {
        if (!inside(x, y) || t <= 0) return;
        at(x, y) = pack(add(rgb(at(x, y)), scale(c, t)));
    }
    Image crop(int x0, int y0, int w, int h) const {
        Image out(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) out.at(x, y) = at(x0 + x, y0 + y);
        return out;
    }
};

// A small deterministic generator: the same seed gives the same picture on every machine.
struct Rng {
    std::uint32_t s;
    explicit Rng(std::uint32_t seed) : s(seed ? seed : 1) {}
    std::uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float unit() { return float(next() >> 8) / 16777216.0f; } // 0 <= x < 1
    float range(float a, float b) { return a + (b - a) * unit(); }
};

// Coverage helpers working in pixel coordinates (pixel centres at x + 0.5).
float distanceToSegment(float px, float py, float ax, float ay, float bx, float by);

// Fills a disc with soft edges.
void fillDisc(Image& img, float cx, float cy, float r, Rgb c, float alpha = 1.0f);
// Fills a polygon, 4 x 4 samples a pixel.
void fillPolygon(Image& img, const std::vector<std::pair<float, float>>& pts, Rgb c,
                 float alpha = 1.0f);
// Draws a line of the given width with soft edges.
void drawLine(Image& img, float ax, float ay, float bx, float by, float width, Rgb c,
              float alpha = 1.0f);
// A soft round light: weight falls from 1 at the centre to 0 at radius r.
void drawGlow(Image& img, float cx, float cy, float r, Rgb c, float strength);

} // namespace art
