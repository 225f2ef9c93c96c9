// Faces a damaged scene can hand the drawers: coordinates that are not numbers, infinite or
// far too large, attributes likewise, a clip rectangle beyond the frame, a small frame, and
// environment coordinates off the previous frame. Nothing may be written outside the frame or
// read outside a picture (the sanitizer build sees the reads).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "engine/raster.h"
#include "engine/settings.h"
#include "support/raster_drawing.h"
#include "support/raster_reference.h"

namespace {

using namespace rastertest;

constexpr std::uint32_t BLANK = 0xFFFFFFFF;
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

void SetClip(float x0, float y0, float x1, float y1) {
    engine::engineSettings.clipMinX = x0;
    engine::engineSettings.clipMinY = y0;
    engine::engineSettings.clipMaxX = x1;
    engine::engineSettings.clipMaxY = y1;
}

// A float from a mix of the ordinary and the hostile.
float Nasty(std::mt19937& rng) {
    static const float specials[] = {NaN,      INF,      -INF,          1e30f, -1e30f,
                                     3.4e38f,  -3.4e38f, 1e-30f,        0.0f,  -0.0f,
                                     32768.0f, 65536.0f, 2147483648.0f, 1e9f,  -1e9f};
    switch (rng() % 4) {
    case 0:
        return specials[rng() % std::size(specials)];
    case 1:
        return std::uniform_real_distribution<float>(-1000, 1000)(rng);
    case 2:
        return static_cast<float>(static_cast<int>(rng() % 400) - 40);
    default:
        return std::uniform_real_distribution<float>(-10, 330)(rng);
    }
}

// True when every pixel is blank or one a drawer could have made from the sources.
bool OnlyKnownPixels(GuardedFrame& f, Drawer d) {
    for (int y = 0; y < f.Height(); ++y) {
        for (int x = 0; x < f.Width(); ++x) {
            const std::uint32_t p = f.At(x, y);
            if (p == BLANK) continue;
            if (d == Drawer::Textured && (p >> 16) != 0x5A) return false;
            if (d == Drawer::Gouraud && p != (p & 255) * 0x010101u) return false;
            if (d == Drawer::Environment && ((p & 0xFFF) >= 320 || (p >> 12) >= 200)) return false;
        }
    }
    return true;
}

TEST(HostileFaceTest, RandomHostileFacesNeverWriteOutsideTheFrame) {
    std::mt19937 rng(41);
    const DrawSources src(41);
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(0, 0, 320, 200);
    for (Drawer d : ALL_DRAWERS) {
        SCOPED_TRACE(DrawerName(d));
        for (int n = 0; n < 3000; ++n) {
            Triangle t;
            Attributes at;
            for (int i = 0; i < 3; ++i) {
                t.x[i] = Nasty(rng);
                t.y[i] = Nasty(rng);
                at.a[i] = Nasty(rng);
                at.b[i] = Nasty(rng);
                at.light[i] = Nasty(rng);
            }
            Draw(d, t, at, src);
        }
        EXPECT_TRUE(frame.GuardsIntact());
        EXPECT_TRUE(OnlyKnownPixels(frame, d));
        frame.Fill(BLANK);
    }
}

TEST(HostileFaceTest, AVertexThatIsNoNumberOrInfiniteDrawsNothing) {
    const DrawSources src(42);
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(0, 0, 320, 200);
    for (float bad : {NaN, INF, -INF}) {
        Draw(Drawer::Textured, {{bad, 10, 100}, {10, 100, 50}}, {}, src);
        Draw(Drawer::Textured, {{10, 10, 100}, {10, bad, 50}}, {}, src);
    }
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) ASSERT_EQ(frame.At(x, y), BLANK);
    }
}

TEST(HostileFaceTest, HugeFacesAndHugeCoordinatesAreClippedToTheFrame) {
    const DrawSources src(43);
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(0, 0, 320, 200);
    // A face far larger than the frame covering it whole, with coordinates beyond 32 bits.
    const Triangle huge{{-1e30, -1e30, 1e30}, {-1e30, 1e30, 0}};
    Draw(Drawer::Textured, huge, {{1e30, 3e38, -7e20}, {2e9, 7, 1e12}, {}}, src);
    EXPECT_TRUE(OnlyKnownPixels(frame, Drawer::Textured));
    EXPECT_NE(frame.At(0, 0), BLANK);
    EXPECT_NE(frame.At(319, 199), BLANK);
    EXPECT_TRUE(frame.GuardsIntact());
    // Attributes that are no numbers draw texel (0, 0).
    frame.Fill(BLANK);
    Draw(Drawer::Textured, {{10, 10, 40}, {10, 30, 20}}, {{NaN, NaN, NaN}, {NaN, NaN, NaN}, {}},
         src);
    EXPECT_EQ(frame.At(20, 20), src.texels[0]);
    // Lights beyond 0..255 saturate to black and white.
    Draw(Drawer::Gouraud, {{10, 10, 40}, {10, 30, 20}}, {{-1e6, -1e6, -1e6}, {}, {}}, src);
    EXPECT_EQ(frame.At(20, 20), 0u);
    Draw(Drawer::Gouraud, {{10, 10, 40}, {10, 30, 20}}, {{300, 1e4, 600}, {}, {}}, src);
    EXPECT_EQ(frame.At(20, 20), 0xFFFFFFu);
}

