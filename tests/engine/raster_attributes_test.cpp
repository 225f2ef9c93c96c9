// The values the drawers interpolate, read back from the pixels (a texture, a shade table and
// a previous frame that encode their coordinates), against exact affine interpolation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>

#include "engine/raster.h"
#include "engine/settings.h"
#include "support/raster_drawing.h"
#include "support/raster_reference.h"

namespace {

using namespace rastertest;

constexpr std::uint32_t BLANK = 0xFFFFFFFF;
constexpr double STEP = 1.0 / 65536.0;

// What 16.16 stepping explains at a pixel k pixels into its span: rounding of the vertices,
// the gradient's rounding once per pixel (twice that where the loop keeps 15 fraction bits),
// the chains' truncated slopes once per row, their x error times the gradient, and on a row
// reached by a one-row segment the reciprocal shortcut's error over that segment.
struct Tolerance {
    double rows, gradient, perPixel;
    std::vector<double> shortcut; // per frame row
    double At(int k, int y) const {
        return (16 + rows * (2 + std::fabs(gradient)) + k * perPixel) * STEP + shortcut[y];
    }
};

Tolerance ToleranceFor(const Triangle& t, const double q[3], const Rect& clip, double perPixel) {
    Tolerance tol{0, GradientX(t, q), perPixel, std::vector<double>(200, 0.0)};
    const std::vector<Point> poly = ClipToRect(t, clip);
    double ymin = 1e9, ymax = -1e9;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point a = poly[i], b = poly[(i + 1) % poly.size()];
        ymin = std::min(ymin, a.y);
        ymax = std::max(ymax, a.y);
        const double ca = std::ceil(a.y), cb = std::ceil(b.y);
        if (std::fabs(ca - cb) != 1) continue;
        const double qa = Interpolate(t, q, a.x, a.y), qb = Interpolate(t, q, b.x, b.y);
        const int row = static_cast<int>(std::min(ca, cb));
        if (row >= 0 && row < 200) {
            tol.shortcut[row] +=
                (std::fabs(qa - qb) + std::fabs(a.x - b.x) * std::fabs(tol.gradient)) / 4096.0;
        }
    }
    tol.rows = std::ceil(ymax) - std::ceil(ymin) + 2;
    return tol;
}

// True when got (an integer part, modulo 'wrap' if not 0, held to [lo, hi] otherwise) is the
// integer part of some value within tol of exact.
bool Explained(std::int64_t got, double exact, double tol, int wrap, int lo, int hi) {
    const auto from = static_cast<std::int64_t>(std::floor(exact - tol));
    const auto to = static_cast<std::int64_t>(std::floor(exact + tol));
    for (std::int64_t i = from; i <= to; ++i) {
        const std::int64_t want =
            wrap ? ((i % wrap) + wrap) % wrap : std::clamp<std::int64_t>(i, lo, hi);
        if (want == got) return true;
    }
    return false;
}

// Per drawer: how many attributes a pixel tells, and how to read attribute j from it.
struct Readout {
    Drawer drawer;
    int count;
    double perPixel;
};

class AttributeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::engineSettings.clipMinX = 0;
        engine::engineSettings.clipMinY = 0;
        engine::engineSettings.clipMaxX = 320;
        engine::engineSettings.clipMaxY = 200;
        frame_.Fill(BLANK);
        frame_.MakeTarget();
    }

    // Draws count random triangles; read(pixel, j) gives attribute j's integer part, values(at,
    // j) the vertex values of attribute j.
    template <typename Read, typename Values>
    void Check(Drawer drawer, int attributes, double perPixel, std::array<int, 2> wrap, int lo,
               int hi, const Read& read, const Values& values, Attributes (*make)(std::mt19937&),
               std::uint32_t seed) {
        std::mt19937 rng(seed);
        const Rect clip{0, 0, 320, 200};
        int checked = 0, wrong = 0;
        for (int n = 0; n < 1500; ++n) {
            const bool crossing = n % 2 == 1;
            const Triangle t =
                RandomTriangle(rng, 320, 200, crossing ? 120 : 0, crossing ? 400 : 100);
            const Attributes at = make(rng);
            Draw(drawer, t, at, src_);
            for (int j = 0; j < attributes; ++j) {
                double q[3];
                values(at, j, q);
                const Tolerance tol = ToleranceFor(t, q, clip, perPixel);
                for (int y = 0; y < 200; ++y) {
                    int first = -1;
                    for (int x = 0; x < 320; ++x) {
                        if (frame_.At(x, y) == BLANK) continue;
                        if (first < 0) first = x;
                        const double exact = Interpolate(t, q, x, y);
                        ++checked;
                        if (!Explained(read(frame_.At(x, y), j), exact, tol.At(x - first, y),
                                       wrap[j], lo, hi) &&
                            ++wrong <= 5) {
                            ADD_FAILURE() << DrawerName(drawer) << " attribute " << j << " at ("
                                          << x << ", " << y << "): got " << read(frame_.At(x, y), j)
                                          << ", exact " << exact << " +- " << tol.At(x - first, y);
                        }
                    }
                }
            }
            frame_.Fill(BLANK);
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(checked, 100000);
        EXPECT_TRUE(frame_.GuardsIntact());
    }

    GuardedFrame frame_{320, 200};
    DrawSources src_{3};
};

