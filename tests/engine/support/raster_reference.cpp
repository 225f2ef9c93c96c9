#include "raster_reference.h"

#include <algorithm>
#include <cmath>

#include "engine/raster.h"

namespace rastertest {

namespace {

constexpr double NEAR = 1.0 / 1024.0;
constexpr double STEP = 1.0 / 65536.0;

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

} // namespace

double Orientation(const Triangle& t) {
    return (t.x[0] - t.x[2]) * (t.y[1] - t.y[2]) - (t.x[1] - t.x[2]) * (t.y[0] - t.y[2]);
}

Triangle AsFloats(const Triangle& t) {
    Triangle f;
    for (int i = 0; i < 3; ++i) {
        f.x[i] = static_cast<float>(t.x[i]);
        f.y[i] = static_cast<float>(t.y[i]);
    }
    return f;
}

Cover Covers(const Triangle& given, const Rect& clip, int px, int py) {
    const Triangle t = AsFloats(given); // the drawers see floats
    if (Orientation(t) >= 0) return Cover::Out;
    if (px < clip.minX || px >= clip.maxX || py < clip.minY || py >= clip.maxY) return Cover::Out;
    const double ymin = std::min({t.y[0], t.y[1], t.y[2]});
    const double ymax = std::max({t.y[0], t.y[1], t.y[2]});
    const double rows = std::ceil(ymax) - std::ceil(ymin) + 10;
    bool near = false;
    double xl = INFINITY, xr = -INFINITY;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const double ax = t.x[i], ay = t.y[i], bx = t.x[j], by = t.y[j];
        if (SegmentDistance(px, py, ax, ay, bx, by) < NEAR) near = true;
        if (ay == by || py < std::min(ay, by) || py > std::max(ay, by)) continue;
        const double slope = (bx - ax) / (by - ay);
        const double x = ax + (py - ay) * slope;
        xl = std::min(xl, x);
        xr = std::max(xr, x);
        if (std::fabs(px - x) < NEAR + rows * STEP + std::fabs(slope) * STEP * 16) near = true;
    }
    const bool inside = py >= ymin && py < ymax && px >= xl && px < xr;
    if (near) return Cover::Either;
    return inside ? Cover::In : Cover::Out;
}

std::vector<Point> ClipToRect(const Triangle& given, const Rect& r) {
    const Triangle t = AsFloats(given);
    std::vector<Point> poly{{t.x[0], t.y[0]}, {t.x[1], t.y[1]}, {t.x[2], t.y[2]}};
    // Signed distance inside each of the four half-planes.
    const auto inside = [&r](int edge, const Point& p) {
        switch (edge) {
        case 0:
            return p.x - r.minX;
        case 1:
            return r.maxX - p.x;
        case 2:
            return p.y - r.minY;
        default:
            return r.maxY - p.y;
        }
    };
    for (int edge = 0; edge < 4; ++edge) {
        std::vector<Point> out;
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const Point a = poly[i], b = poly[(i + 1) % poly.size()];
            const double da = inside(edge, a), db = inside(edge, b);
            if (da >= 0) out.push_back(a);
            if ((da >= 0) != (db >= 0)) {
                const double s = da / (da - db);
                out.push_back({a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s});
            }
        }
        poly = out;
    }
    return poly;
}

double Interpolate(const Triangle& given, const double q[3], double px, double py) {
    const Triangle t = AsFloats(given);
    const double d = Orientation(t);
    // Barycentric weights of the point.
    const double w0 = ((px - t.x[2]) * (t.y[1] - t.y[2]) - (t.x[1] - t.x[2]) * (py - t.y[2])) / d;
    const double w1 = ((t.x[0] - t.x[2]) * (py - t.y[2]) - (px - t.x[2]) * (t.y[0] - t.y[2])) / d;
    return w0 * q[0] + w1 * q[1] + (1 - w0 - w1) * q[2];
}

double GradientX(const Triangle& t, const double q[3]) {
    return Interpolate(t, q, 1, 0) - Interpolate(t, q, 0, 0);
}

Triangle RandomTriangle(std::mt19937& rng, double width, double height, double margin,
                        double maxSize) {
    std::uniform_real_distribution<double> cx(-margin, width + margin),
        cy(-margin, height + margin);
    std::uniform_real_distribution<double> logSize(std::log(0.5), std::log(maxSize));
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (;;) {
        const double size = std::exp(logSize(rng));
        const double mx = cx(rng), my = cy(rng);
        Triangle t;
        for (int i = 0; i < 3; ++i) {
            t.x[i] = static_cast<float>(mx + unit(rng) * size);
            t.y[i] = static_cast<float>(my + unit(rng) * size);
        }
        const double d = Orientation(t);
        if (d == 0) continue;
        if (d > 0) {
            std::swap(t.x[1], t.x[2]);
            std::swap(t.y[1], t.y[2]);
        }
        return t;
    }
}

GuardedFrame::GuardedFrame(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(height + 2 * GUARD_ROWS) * (width + GUARD_COLUMNS), GUARD) {}

void GuardedFrame::Fill(std::uint32_t value) {
    for (int y = 0; y < height_; ++y) std::fill(Row(y), Row(y) + width_, value);
}

void GuardedFrame::MakeTarget() {
    engine::SetRasterTarget(reinterpret_cast<std::uint8_t*>(Row(0)), PitchPixels() * 4, width_,
                            height_);
}

bool GuardedFrame::GuardsIntact() const {
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const std::size_t row = i / (width_ + GUARD_COLUMNS);
        const std::size_t col = i % (width_ + GUARD_COLUMNS);
        const bool inside = row >= GUARD_ROWS &&
                            row < static_cast<std::size_t>(GUARD_ROWS + height_) &&
                            col < static_cast<std::size_t>(width_);
        if (!inside && pixels_[i] != GUARD) return false;
    }
    return true;
}

std::vector<std::uint32_t> CoordinateTexture() {
    std::vector<std::uint32_t> texels(65536);
    for (int v = 0; v < 256; ++v) {
        for (int u = 0; u < 256; ++u) {
            texels[Swizzled(u, v)] = static_cast<std::uint32_t>(u | v << 8 | 0x5A << 16);
        }
    }
    return texels;
}

} // namespace rastertest
