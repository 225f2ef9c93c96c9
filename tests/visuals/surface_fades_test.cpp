// Whole-surface fades on real console surfaces.
#include "visuals/span_sets.h"
#include "visuals/surface_fades.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

struct SurfaceDeleter {
    void operator()(PtcSurface* s) const { ptc_surface_destroy(s); }
};
using Surface = std::unique_ptr<PtcSurface, SurfaceDeleter>;

std::uint32_t* pixelsOf(PtcSurface* s) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data());
}

Surface randomSurface(int w, int h, unsigned seed) {
    Surface s(ptc_surface_create(w, h, nullptr));
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i) pixelsOf(s.get())[i] = rng();
    return s;
}

TEST(SurfaceFades, FadeFromDarkensEveryRowLikeTheSpan) {
    Surface source = randomSurface(640, 40, 1);
    Surface target(ptc_surface_create(640, 40, nullptr));
    for (int level = 248; level >= 8; level -= 8) {
        visuals::fadeSurfaceFrom(source.get(), target.get(), level);
        std::vector<std::uint32_t> expect(640 * 40);
        for (int y = 0; y < 40; ++y)
            visuals::plain::subtractLevelSpan(pixelsOf(source.get()) + y * 640,
                                              expect.data() + y * 640, 640, level);
        ASSERT_TRUE(std::equal(expect.begin(), expect.end(), pixelsOf(target.get()))) << level;
    }
    EXPECT_EQ(source->locks, 0);
    EXPECT_EQ(target->locks, 0);
}

TEST(SurfaceFades, SeventeenFadesInPlaceReachBlack) {
    Surface s = randomSurface(64, 16, 2);
    for (int i = 0; i < 64 * 16; ++i) pixelsOf(s.get())[i] &= 0x00FFFFFFu;
    pixelsOf(s.get())[0] = 0x00FFFFFFu;
    for (int i = 0; i < 16; ++i) visuals::fadeSurfaceInPlace(s.get());
    EXPECT_EQ(pixelsOf(s.get())[0], 0x000F0F0Fu);
    visuals::fadeSurfaceInPlace(s.get());
    for (int i = 0; i < 64 * 16; ++i) ASSERT_EQ(pixelsOf(s.get())[i], 0u);
}

TEST(SurfaceFades, SurfacesOfDifferentSizesShareOnlyTheirCommonPart) {
    Surface big = randomSurface(64, 20, 3);
    Surface small(ptc_surface_create(32, 10, nullptr));
    visuals::fadeSurfaceFrom(big.get(), small.get(), 0); // no write past the small surface
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(pixelsOf(small.get())[y * 32 + x], pixelsOf(big.get())[y * 64 + x]);
    Surface wide(ptc_surface_create(64, 20, nullptr));
    visuals::fadeSurfaceFrom(small.get(), wide.get(), 0); // no read past the small one
    EXPECT_EQ(pixelsOf(wide.get())[9 * 64 + 31], pixelsOf(big.get())[9 * 64 + 31]);
    EXPECT_EQ(pixelsOf(wide.get())[9 * 64 + 32], 0u);
    EXPECT_EQ(pixelsOf(wide.get())[10 * 64], 0u);
}

TEST(SurfaceFades, OnlyThirtyTwoBitSurfacesAreFaded) {
    const PtcFormat indexed = ptc_format_named(PTC_FORMAT_INDEX8);
    Surface eight(ptc_surface_create(16, 16, &indexed));
    Surface full(ptc_surface_create(16, 16, nullptr));
    EXPECT_THROW(visuals::fadeSurfaceFrom(full.get(), eight.get(), 8), PtcError);
    EXPECT_THROW(visuals::fadeSurfaceInPlace(eight.get()), PtcError);
    EXPECT_EQ(full->locks, 0); // the first lock was released when the second was refused
}

} // namespace