Attributes TexelCoordinates(std::mt19937& rng) {
    std::uniform_real_distribution<double> c(-400, 700), l(0, 63.99);
    Attributes at{};
    for (int i = 0; i < 3; ++i) {
        at.a[i] = c(rng);
        at.b[i] = c(rng);
        at.light[i] = l(rng);
    }
    return at;
}

TEST_F(AttributeTest, TexturedFacesReadTheTexelsOfTheirInterpolatedCoordinates) {
    // 15 fraction bits: the step loses up to 2^-15 per pixel.
    Check(
        Drawer::Textured, 2, 2.5, {256, 256}, 0, 0,
        [](std::uint32_t p, int j) { return static_cast<std::int64_t>((p >> (8 * j)) & 255); },
        [](const Attributes& at, int j, double* q) { std::copy_n(j == 0 ? at.a : at.b, 3, q); },
        TexelCoordinates, 31);
}

TEST_F(AttributeTest, GouraudFacesShowTheirInterpolatedLightAsGrey) {
    Check(
        Drawer::Gouraud, 1, 0.5, {0, 0}, 0, 255,
        [](std::uint32_t p, int) {
            EXPECT_EQ(p, (p & 255) * 0x010101u) << "not a grey";
            return static_cast<std::int64_t>(p & 255);
        },
        [](const Attributes& at, int, double* q) { std::copy_n(at.a, 3, q); },
        [](std::mt19937& rng) {
            // Vertex lights at the ends of the range too: rounding must not wrap them.
            std::uniform_int_distribution<int> pick(0, 3);
            std::uniform_real_distribution<double> l(0, 255);
            Attributes at{};
            for (double& a : at.a) a = pick(rng) == 0 ? 0.0 : pick(rng) == 0 ? 255.0 : l(rng);
            return at;
        },
        32);
}

TEST_F(AttributeTest, EnvironmentFacesReadThePreviousFrameAtTheirCoordinates) {
    Check(
        Drawer::Environment, 2, 0.5, {0, 0}, 0, 319,
        [](std::uint32_t p, int j) {
            return static_cast<std::int64_t>(j == 0 ? p & 0xFFF : p >> 12);
        },
        [](const Attributes& at, int j, double* q) { std::copy_n(j == 0 ? at.a : at.b, 3, q); },
        [](std::mt19937& rng) {
            std::uniform_real_distribution<double> u(0, 319.99), v(0, 199.99);
            Attributes at{};
            for (int i = 0; i < 3; ++i) {
                at.a[i] = u(rng);
                at.b[i] = v(rng);
            }
            return at;
        },
        33);
}

TEST_F(AttributeTest, ShadedTexturesReadTheIndexAtUVAndTheShadeAtTheLight) {
    // Index (u, v) = u; shade entry l of block i = i | l << 8: a pixel tells u and the light.
    // Then the same with index = v.
    for (int pass = 0; pass < 2; ++pass) {
        for (int v = 0; v < 256; ++v) {
            for (int u = 0; u < 256; ++u)
                src_.palette[v * 256 + u] = static_cast<std::uint8_t>(pass ? v : u);
        }
        for (std::uint32_t i = 0; i < 256; ++i) {
            for (std::uint32_t l = 0; l < 64; ++l) {
                const std::uint32_t c = i | l << 8;
                std::memcpy(&src_.palette[65536 + i * 256 + l * 4], &c, 4);
            }
        }
        Check(
            Drawer::ShadedTexture, 2, 0.5, {256, 64}, 0, 0,
            [](std::uint32_t p, int j) {
                return static_cast<std::int64_t>(j == 0 ? p & 255 : (p >> 8) & 63);
            },
            [pass](const Attributes& at, int j, double* q) {
                std::copy_n(j == 1 ? at.light : pass ? at.b : at.a, 3, q);
            },
            TexelCoordinates, 34 + pass);
    }
}

} // namespace
