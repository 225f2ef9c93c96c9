#pragma once
// What the drawers must do, written from the fill rule: a pixel is covered when its centre lies
// in the triangle (top-left rule: rows from the top vertex inclusive to the bottom one
// exclusive, columns from the left edge inclusive to the right edge exclusive) and in the clip
// rectangle (min inclusive, max exclusive). Attributes are the exact affine interpolation.
// Also a guarded frame that catches writes outside it.
#include <cstdint>
#include <random>
#include <vector>

namespace rastertest {

struct Triangle {
    double x[3], y[3];
};

struct Rect {
    double minX, minY, maxX, maxY;
};

enum class Cover { Out, In, Either };

// Either where an edge passes so close to the centre that rounding to 16.16 and stepping by
// truncated 16.16 slopes may decide it: within 2^-10, widened by what that stepping explains
// (one 2^-16 per row walked and the slope's own truncation).
Cover Covers(const Triangle& t, const Rect& clip, int px, int py);

// The value at (px, py) of the plane through (x_i, y_i, q_i).
double Interpolate(const Triangle& t, const double q[3], double px, double py);
// dq/dx of that plane.
double GradientX(const Triangle& t, const double q[3]);

// The triangle with its coordinates rounded to floats, as the drawers receive them.
Triangle AsFloats(const Triangle& t);

// The triangle cut to the rectangle, exactly in double precision: the polygon the drawers
// fill, as a list of points.
struct Point {
    double x, y;
};
std::vector<Point> ClipToRect(const Triangle& t, const Rect& r);

// Twice the signed area as the drawers compute it; they draw only when it is negative.
double Orientation(const Triangle& t);

// A triangle with a random size (log-uniform up to maxSize) around a random centre inside
// (or around, with margin) the frame, oriented so that it is drawn.
Triangle RandomTriangle(std::mt19937& rng, double width, double height, double margin,
                        double maxSize);

// A W x H frame with guard rows above and below and guard columns on the right, all holding
// GUARD; the pitch covers the guard columns.
class GuardedFrame {
  public:
    static constexpr std::uint32_t GUARD = 0xDEADBEEF;
    GuardedFrame(int width, int height);
    void Fill(std::uint32_t value);
    void MakeTarget(); // SetRasterTarget on this frame
    std::uint32_t& At(int x, int y) { return pixels_[Index(x, y)]; }
    std::uint32_t* Row(int y) { return &pixels_[Index(0, y)]; }
    bool GuardsIntact() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    int PitchPixels() const { return width_ + GUARD_COLUMNS; }

  private:
    static constexpr int GUARD_ROWS = 4, GUARD_COLUMNS = 12;
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y + GUARD_ROWS) * (width_ + GUARD_COLUMNS) + x;
    }
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

// The swizzled index of texel (u, v) in a 32-bit 256x256 texture.
inline int Swizzled(int u, int v) {
    return (u >> 3) * 2048 + v * 8 + (u & 7);
}

// A 32-bit texture whose texel (u, v) holds u in the blue byte, v in the green one and 0x5A
// in the red one, so a pixel tells which texel it came from.
std::vector<std::uint32_t> CoordinateTexture();

} // namespace rastertest
