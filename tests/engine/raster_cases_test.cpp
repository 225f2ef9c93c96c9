// The drawers' particular cases: rejects before the clipper, the clipped polygon, faces that
// cover no row, wrapping texture coordinates, the top shade entry and the vertex order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/raster.h"
#include "engine/raster_internal.h"
#include "engine/settings.h"
#include "support/raster_reference.h"

namespace {

using namespace rastertest;
using engine::raster::ClipRect;
using engine::raster::ClipVertex;

constexpr std::uint32_t BLANK = 0xFFFFFFFF;

class RasterCaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::engineSettings.clipMinX = 0;
        engine::engineSettings.clipMinY = 0;
        engine::engineSettings.clipMaxX = 320;
        engine::engineSettings.clipMaxY = 200;
        frame_.Fill(BLANK);
        frame_.MakeTarget();
    }
    int Written() {
        int n = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 320; ++x) n += frame_.At(x, y) != BLANK;
        }
        return n;
    }
    void Textured(std::initializer_list<engine::ScreenVertex> vertices) {
        std::vector<engine::ScreenVertex> v(vertices);
        engine::FillTextured(v.data(), reinterpret_cast<const std::uint8_t*>(texels_.data()));
    }
    GuardedFrame frame_{320, 200};
    std::vector<std::uint32_t> texels_ = CoordinateTexture();
};

TEST_F(RasterCaseTest, AFaceBeyondOneEdgeIsRejectedBeforeTheClipper) {
    const std::uint64_t before = engine::raster::clipperCalls;
    Textured({{-50, 10, 0, 0, 0}, {-40, 90, 0, 0, 0}, {-1, 50, 0, 0, 0}});
    Textured({{10, 201, 0, 0, 0}, {300, 260, 0, 0, 0}, {320, 200.5f, 0, 0, 0}});
    EXPECT_EQ(engine::raster::clipperCalls, before);
    EXPECT_EQ(Written(), 0);
    // One vertex out: clipped and drawn.
    Textured({{-5, 10, 0, 0, 0}, {10, 90, 0, 0, 0}, {40, 50, 0, 0, 0}});
    EXPECT_EQ(engine::raster::clipperCalls, before + 1);
    EXPECT_GT(Written(), 0);
    // A face inside takes the path without the clipper.
    Textured({{50, 10, 0, 0, 0}, {60, 90, 0, 0, 0}, {140, 50, 0, 0, 0}});
    EXPECT_EQ(engine::raster::clipperCalls, before + 1);
}

TEST_F(RasterCaseTest, AFaceAcrossACornerBecomesAFiveVertexPolygon) {
    const ClipRect rect{0, 0, 320, 200, 0, 0, 320, 200};
    ClipVertex<2> pool[engine::raster::CLIP_POOL];
    const float xy[3][2] = {{290, 170}, {290, 220}, {340, 170}};
    for (int i = 0; i < 3; ++i) {
        pool[i] = {xy[i][0], xy[i][1], {xy[i][0] * 2, xy[i][1] * 3}, 0};
        pool[i].outcode = engine::raster::Outcode(xy[i][0], xy[i][1], rect);
    }
    ClipVertex<2>* out[engine::raster::CLIP_LIST];
    const int n = engine::raster::ClipTriangle<2>(pool, out, rect);
    ASSERT_EQ(n, 5);
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const ClipVertex<2>& a = *out[i];
        const ClipVertex<2>& b = *out[(i + 1) % n];
        EXPECT_TRUE(a.x >= 0 && a.x <= 320 && a.y >= 0 && a.y <= 200);
        EXPECT_FLOAT_EQ(a.a[0], a.x * 2); // attributes follow the position
        EXPECT_FLOAT_EQ(a.a[1], a.y * 3);
        area += a.x * b.y - b.x * a.y;
    }
    // The 30x30 square left inside, less the 10x10 corner cut off by the long edge.
    EXPECT_NEAR(std::fabs(area) / 2, 850.0, 1e-3);
    // Drawn, it fills the pixel centres x 290..319, y 170..199 left of its long edge
    // x + y = 510, which as a right edge excludes the centres on it: 900 less 1 + 2 + ... + 9.
    Textured({{290, 170, 0, 0, 0}, {290, 220, 0, 0, 0}, {340, 170, 0, 0, 0}});
    EXPECT_EQ(Written(), 855);
    EXPECT_NE(frame_.At(318, 191), BLANK);
    EXPECT_EQ(frame_.At(319, 191), BLANK);
}

