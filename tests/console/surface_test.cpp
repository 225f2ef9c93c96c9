#include "console/console.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>

namespace {
struct SurfaceDeleter {
    void operator()(PtcSurface* s) const { ptc_surface_destroy(s); }
};
using Surface = std::unique_ptr<PtcSurface, SurfaceDeleter>;

Surface make(int w, int h) {
    return Surface(ptc_surface_create(w, h, nullptr));
}

std::uint32_t& at(PtcSurface* s, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data() + y * s->pitch)[x];
}

// Every pixel gets a value that names its place.
void numberPixels(PtcSurface* s) {
    for (int y = 0; y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) at(s, x, y) = (y << 12) | x;
}
} // namespace

TEST(Surface, CreatedBlackWithFourBytesAPixel) {
    Surface s = make(640, 400);
    EXPECT_EQ(ptc_surface_width(s.get()), 640);
    EXPECT_EQ(ptc_surface_height(s.get()), 400);
    EXPECT_EQ(ptc_surface_pitch(s.get()), 2560);
    auto* p = static_cast<std::uint32_t*>(ptc_surface_lock(s.get()));
    EXPECT_EQ(p[0], 0u);
    EXPECT_EQ(p[640 * 400 - 1], 0u);
    ptc_surface_unlock(s.get());
    EXPECT_THROW(ptc_surface_create(0, 10, nullptr), PtcError);
    EXPECT_THROW(ptc_surface_create(10, -1, nullptr), PtcError);
}

// A scaling copy takes, for each target pixel, the source pixel under the target pixel's centre:
// source x = from.left + floor((x + 0.5) * source width / target width), and so for y.
void expectNearestPixelCopy(int sw, int sh, int tw, int th) {
    Surface src = make(sw + 7, sh + 5), dst = make(tw + 4, th + 3);
    numberPixels(src.get());
    PtcArea from{3, 2, 3 + sw, 2 + sh}, to{1, 1, 1 + tw, 1 + th};
    ptc_surface_copy_area(src.get(), dst.get(), &from, &to);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            const int sx = 3 + static_cast<int>((x + 0.5) * sw / tw);
            const int sy = 2 + static_cast<int>((y + 0.5) * sh / th);
            ASSERT_EQ(at(dst.get(), 1 + x, 1 + y), at(src.get(), sx, sy))
                << sw << "x" << sh << " to " << tw << "x" << th << " at " << x << "," << y;
        }
    // Nothing outside the target area is written.
    for (int x = 0; x < tw + 4; ++x) ASSERT_EQ(at(dst.get(), x, 0), 0u);
    for (int y = 0; y < th + 3; ++y) ASSERT_EQ(at(dst.get(), 0, y), 0u);
    ASSERT_EQ(at(dst.get(), 1 + tw, 1 + th), 0u);
}

TEST(Surface, AreaCopyScales14RowsTo16ByNearestPixel) {
    // The menu's row marker: a 14 x 14 strip shown in a 14 x 16 place; rows 0..15 take source
    // rows 0,1,2,3,3,4,5,6,7,8,9,10,10,11,12,13 (two doubled, first and last both shown).
    expectNearestPixelCopy(14, 14, 14, 16);
    Surface src = make(20, 20), dst = make(20, 20);
    numberPixels(src.get());
    PtcArea from{3, 2, 17, 16}, to{0, 0, 14, 16};
    ptc_surface_copy_area(src.get(), dst.get(), &from, &to);
    const int expected[16] = {2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 11, 12, 12, 13, 14, 15};
    for (int y = 0; y < 16; ++y) EXPECT_EQ(int(at(dst.get(), 0, y) >> 12), expected[y]) << y;
    // Other ratios up and down, as the console's presenter and the tools use them.
    for (auto [sw, sh, tw, th] : {std::array<int, 4>{7, 3, 21, 9},
                                  {640, 1, 639, 1},
                                  {320, 4, 1280, 16},
                                  {33, 17, 5, 4},
                                  {5, 5, 5, 5}})
        expectNearestPixelCopy(sw, sh, tw, th);
}

