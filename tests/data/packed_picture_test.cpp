// Packed pictures: LZO1X streams made by liblzo2's own compressor, and streams that must not
// be trusted.
#include "data/packed_picture.h"

#include <gtest/gtest.h>
#include <lzo/lzo1x.h>

#include "data/tga.h"
#include "tests/data/test_files.h"

using namespace datatest;

namespace {

Bytes pack(const Bytes& raw) {
    EXPECT_EQ(lzo_init(), LZO_E_OK);
    Bytes out(raw.size() + raw.size() / 16 + 64 + 3);
    std::vector<unsigned char> work(LZO1X_999_MEM_COMPRESS);
    lzo_uint length = out.size();
    EXPECT_EQ(lzo1x_999_compress(raw.data(), raw.size(), out.data(), &length, work.data()),
              LZO_E_OK);
    out.resize(length);
    return out;
}

Bytes patterned(std::size_t n) {
    Bytes b(n);
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = (i % 7 < 4) ? static_cast<std::uint8_t>(i / 97) : static_cast<std::uint8_t>(x >> 24);
    }
    return b;
}

TEST(UnpackLzo, RoundTripsLiblzoStreams) {
    for (std::size_t n : {std::size_t(1), std::size_t(100), std::size_t(768044)}) {
        const Bytes raw = patterned(n);
        const Bytes packed = pack(raw);
        Bytes out(n);
        unpackLzo(packed.data(), packed.size(), out.size(), out.data());
        EXPECT_EQ(out, raw) << n;
    }
}

TEST(UnpackLzo, ShorterOutputIsAcceptedAndCounted) {
    const Bytes raw = patterned(1000);
    const Bytes packed = pack(raw);
    Bytes out(1500, 0xcc);
    std::size_t produced = 0;
    EXPECT_TRUE(tryUnpackLzo(packed.data(), packed.size(), out.size(), out.data(), &produced));
    EXPECT_EQ(produced, 1000u);
    EXPECT_EQ(out[1000], 0xcc);
    unpackLzo(packed.data(), packed.size(), out.size(), out.data()); // no exit
}

TEST(UnpackLzo, OutputPastTheStatedSizeFailsWithoutWritingThere) {
    const Bytes raw = patterned(4000);
    const Bytes packed = pack(raw);
    // The destination is larger than stated; nothing may land beyond the stated size.
    Bytes out(5000, 0xcc);
    std::size_t produced = 99;
    EXPECT_FALSE(tryUnpackLzo(packed.data(), packed.size(), 3999, out.data(), &produced));
    for (std::size_t i = 3999; i < out.size(); ++i) ASSERT_EQ(out[i], 0xcc) << i;
    EXPECT_EXIT(unpackLzo(packed.data(), packed.size(), 3999, out.data()),
                ::testing::ExitedWithCode(1), "^$");
}

TEST(UnpackLzo, CorruptOrTruncatedStreamsEndTheProcessSilently) {
    const Bytes packed = pack(patterned(4000));
    Bytes out(4000);
    const Bytes truncated(packed.begin(), packed.begin() + packed.size() / 2);
    EXPECT_FALSE(tryUnpackLzo(truncated.data(), truncated.size(), out.size(), out.data(), nullptr));
    EXPECT_EXIT(unpackLzo(truncated.data(), truncated.size(), out.size(), out.data()),
                ::testing::ExitedWithCode(1), "^$");
    const Bytes garbage = bytesOf("this is not an lzo stream at all");
    EXPECT_EXIT(unpackLzo(garbage.data(), garbage.size(), out.size(), out.data()),
                ::testing::ExitedWithCode(1), "^$");
    EXPECT_EXIT(unpackLzo(garbage.data(), 0, out.size(), out.data()), ::testing::ExitedWithCode(1),
                "^$");
}

class PackedPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(haveConvert()) << "ImageMagick's convert is needed (scripts/setup.sh)";
        // A 24-bit picture with the TGA 2.0 extension area and footer ImageMagick adds or not:
        // whatever follows the pixels is ignored.
        tgaPath = scratch.path("main.tga");
        ASSERT_TRUE(convert("-size 64x40 xc: -seed 11 +noise Random -type TrueColor "
                            "-compress none " +
                            quote(tgaPath)));
        tga = readFile(tgaPath);
        tga.insert(tga.end(), 26, 0x55); // a footer of the size the end pictures carry
    }
    DataArchive& open(const std::vector<Entry>& entries) {
        writeFile(scratch.path("a.bin"), buildArchive(entries));
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        return *archive;
    }
    ScratchDir scratch;
    std::string tgaPath;
    Bytes tga;
    std::unique_ptr<DataArchive> archive;
};

TEST_F(PackedPictureTest, LoadsThePictureWithTheDirectorysPackedLength) {
    DataArchive& a = open({{"main.pak", pack(tga)}, {"other.bin", patterned(50)}});
    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    PtcSurface* s = ptc_surface_create(64, 40, &f);
    // The hint is deliberately wrong in both directions.
    ASSERT_EQ(loadPackedPicture(a, s, "tex\\main.pak", 322537, static_cast<unsigned>(tga.size())),
              1);
    PtcSurface* direct = ptc_surface_create(64, 40, &f);
    ASSERT_EQ(loadTgaIntoSurfaceFromMemory(direct, tga.data(), tga.size()), 1);
    EXPECT_EQ(s->pixels, direct->pixels);
    ASSERT_EQ(loadPackedPicture(a, s, "main.pak", 1, static_cast<unsigned>(tga.size())), 1);
    EXPECT_EQ(s->pixels, direct->pixels);

    const Decoded d = decodeWithImageMagick(tgaPath);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = &s->pixels[static_cast<std::size_t>(y) * s->pitch + x * 4];
            const std::uint8_t* o = &d.rgba[(static_cast<std::size_t>(y) * 64 + x) * 4];
            ASSERT_TRUE(p[2] == o[0] && p[1] == o[1] && p[0] == o[2]) << x << "," << y;
        }
    ptc_surface_destroy(s);
    ptc_surface_destroy(direct);
}

TEST_F(PackedPictureTest, RefusesMissingEntriesAndShortPictures) {
    const Bytes shortPicture(tga.begin(), tga.begin() + 18 + 64 * 40 * 3 - 1);
    DataArchive& a = open({{"short.pak", pack(shortPicture)}, {"main.pak", pack(tga)}});
    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    PtcSurface* s = ptc_surface_create(64, 40, &f);
    EXPECT_EQ(loadPackedPicture(a, s, "tex\\endpfr1.pak", 0, 768044), 0);
    EXPECT_EQ(loadPackedPicture(a, s, "short.pak", 0, static_cast<unsigned>(tga.size())), 0)
        << "the stream holds one byte too few";
    // A stated size smaller than the picture: the stream overruns it, which ends the process.
    EXPECT_EXIT(loadPackedPicture(a, s, "main.pak", 0, 18 + 64 * 40 * 3 - 1),
                ::testing::ExitedWithCode(1), "^$");
    // A surface larger than the picture: the picture is too short for it.
    PtcSurface* big = ptc_surface_create(64, 41, &f);
    EXPECT_EQ(loadPackedPicture(a, big, "main.pak", 0, static_cast<unsigned>(tga.size())), 0);
    ptc_surface_destroy(s);
    ptc_surface_destroy(big);
}

} // namespace
