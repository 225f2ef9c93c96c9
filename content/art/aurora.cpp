#include "content/art/aurora.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr double PI = 3.14159265358979323846;

double smoothstep(double a, double b, double x) {
    double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Every term is either even in u with a period of 44 frames, or odd in u and changing sign
// after 44 frames; that makes frame t + 44 the mirror image of frame t. The curtain sways
// instead of drifting, and the turn at either end of back-and-forth playback looks natural.
double curtain(double u, double y, double phi) {
    const double k = 2 * PI;
    double edge = 80 + 12 * std::cos(k * u / 120) * std::cos(2 * phi) +
                  17 * std::sin(k * u / 170) * std::cos(phi) +
                  8 * std::sin(k * u / 64) * std::sin(phi) +
                  6 * std::cos(k * u / 44) * std::sin(2 * phi);
    double reach = 30 + 9 * std::cos(k * u / 90) * std::cos(2 * phi) +
                   7 * std::sin(k * u / 140) * std::sin(phi);
    double rays = 0.66 + 0.26 * std::cos(k * u / 17) + 0.12 * std::sin(k * u / 11) * std::cos(phi) +
                  0.1 * std::cos(k * u / 29) * std::cos(2 * phi);
    auto band = [](double d, double h) {
        return d >= 0 ? std::exp(-d / h) : std::exp(-d * d / 40);
    };
    double lower = band(edge - y, reach);
    // A fainter second curtain higher up gives the light depth.
    double edge2 = edge - 40 + 6 * std::sin(k * u / 50) * std::cos(phi);
    double upper = 0.45 * band(edge2 - y, reach * 0.7);
    // A faint glow of the whole sky under the curtain keeps its lower edge from reading as
    // the outline of a hill.
    double haze = 0.14 * smoothstep(136, 60, y);
    return std::max(lower, upper) * std::clamp(rays, 0.0, 1.0) + haze;
}

} // namespace

std::vector<std::uint8_t> auroraFrame(int t) {
    std::vector<std::uint8_t> f(size_t(AURORA_ROWS) * AURORA_COLUMNS);
    double phi = 2 * PI * t / 88.0;
    for (int y = 0; y < AURORA_ROWS; ++y)
        for (int x = 0; x < AURORA_COLUMNS; ++x) {
            double u = x - (AURORA_COLUMNS - 1) / 2.0;
            // The light ends before the panel's columns and rows that receive none.
            double window = smoothstep(0, 16, (AURORA_COLUMNS - 1) / 2.0 - std::abs(u)) *
                            smoothstep(AURORA_ROWS - 1, 104, y) * smoothstep(-4, 16, y);
            double v = curtain(u, y, phi) * window;
            f[size_t(y) * AURORA_COLUMNS + x] =
                std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * AURORA_MAX));
        }
    return f;
}

std::vector<std::uint8_t> makeAuroraFrames() {
    std::vector<std::uint8_t> all;
    all.reserve(size_t(AURORA_FRAMES) * AURORA_ROWS * AURORA_COLUMNS);
    for (int t = 0; t < AURORA_FRAMES; ++t) {
        std::vector<std::uint8_t> f = auroraFrame(t);
        all.insert(all.end(), f.begin(), f.end());
    }
    return all;
}

std::vector<std::uint8_t> makeStarSprites() {
    std::vector<std::uint32_t> px(STARS_BYTES / 4, 0);
    struct Shape {
        int first, w, h;
        double rays, rayLength, core, diagonal;
    };
    // A four-pointed glint, a small round star and a big eight-pointed sparkle.
    const Shape shapes[] = {{0, 10, 11, 4, 5.0, 0.8, 0.0},
                            {110, 9, 9, 4, 3.6, 0.9, 0.0},
                            {191, 12, 14, 4, 6.5, 1.0, 3.4}};
    for (const Shape& s : shapes) {
        // Centred on a pixel, so the heart of the star is one sharp point.
        double cx = (s.w - 1) / 2, cy = (s.h - 1) / 2;
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x) {
                double dx = x - cx, dy = y - cy, r = std::hypot(dx, dy);
                double v = std::exp(-r * r / (2 * s.core * s.core));
                if (s.rays > 0) {
                    // Thin rays along the axes, and shorter ones on the diagonals.
                    double ax =
                        std::exp(-dy * dy / 0.35) * std::max(0.0, 1 - std::abs(dx) / s.rayLength);
                    double ay =
                        std::exp(-dx * dx / 0.35) * std::max(0.0, 1 - std::abs(dy) / s.rayLength);
                    v = std::max({v, ax, ay});
                    if (s.diagonal > 0) {
                        double d1 = std::abs(dx - dy) / std::sqrt(2.0),
                               d2 = std::abs(dx + dy) / std::sqrt(2.0);
                        double along = r / s.diagonal;
                        double dg = std::max(std::exp(-d1 * d1 / 0.3), std::exp(-d2 * d2 / 0.3)) *
                                    std::max(0.0, 1 - along);
                        v = std::max(v, 0.7 * dg);
                    }
                }
                v = std::clamp(v, 0.0, 1.0);
                // White at the heart, ice blue towards the tips.
                double red = 255 * v * (0.78 + 0.22 * v), green = 255 * v * (0.88 + 0.12 * v),
                       blue = 255 * v;
                px[size_t(s.first) + size_t(y) * s.w + x] =
                    (std::uint32_t(std::lround(red)) << 16) |
                    (std::uint32_t(std::lround(green)) << 8) | std::uint32_t(std::lround(blue));
            }
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(STARS_BYTES);
    for (std::uint32_t p : px)
        for (int k = 0; k < 4; ++k) bytes.push_back(std::uint8_t(p >> (8 * k)));
    return bytes;
}

} // namespace art
