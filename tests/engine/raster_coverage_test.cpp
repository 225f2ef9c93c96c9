// Which pixels the drawers write, against the fill rule: random triangles inside and across
// the clip rectangle, and tilings of the frame that must cover every pixel exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "engine/raster.h"
#include "engine/settings.h"
#include "support/raster_drawing.h"
#include "support/raster_reference.h"

namespace {

using namespace rastertest;

constexpr std::uint32_t BLANK = 0xFFFFFFFF; // no drawer writes a pixel with a top byte 0xFF

void SetClip(const Rect& r) {
    engine::engineSettings.clipMinX = static_cast<float>(r.minX);
    engine::engineSettings.clipMinY = static_cast<float>(r.minY);
    engine::engineSettings.clipMaxX = static_cast<float>(r.maxX);
    engine::engineSettings.clipMaxY = static_cast<float>(r.maxY);
}

Attributes RandomAttributes(std::mt19937& rng, Drawer drawer) {
    Attributes at{};
    std::uniform_real_distribution<double> texel(-300, 600), light(0, 255), shade(0, 63.5);
    std::uniform_real_distribution<double> u(0, 319.9), v(0, 199.9);
    for (int i = 0; i < 3; ++i) {
        if (drawer == Drawer::Gouraud) {
            at.a[i] = light(rng);
        } else if (drawer == Drawer::Environment) {
            at.a[i] = u(rng);
            at.b[i] = v(rng);
        } else {
            at.a[i] = texel(rng);
            at.b[i] = texel(rng);
        }
        at.light[i] = shade(rng);
    }
    return at;
}

struct Box {
    int x0, y0, x1, y1; // inclusive-exclusive, inside the frame
};

Box BoundsOf(const Triangle& t, int w, int h) {
    const double xmin = std::min({t.x[0], t.x[1], t.x[2]}),
                 xmax = std::max({t.x[0], t.x[1], t.x[2]});
    const double ymin = std::min({t.y[0], t.y[1], t.y[2]}),
                 ymax = std::max({t.y[0], t.y[1], t.y[2]});
    return {std::clamp(static_cast<int>(std::floor(xmin)) - 1, 0, w),
            std::clamp(static_cast<int>(std::floor(ymin)) - 1, 0, h),
            std::clamp(static_cast<int>(std::ceil(xmax)) + 2, 0, w),
            std::clamp(static_cast<int>(std::ceil(ymax)) + 2, 0, h)};
}

bool AllBlank(GuardedFrame& f) {
    for (int y = 0; y < f.Height(); ++y) {
        for (int x = 0; x < f.Width(); ++x) {
            if (f.At(x, y) != BLANK) return false;
        }
    }
    return f.GuardsIntact();
}

// Draws count random triangles with the drawer and compares every pixel of their bounds with
// the fill rule; pixels outside the bounds are checked to stay blank now and then.
void CheckCoverage(Drawer drawer, const Rect& clip, double margin, double maxSize, int count,
                   std::uint32_t seed) {
    SCOPED_TRACE(DrawerName(drawer));
    std::mt19937 rng(seed);
    const DrawSources src(seed);
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(clip);
    const Rect inFrame{std::max(clip.minX, 0.0), std::max(clip.minY, 0.0),
                       std::min(clip.maxX, 320.0), std::min(clip.maxY, 200.0)};
    int wrong = 0, checkedIn = 0;
    for (int n = 0; n < count; ++n) {
        const Triangle t = RandomTriangle(rng, 320, 200, margin, maxSize);
        Draw(drawer, t, RandomAttributes(rng, drawer), src);
        const Box b = BoundsOf(t, 320, 200);
        for (int y = b.y0; y < b.y1; ++y) {
            for (int x = b.x0; x < b.x1; ++x) {
                const Cover c = Covers(t, inFrame, x, y);
                const bool written = frame.At(x, y) != BLANK;
                checkedIn += c == Cover::In;
                if ((c == Cover::In && !written) || (c == Cover::Out && written)) {
                    if (++wrong <= 5) {
                        ADD_FAILURE() << "pixel (" << x << ", " << y << ") "
                                      << (written ? "written" : "missed") << " by triangle ("
                                      << t.x[0] << ", " << t.y[0] << ") (" << t.x[1] << ", "
                                      << t.y[1] << ") (" << t.x[2] << ", " << t.y[2] << ")";
                    }
                }
                frame.At(x, y) = BLANK;
            }
        }
        if (n % 64 == 63) {
            ASSERT_TRUE(AllBlank(frame)) << "a write outside the face's bounds";
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(checkedIn, count); // the triangles did cover pixels
    EXPECT_TRUE(AllBlank(frame));
}

class CoverageTest : public ::testing::TestWithParam<Drawer> {};

TEST_P(CoverageTest, TrianglesInsideTheFrameCoverThePixelsTheFillRuleGives) {
    CheckCoverage(GetParam(), {0, 0, 320, 200}, 0, 120, 1200, 11);
}

TEST_P(CoverageTest, TrianglesAcrossTheClipEdgesCoverOnlyTheClippedPart) {
    CheckCoverage(GetParam(), {0, 0, 320, 200}, 150, 500, 600, 12);
    CheckCoverage(GetParam(), {10, 10, 310, 190}, 100, 300, 400, 13);
    CheckCoverage(GetParam(), {7.5, 12.25, 300.5, 180.75}, 100, 300, 400, 14);
}

INSTANTIATE_TEST_SUITE_P(AllDrawers, CoverageTest, ::testing::ValuesIn(ALL_DRAWERS),
                         [](const auto& info) { return std::string(DrawerName(info.param)); });

// Draws the two triangles of every cell of a grid and counts the writes of each pixel.
void CheckTiling(Drawer drawer, int columns, int rows, double jitter, bool integral,
                 std::uint32_t seed) {
    SCOPED_TRACE(DrawerName(drawer));
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> shake(-jitter, jitter);
    const DrawSources src(seed);
    SetClip({0, 0, 320, 200});
    GuardedFrame frame(320, 200);
    frame.MakeTarget();
    std::vector<int> writes(320 * 200, 0);
    // Grid points from beyond the frame's edges so the outer cells are clipped.
    std::vector<double> gx((columns + 1) * (rows + 1)), gy(gx.size());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            double x = -13.3 + i * (346.6 / columns), y = -9.7 + j * (219.4 / rows);
            x += shake(rng);
            y += shake(rng);
            if (integral) {
                x = std::round(x);
                y = std::round(y);
            }
            gx[j * (columns + 1) + i] = x;
            gy[j * (columns + 1) + i] = y;
        }
    }
    const auto point = [&](int i, int j, double& x, double& y) {
        x = gx[j * (columns + 1) + i];
        y = gy[j * (columns + 1) + i];
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            Triangle a, b;
            point(i, j, a.x[0], a.y[0]);
            point(i, j + 1, a.x[1], a.y[1]);
            point(i + 1, j + 1, a.x[2], a.y[2]);
            point(i, j, b.x[0], b.y[0]);
            point(i + 1, j + 1, b.x[1], b.y[1]);
            point(i + 1, j, b.x[2], b.y[2]);
            for (const Triangle& t : {a, b}) {
                ASSERT_LT(Orientation(AsFloats(t)), 0);
                frame.Fill(BLANK);
                Draw(drawer, t, Attributes{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, src);
                for (int y = 0; y < 200; ++y) {
                    for (int x = 0; x < 320; ++x) writes[y * 320 + x] += frame.At(x, y) != BLANK;
                }
            }
        }
    }
    int bad = 0;
    for (int k = 0; k < 320 * 200; ++k) {
        if (writes[k] != 1 && ++bad <= 5) {
            ADD_FAILURE() << "pixel (" << k % 320 << ", " << k / 320 << ") written " << writes[k]
                          << " times";
        }
    }
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(frame.GuardsIntact());
}

TEST(TilingTest, AJitteredGridCoversEveryPixelExactlyOnce) {
    CheckTiling(Drawer::Gouraud, 9, 6, 6.0, false, 21);
    CheckTiling(Drawer::Textured, 5, 4, 10.0, false, 22);
    CheckTiling(Drawer::ShadedTexture, 4, 3, 10.0, false, 23);
}

TEST(TilingTest, AGridOnPixelCentresCoversEveryPixelExactlyOnce) {
    // Vertices on integer coordinates put edges through rows of pixel centres: the top-left
    // rule alone decides them.
    CheckTiling(Drawer::Gouraud, 8, 5, 5.0, true, 24);
    CheckTiling(Drawer::Environment, 6, 4, 0.0, true, 25);
}

} // namespace
