#include "console/console.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<std::uint32_t> loadArgb(const void* pixels, int w, int h, int pitch, const PtcFormat& f,
                                    const PtcPalette* pal = nullptr) {
    PtcSurface* s = ptc_surface_create(w, h, nullptr);
    ptc_surface_load(s, pixels, w, h, pitch, &f, pal);
    std::vector<std::uint32_t> out(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[y * w + x] = reinterpret_cast<std::uint32_t*>(s->pixels.data() + y * s->pitch)[x];
    ptc_surface_destroy(s);
    return out;
}
} // namespace

TEST(Convert, TwentyFourBitRowsAreBlueGreenRedInMemory) {
    // Two rows of three pixels with a padded pitch of 12 bytes, as TGA rows may come.
    const std::uint8_t rows[] = {0x11, 0x22, 0x33, 0xFF, 0x00, 0x00, 0x00, 0x00,
                                 0xFF, 0xAA, 0xAA, 0xAA, 0x00, 0xFF, 0x00, 0x01,
                                 0x02, 0x03, 0xFE, 0xFD, 0xFC, 0x99, 0x99, 0x99};
    PtcFormat* rgb = ptc_format_create_direct(24, 0xff0000, 0xff00, 0xff, 0);
    auto px = loadArgb(rows, 3, 2, 12, *rgb);
    ptc_format_destroy(rgb);
    EXPECT_EQ(px[0], 0x332211u);
    EXPECT_EQ(px[1], 0x0000FFu);
    EXPECT_EQ(px[2], 0xFF0000u);
    EXPECT_EQ(px[3], 0x00FF00u);
    EXPECT_EQ(px[4], 0x030201u);
    EXPECT_EQ(px[5], 0xFCFDFEu);
}

TEST(Convert, Argb1555WidensFiveBitsToFullScale) {
    const std::uint16_t p[] = {0x7C00, 0x03E0, 0x001F, 0xFFFF, 0x0000, 0x0421, 0x4000};
    auto px = loadArgb(p, 7, 1, sizeof p, ptc_format_named(PTC_FORMAT_ARGB1555));
    EXPECT_EQ(px[0], 0xFF0000u);
    EXPECT_EQ(px[1], 0x00FF00u);
    EXPECT_EQ(px[2], 0x0000FFu);
    EXPECT_EQ(px[3], 0xFFFFFFu); // the alpha bit is not part of the colour
    EXPECT_EQ(px[4], 0x000000u);
    EXPECT_EQ(px[5], 0x080808u); // 1 of 31 -> 8
    EXPECT_EQ(px[6], 0x840000u); // 16 of 31 -> 132
}

TEST(Convert, IndexedPixelsGoThroughThePalette) {
    PtcPalette pal;
    for (int i = 0; i < 256; ++i) pal.entries[i] = 0x010101u * i;
    pal.entries[7] = 0x123456;
    const std::uint8_t p[] = {0, 7, 255, 128};
    auto px = loadArgb(p, 4, 1, 4, ptc_format_named(PTC_FORMAT_INDEX8), &pal);
    EXPECT_EQ(px[0], 0u);
    EXPECT_EQ(px[1], 0x123456u);
    EXPECT_EQ(px[2], 0xFFFFFFu);
    EXPECT_EQ(px[3], 0x808080u);
    PtcSurface* s = ptc_surface_create(4, 1, nullptr);
    PtcFormat idx = ptc_format_named(PTC_FORMAT_INDEX8);
    EXPECT_THROW(ptc_surface_load(s, p, 4, 1, 4, &idx, nullptr), PtcError);
    ptc_surface_destroy(s);
}

TEST(Convert, SurfacesOfOtherFormatsConvertToArgb8888) {
    PtcFormat idx = ptc_format_named(PTC_FORMAT_INDEX8);
    PtcSurface* s = ptc_surface_create(2, 2, &idx);
    EXPECT_EQ(s->pitch, 2);
    s->palette.entries[3] = 0xABCDEF;
    s->pixels = {3, 0, 0, 3};
    PtcSurface* c = ptc_surface_convert(s);
    EXPECT_EQ(c->format.bits, 32);
    auto* p = reinterpret_cast<std::uint32_t*>(c->pixels.data());
    EXPECT_EQ(p[0], 0xABCDEFu);
    EXPECT_EQ(p[1], 0u);
    EXPECT_EQ(p[3], 0xABCDEFu);
    ptc_surface_destroy(c);
    ptc_surface_destroy(s);

    PtcFormat f16 = ptc_format_named(PTC_FORMAT_ARGB1555);
    PtcSurface* t = ptc_surface_create(1, 1, &f16);
    t->pixels = {0x1F, 0x00};
    PtcSurface* u = ptc_surface_convert(t);
    EXPECT_EQ(*reinterpret_cast<std::uint32_t*>(u->pixels.data()), 0x0000FFu);
    ptc_surface_destroy(u);
    ptc_surface_destroy(t);
    EXPECT_THROW(ptc_format_named(1234), PtcError);
}
