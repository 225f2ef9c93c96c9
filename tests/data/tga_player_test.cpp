// The player's TGA loaders: 24-bit bottom-up rows sized by the surface.
#include "data/tga.h"

#include <gtest/gtest.h>

#include "tests/data/test_files.h"

using namespace datatest;

namespace {

class TgaPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(haveConvert()) << "ImageMagick's convert is needed (scripts/setup.sh)";
    }
    DataArchive& open(const std::vector<Entry>& entries) {
        writeFile(scratch.path("a.bin"), buildArchive(entries));
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        return *archive;
    }
    ScratchDir scratch;
    std::unique_ptr<DataArchive> archive;
};

PtcSurface* argbSurface(int w, int h) {
    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    return ptc_surface_create(w, h, &f);
}

std::uint32_t pixel(const PtcSurface* s, int x, int y) {
    const std::uint8_t* p = s->pixels.data() + static_cast<std::size_t>(y) * s->pitch + x * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

void expectPicture(const PtcSurface* s, const Decoded& d) {
    ASSERT_EQ(s->width, d.width);
    ASSERT_EQ(s->height, d.height);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const std::uint8_t* o = &d.rgba[(static_cast<std::size_t>(y) * d.width + x) * 4];
            ASSERT_EQ(pixel(s, x, y), std::uint32_t(o[0] << 16 | o[1] << 8 | o[2]))
                << "pixel " << x << "," << y;
        }
}

TEST_F(TgaPlayerTest, LoadsImageMagickPicturesUpright) {
    const std::string tga = scratch.path("lp1.tga");
    ASSERT_TRUE(convert("-size 21x9 xc: -seed 3 +noise Random -type TrueColor -compress none " +
                        quote(tga)));
    DataArchive& a = open({{"lp1.tga", readFile(tga)}});
    int w = 0, h = 0;
    ASSERT_EQ(readTgaSize(a, "tex\\lp1.tga", &w, &h), 1);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 9);
    PtcSurface* s = argbSurface(w, h);
    ASSERT_EQ(loadTgaIntoSurface(a, s, "tex\\lp1.tga"), 1);
    expectPicture(s, decodeWithImageMagick(tga));

    // The same from memory.
    PtcSurface* m = argbSurface(w, h);
    const Bytes bytes = readFile(tga);
    ASSERT_EQ(loadTgaIntoSurfaceFromMemory(m, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(m->pixels, s->pixels);
    ptc_surface_destroy(s);
    ptc_surface_destroy(m);
}

TEST_F(TgaPlayerTest, SurfaceSizeDecidesHowMuchIsRead) {
    // The header says 2 x 2, the surface is 4 x 3, and the entry holds 4 x 3 pixels: the size
    // fields are not consulted.
    Bytes tga(18, 0);
    tga[2] = 2, tga[12] = 2, tga[14] = 2, tga[16] = 24;
    for (int i = 0; i < 4 * 3 * 3; ++i) tga.push_back(static_cast<std::uint8_t>(i));
    DataArchive& a = open({{"exit.tga", tga}, {"short.tga", Bytes(tga.begin(), tga.end() - 1)}});
    PtcSurface* s = argbSurface(4, 3);
    ASSERT_EQ(loadTgaIntoSurface(a, s, "exit.tga"), 1);
    EXPECT_EQ(pixel(s, 0, 2), 0x020100u) << "the first stored row is the bottom row";
    EXPECT_EQ(pixel(s, 3, 0), 0x23'22'21u);
    EXPECT_EQ(loadTgaIntoSurface(a, s, "short.tga"), 0) << "one byte short";
    EXPECT_EQ(loadTgaIntoSurfaceFromMemory(s, tga.data(), tga.size() - 1), 0);
    EXPECT_EQ(loadTgaIntoSurfaceFromMemory(s, tga.data(), 10), 0);
    EXPECT_EQ(loadTgaIntoSurfaceFromMemory(s, nullptr, 0), 0);
    ptc_surface_destroy(s);
}

TEST_F(TgaPlayerTest, MissingEntriesAndShortHeadersAreRefused) {
    DataArchive& a = open({{"tiny.tga", Bytes(17, 1)}});
    int w = -5, h = -6;
    EXPECT_EQ(readTgaSize(a, "tex\\lp2.tga", &w, &h), 0);
    EXPECT_EQ(w, -5);
    EXPECT_EQ(h, -6);
    PtcSurface* s = argbSurface(2, 2);
    EXPECT_EQ(loadTgaIntoSurface(a, s, "tex\\lp2.tga"), 0);
    EXPECT_EQ(loadTgaIntoSurface(a, s, "tiny.tga"), 0);
    ptc_surface_destroy(s);
}

} // namespace