TEST(HostileFaceTest, EnvironmentCoordinatesOffThePreviousFrameReadItsNearestEdge) {
    const DrawSources src(44);
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(0, 0, 320, 200);
    Draw(Drawer::Environment, {{10, 10, 40}, {10, 30, 20}}, {{-50, -50, -50}, {500, 500, 500}, {}},
         src);
    EXPECT_EQ(frame.At(20, 20), src.previous[199 * 320 + 0]);
    Draw(Drawer::Environment, {{10, 10, 40}, {10, 30, 20}}, {{5000, 5000, 5000}, {-3, -3, -3}, {}},
         src);
    EXPECT_EQ(frame.At(20, 20), src.previous[319]);
    // Beyond 32 bits in 16.16 a coordinate is taken modulo 2^32 like any other: still a pixel
    // of the previous frame.
    Draw(Drawer::Environment, {{10, 10, 40}, {10, 30, 20}}, {{1e9, 3e38, -1e12}, {1e20, 0, 0}, {}},
         src);
    // A face whose coordinates run from inside to far outside.
    Draw(Drawer::Environment, {{0, 0, 319}, {0, 199, 100}}, {{-400, 100, 900}, {-300, 600, 50}, {}},
         src);
    EXPECT_TRUE(OnlyKnownPixels(frame, Drawer::Environment));
    EXPECT_TRUE(frame.GuardsIntact());
}

TEST(HostileFaceTest, AClipRectangleBeyondTheFrameIsCutToIt) {
    const DrawSources src(45);
    GuardedFrame small(7, 5);
    small.Fill(BLANK);
    small.MakeTarget();
    for (auto clip : {std::array<float, 4>{0, 0, 320, 200},
                      {-100, -100, 1000, 1000},
                      {NaN, NaN, NaN, NaN},
                      {-INF, -INF, INF, INF},
                      {50, 50, 10, 10}}) {
        SetClip(clip[0], clip[1], clip[2], clip[3]);
        for (Drawer d : ALL_DRAWERS)
            Draw(d, {{-50, -50, 300}, {-50, 300, 2}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, src);
        ASSERT_TRUE(small.GuardsIntact());
    }
    // With the first four the face covers the whole small frame.
    SetClip(-100, -100, 1000, 1000);
    small.Fill(BLANK);
    Draw(Drawer::Gouraud, {{-50, -50, 300}, {-50, 300, 2}}, {{9, 9, 9}, {}, {}}, src);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(small.At(x, y), 0x090909u);
    }
}

TEST(HostileFaceTest, MissingPicturesOrFrameDrawNothing) {
    GuardedFrame frame(320, 200);
    frame.Fill(BLANK);
    frame.MakeTarget();
    SetClip(0, 0, 320, 200);
    engine::ScreenVertex v[3] = {{10, 10, 0, 0, 0}, {10, 30, 0, 0, 0}, {40, 20, 0, 0, 0}};
    engine::ShadedVertex s[3] = {{10, 10, 0, 0, 0, 0}, {10, 30, 0, 0, 0, 0}, {40, 20, 0, 0, 0, 0}};
    engine::FillTextured(v, nullptr);
    engine::FillTexturedHalf(v, nullptr);
    engine::FillTexturedBlend(v, nullptr, 1, 2);
    engine::FillTexturedAlpha(v, nullptr);
    engine::FillShadedTexture(s, nullptr);
    engine::FillEnvironment(v, nullptr, 320, 200);
    const std::uint32_t one = 0;
    engine::FillEnvironment(v, &one, 0, 200);
    EXPECT_EQ(frame.At(20, 20), BLANK);
    engine::SetRasterTarget(nullptr, 1280, 320, 200);
    engine::FillGouraud(v); // no frame: nothing, and no crash
    frame.MakeTarget();
    EXPECT_EQ(frame.At(20, 20), BLANK);
}

} // namespace