TEST_F(RasterCaseTest, FacesThatCoverNoRowOrNoAreaDrawNothing) {
    Textured({{10, 10, 0, 0, 0}, {20, 20, 0, 0, 0}, {30, 30, 0, 0, 0}});        // d = 0
    Textured({{10, 10, 0, 0, 0}, {10, 10, 0, 0, 0}, {10, 10, 0, 0, 0}});        // one point
    Textured({{5, 10.2f, 0, 0, 0}, {2, 10.9f, 0, 0, 0}, {20, 10.9f, 0, 0, 0}}); // rows 11 to 10
    Textured({{5.2f, 10, 0, 0, 0}, {5.2f, 40, 0, 0, 0}, {5.9f, 30, 0, 0, 0}});  // columns 6 to 5
    EXPECT_EQ(Written(), 0);
    // A face around one pixel centre draws that pixel alone.
    Textured({{7.9f, 4.9f, 0, 0, 0}, {7.9f, 5.1f, 0, 0, 0}, {8.1f, 5.0f, 0, 0, 0}});
    EXPECT_EQ(Written(), 1);
    EXPECT_NE(frame_.At(8, 5), BLANK);
}

TEST_F(RasterCaseTest, TextureCoordinatesWrapAt256) {
    Textured({{10, 10, 256.5f, 3, 0}, {10, 30, 256.5f, 3, 0}, {40, 20, 256.5f, 3, 0}});
    ASSERT_GT(Written(), 100);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            if (frame_.At(x, y) != BLANK) {
                ASSERT_EQ(frame_.At(x, y), texels_[Swizzled(0, 3)]);
            }
        }
    }
    frame_.Fill(BLANK);
    Textured(
        {{10, 10, -0.5f, 511.25f, 0}, {10, 30, -0.5f, 511.25f, 0}, {40, 20, -0.5f, 511.25f, 0}});
    EXPECT_EQ(frame_.At(20, 20), texels_[Swizzled(255, 255)]);
}

TEST_F(RasterCaseTest, TheShadeLightIsTakenModulo64) {
    std::vector<std::uint8_t> palette(131072, 7); // every index 7
    for (std::uint32_t l = 0; l < 64; ++l) {
        const std::uint32_t c = 0x100 + l;
        std::memcpy(&palette[65536 + 7 * 256 + l * 4], &c, 4);
    }
    const auto draw = [&](float light) {
        engine::ShadedVertex v[3] = {
            {10, 10, 0, 0, light, 0}, {10, 30, 0, 0, light, 0}, {40, 20, 0, 0, light, 0}};
        engine::FillShadedTexture(v, palette.data());
        return frame_.At(20, 20);
    };
    EXPECT_EQ(draw(63.9f), 0x100u + 63); // the top entry, black in a prepared table
    EXPECT_EQ(draw(62.0f), 0x100u + 62);
    EXPECT_EQ(draw(64.5f), 0x100u + 0);
    EXPECT_EQ(draw(0.0f), 0x100u + 0);
}

TEST_F(RasterCaseTest, OnlyFacesWithNegativeOrientationAreDrawn) {
    Textured({{0, 0, 0, 0, 0}, {-10, 10, 0, 0, 0}, {10, 10, 0, 0, 0}});
    const int forwards = Written();
    // The part right of the clip edge x = 0: row y has the centres 0 to y - 1.
    EXPECT_EQ(forwards, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9);
    frame_.Fill(BLANK);
    Textured({{0, 0, 0, 0, 0}, {10, 10, 0, 0, 0}, {-10, 10, 0, 0, 0}});
    EXPECT_EQ(Written(), 0);
    Textured({{100, 50, 0, 0, 0}, {130, 50, 0, 0, 0}, {100, 80, 0, 0, 0}});
    EXPECT_EQ(Written(), 0);
    Textured({{100, 50, 0, 0, 0}, {100, 80, 0, 0, 0}, {130, 50, 0, 0, 0}});
    EXPECT_EQ(Written(), 465); // rows 50 to 79 of a right triangle of 30: 30 + 29 + ... + 1
}

TEST_F(RasterCaseTest, TheDrawerFillsTheOutcodesOfItsVertices) {
    engine::ScreenVertex v[3] = {{-1, 5, 0, 0, 99}, {330, 250, 0, 0, 99}, {5, -3, 0, 0, 99}};
    engine::FillTextured(v, reinterpret_cast<const std::uint8_t*>(texels_.data()));
    EXPECT_EQ(v[0].outcode, 4u);
    EXPECT_EQ(v[1].outcode, 8u | 2u);
    EXPECT_EQ(v[2].outcode, 1u);
}

} // namespace