TEST(Surface, AreaCopyScales640ColumnsTo639) {
    // The meter line: 640 x 1 shown in a 639 x 1 place; exactly one column is dropped.
    Surface line = make(640, 1), screen = make(640, 400);
    numberPixels(line.get());
    PtcArea from{0, 0, 640, 1}, to{0, 370, 639, 371};
    ptc_surface_copy_area(line.get(), screen.get(), &from, &to);
    // Columns left of the middle show themselves, the rest their right neighbour: only the
    // source's column 319 is not shown, and both ends are.
    for (int x = 0; x < 639; ++x)
        ASSERT_EQ(at(screen.get(), x, 370), std::uint32_t(x < 319 ? x : x + 1)) << x;
    EXPECT_EQ(at(screen.get(), 0, 370), 0u);
    EXPECT_EQ(at(screen.get(), 638, 370), 639u);
    EXPECT_EQ(at(screen.get(), 639, 370), 0u); // and the screen's last column is untouched
    EXPECT_EQ(at(screen.get(), 5, 369), 0u);
    EXPECT_EQ(at(screen.get(), 5, 371), 0u);
}

TEST(Surface, SameSizeAreaCopiesAreClippedOnBothSides) {
    Surface src = make(10, 10), dst = make(10, 10);
    numberPixels(src.get());
    // Target hangs over the right and bottom edges.
    PtcArea from{0, 0, 5, 5}, to{7, 8, 12, 13};
    ptc_surface_copy_area(src.get(), dst.get(), &from, &to);
    EXPECT_EQ(at(dst.get(), 7, 8), at(src.get(), 0, 0));
    EXPECT_EQ(at(dst.get(), 9, 9), at(src.get(), 2, 1));
    // Source hangs over the left and top edges: the part inside lands where it belongs.
    Surface dst2 = make(10, 10);
    PtcArea from2{-2, -3, 3, 2}, to2{0, 0, 5, 5};
    ptc_surface_copy_area(src.get(), dst2.get(), &from2, &to2);
    EXPECT_EQ(at(dst2.get(), 2, 3), at(src.get(), 0, 0));
    EXPECT_EQ(at(dst2.get(), 4, 4), at(src.get(), 2, 1));
    EXPECT_EQ(at(dst2.get(), 1, 3), 0u);
    // Entirely outside: nothing happens.
    PtcArea far{20, 20, 25, 25};
    ptc_surface_copy_area(src.get(), dst.get(), &from, &far);
}

TEST(Surface, ClearsOfAreasStopAtTheEdges) {
    Surface s = make(8, 6);
    PtcColor magenta{1.0f, 0.0f, 1.0f};
    PtcArea overhang{5, 4, 20, 20};
    ptc_surface_clear_color(s.get(), &magenta, &overhang);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(at(s.get(), x, y), (x >= 5 && y >= 4) ? 0xFF00FFu : 0u) << x << "," << y;
    PtcArea negative{-3, -3, 1, 1};
    PtcColor white{1, 1, 1};
    ptc_surface_clear_color(s.get(), &white, &negative);
    EXPECT_EQ(at(s.get(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(at(s.get(), 1, 0), 0u);
    EXPECT_EQ(at(s.get(), 0, 1), 0u);
    PtcArea empty{4, 4, 4, 9};
    ptc_surface_clear_color(s.get(), &white, &empty);
    EXPECT_EQ(at(s.get(), 4, 4), 0u);
    ptc_surface_clear_color(s.get(), &white);
    EXPECT_EQ(at(s.get(), 7, 5), 0xFFFFFFu);
}

TEST(Surface, ColoursRoundEachChannel) {
    EXPECT_EQ((PtcColor{1.0f, 0.0f, 1.0f}.pixel()), 0xFF00FFu);
    EXPECT_EQ((PtcColor{0.5f, 0.25f, 0.0f}.pixel()), 0x804000u);
    EXPECT_EQ((PtcColor{2.0f, -1.0f, 0.0f}.pixel()), 0xFF0000u);
}

TEST(Surface, WholeCopiesNeedEqualSizes) {
    Surface a = make(4, 4), b = make(4, 4), c = make(5, 4);
    numberPixels(a.get());
    ptc_surface_copy(a.get(), b.get());
    EXPECT_EQ(a->pixels, b->pixels);
    EXPECT_THROW(ptc_surface_copy(a.get(), c.get()), PtcError);
}
