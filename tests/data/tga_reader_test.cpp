// The intro's TGA reader and image loader, against files ImageMagick writes and decodes, and
// against hand-made files for the rules ImageMagick does not exercise.
#include "data/tga.h"

#include <gtest/gtest.h>

#include "tests/data/test_files.h"

using namespace datatest;

namespace {

class TgaReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(haveConvert()) << "ImageMagick's convert is needed (scripts/setup.sh)";
        // 13 x 7: an odd width, so row lengths are not multiples of 4.
        ASSERT_TRUE(convert("-size 13x7 xc: -seed 7 +noise Random -depth 8 " +
                            quote(scratch.path("src.png"))));
        ASSERT_TRUE(convert(quote(scratch.path("src.png")) +
                            " -alpha set -channel A -seed 9 +noise Random +channel -depth 8 " +
                            quote(scratch.path("srca.png"))));
    }

    // Makes name.tga with convert from the given source and options; returns its bytes.
    Bytes imageMagickTga(const std::string& name, const std::string& source,
                         const std::string& options) {
        const std::string out = scratch.path(name + ".tga");
        EXPECT_TRUE(convert(quote(scratch.path(source)) + " " + options + " " + quote(out)))
            << options;
        return readFile(out);
    }

    // Loads the TGA bytes through an archive entry with the intro's image loader.
    PtcSurface* load(const Bytes& tga) {
        writeFile(scratch.path("a.bin"), buildArchive({{"pic.tga", tga}}));
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        return loadImage(*archive, "tex\\pic.tga");
    }

    ScratchDir scratch;
    std::unique_ptr<DataArchive> archive;
};

struct Rgba {
    int r, g, b, a;
};

Rgba oracle(const Decoded& d, int x, int y) {
    const std::uint8_t* p = &d.rgba[(static_cast<std::size_t>(y) * d.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

const std::uint8_t* pixelAt(const PtcSurface* s, int x, int y) {
    return s->pixels.data() + static_cast<std::size_t>(y) * s->pitch +
           static_cast<std::size_t>(x) * ptc_format_bytes(s->format);
}

int to5(int c8) {
    return (c8 * 31 + 127) / 255;
}

// Compares a loaded surface with ImageMagick's decoding of the same file. Five-bit channels
// are compared at five bits: the widening to eight bits is the converter's own choice.
void expectSameAsImageMagick(const PtcSurface* s, const Decoded& d, bool fiveBitPalette = false) {
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->width, d.width);
    ASSERT_EQ(s->height, d.height);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const Rgba want = oracle(d, x, y);
            const std::uint8_t* p = pixelAt(s, x, y);
            SCOPED_TRACE(::testing::Message() << "pixel " << x << "," << y);
            switch (s->format.code) {
            case PTC_FORMAT_RGB888:
                ASSERT_EQ(p[2], want.r);
                ASSERT_EQ(p[1], want.g);
                ASSERT_EQ(p[0], want.b);
                break;
            case PTC_FORMAT_ARGB8888:
                ASSERT_EQ(p[2], want.r);
                ASSERT_EQ(p[1], want.g);
                ASSERT_EQ(p[0], want.b);
                ASSERT_EQ(p[3], want.a);
                break;
            case PTC_FORMAT_ARGB1555: {
                const int w = p[0] | (p[1] << 8);
                ASSERT_EQ((w >> 10) & 31, to5(want.r));
                ASSERT_EQ((w >> 5) & 31, to5(want.g));
                ASSERT_EQ(w & 31, to5(want.b));
                break;
            }
            case PTC_FORMAT_INDEX8: {
                const std::uint32_t c = s->palette.entries[p[0]];
                const int r = (c >> 16) & 0xff, g = (c >> 8) & 0xff, b = c & 0xff;
                if (fiveBitPalette) {
                    ASSERT_EQ(to5(r), to5(want.r));
                    ASSERT_EQ(to5(g), to5(want.g));
                    ASSERT_EQ(to5(b), to5(want.b));
                } else {
                    ASSERT_EQ(r, want.r);
                    ASSERT_EQ(g, want.g);
                    ASSERT_EQ(b, want.b);
                }
                break;
            }
            default:
                FAIL() << "unexpected surface format " << s->format.code;
            }
        }
}

// ---- files written by ImageMagick ----

TEST_F(TgaReaderTest, TrueColourFilesOfEveryDepthAndBothRowOrders) {
    struct Case {
        const char* name;
        const char* source;
        const char* options;
        int format;
    } cases[] = {
        {"rgb_bottom", "src.png", "-type TrueColor -compress none", PTC_FORMAT_RGB888},
        {"rgb_top", "src.png", "-type TrueColor -compress none -orient TopLeft", PTC_FORMAT_RGB888},
        {"rgb_id", "src.png", "-type TrueColor -compress none -set comment 'an image id'",
         PTC_FORMAT_RGB888},
        {"argb_bottom", "srca.png", "-compress none", PTC_FORMAT_ARGB8888},
        {"argb_top_id", "srca.png", "-compress none -orient TopLeft -set comment xyz",
         PTC_FORMAT_ARGB8888},
        {"c16_bottom", "src.png", "-type TrueColor -depth 5 -compress none", PTC_FORMAT_ARGB1555},
        {"c16_top", "src.png", "-type TrueColor -depth 5 -compress none -orient TopLeft",
         PTC_FORMAT_ARGB1555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes tga = imageMagickTga(c.name, c.source, c.options);
        ASSERT_GE(tga.size(), 18u);
        ASSERT_EQ(tga[2], 2) << "ImageMagick wrote another type";
        if (std::string(c.name).find("_id") != std::string::npos) {
            ASSERT_GT(tga[0], 0) << "ImageMagick wrote no image-ID field";
        }
        PtcSurface* s = load(tga);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->format.code, c.format);
        expectSameAsImageMagick(s,
                                decodeWithImageMagick(scratch.path(std::string(c.name) + ".tga")));
        ptc_surface_destroy(s);
    }
}

TEST_F(TgaReaderTest, ColourMappedFilesWith16And24BitMaps) {
    struct Case {
        const char* name;
        const char* options;
        int entryBits;
    } cases[] = {
        {"map24_bottom", "-type Palette -compress none", 24},
        {"map24_top_id", "-type Palette -compress none -orient TopLeft -set comment palette", 24},
        {"map16_bottom", "-type Palette -depth 5 -compress none", 16},
        {"map16_top", "-type Palette -depth 5 -compress none -orient TopLeft", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes tga = imageMagickTga(c.name, "src.png", c.options);
        ASSERT_EQ(tga[2], 1);
        ASSERT_EQ(tga[7], c.entryBits) << "ImageMagick wrote another map entry size";
        if (std::string(c.name).find("_id") != std::string::npos) {
            ASSERT_GT(tga[0], 0);
        }
        PtcSurface* s = load(tga);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->format.code, PTC_FORMAT_INDEX8);
        expectSameAsImageMagick(s,
                                decodeWithImageMagick(scratch.path(std::string(c.name) + ".tga")),
                                c.entryBits == 16);
        ptc_surface_destroy(s);
    }
}

// ImageMagick does not write 32-bit map entries; the file is made here from its 24-bit one and
// ImageMagick still decides what it shows.
TEST_F(TgaReaderTest, ColourMapWith32BitEntries) {
    const Bytes map24 = imageMagickTga("m24", "src.png", "-type Palette -compress none");
    const int length = map24[5] | (map24[6] << 8);
    const std::size_t id = map24[0];
    Bytes tga(map24.begin(), map24.begin() + 18 + id);
    tga[7] = 32;
    for (int i = 0; i < length; ++i) {
        const std::uint8_t* e = &map24[18 + id + 3 * i];
        tga.insert(tga.end(), {e[0], e[1], e[2], static_cast<std::uint8_t>(255 - i)});
    }
    tga.insert(tga.end(), map24.begin() + 18 + id + 3 * length, map24.end());
    writeFile(scratch.path("m32.tga"), tga);
    PtcSurface* s = load(tga);
    expectSameAsImageMagick(s, decodeWithImageMagick(scratch.path("m32.tga")));
    ptc_surface_destroy(s);
}

// A bottom-up file (ImageMagick 6 stores rows top first unless the picture is flipped before
// writing) and a top-down one of the same picture load alike, and upright.
TEST_F(TgaReaderTest, BothRowOrdersLoadTheSamePictureUpright) {
    const Bytes bottomUp = imageMagickTga("b", "src.png", "-flip -type TrueColor -compress none");
    ASSERT_EQ(bottomUp[17] & 0x20, 0);
    const Bytes topDown =
        imageMagickTga("t", "src.png", "-type TrueColor -compress none -orient TopLeft");
    ASSERT_EQ(topDown[17] & 0x20, 0x20);
    PtcSurface* bottom = load(bottomUp);
    PtcSurface* top = load(topDown);
    ASSERT_NE(bottom, nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(bottom->pixels, top->pixels);
    expectSameAsImageMagick(top, decodeWithImageMagick(scratch.path("src.png")));
    ptc_surface_destroy(bottom);
    ptc_surface_destroy(top);
}

TEST_F(TgaReaderTest, RunLengthEncodedAndGreyFilesAreRefused) {
    EXPECT_EQ(imageMagickTga("rle", "src.png", "-type TrueColor -compress RLE")[2], 10);
    EXPECT_EQ(load(readFile(scratch.path("rle.tga"))), nullptr);
    EXPECT_EQ(imageMagickTga("rle8", "src.png", "-type Palette -compress RLE")[2], 9);
    EXPECT_EQ(load(readFile(scratch.path("rle8.tga"))), nullptr);
    EXPECT_EQ(imageMagickTga("grey", "src.png", "-colorspace gray -compress none")[2], 3);
    EXPECT_EQ(load(readFile(scratch.path("grey.tga"))), nullptr);
}

// ---- the reader's rules, on files made here ----

Bytes handTga(int type, int depth, int width, int height, std::uint8_t descriptor,
              const Bytes& map = {}, int mapLength = 0, int entryBits = 0, const Bytes& id = {}) {
    Bytes t(18, 0);
    t[0] = static_cast<std::uint8_t>(id.size());
    t[1] = mapLength ? 1 : 0;
    t[2] = static_cast<std::uint8_t>(type);
    put16(t, 5, static_cast<std::uint32_t>(mapLength));
    t[7] = static_cast<std::uint8_t>(entryBits);
    put16(t, 12, static_cast<std::uint32_t>(width));
    put16(t, 14, static_cast<std::uint32_t>(height));
    t[16] = static_cast<std::uint8_t>(depth);
    t[17] = descriptor;
    t.insert(t.end(), id.begin(), id.end());
    t.insert(t.end(), map.begin(), map.end());
    // Pixel bytes: row r, byte k holds r * 16 + k.
    const int row = width * depth / 8;
    for (int r = 0; r < height; ++r)
        for (int k = 0; k < row; ++k) t.push_back(static_cast<std::uint8_t>(r * 16 + k));
    return t;
}

class TgaRulesTest : public ::testing::Test {
  protected:
    // Opens the bytes as entry "t.tga" and returns a reader on it.
    TgaReader& reader(const Bytes& tga) {
        writeFile(scratch.path("a.bin"), buildArchive({{"t.tga", tga}, {"next.bin", {9, 9}}}));
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        file = std::make_unique<ArchiveFile>("t.tga", archive.get());
        tga_ = std::make_unique<TgaReader>(file.get());
        return *tga_;
    }
    ScratchDir scratch;
    std::unique_ptr<DataArchive> archive;
    std::unique_ptr<ArchiveFile> file;
    std::unique_ptr<TgaReader> tga_;
};

// The destination rows as the first byte of each (each file row starts with r * 16).
std::vector<int> rowStarts(const Bytes& pixels, int height, int pitch) {
    std::vector<int> out;
    for (int r = 0; r < height; ++r)
        out.push_back(pixels[static_cast<std::size_t>(r) * pitch] / 16);
    return out;
}

TEST_F(TgaRulesTest, InfoReportsSizeFormatAndMap) {
    int w, h, f, m;
    EXPECT_EQ(reader(handTga(2, 24, 300, 2, 0)).info(&w, &h, &f, &m), 1);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(f, PTC_FORMAT_RGB888);
    EXPECT_EQ(m, 0);
    reader(handTga(1, 8, 2, 2, 0, Bytes(6, 1), 2, 24)).info(&w, &h, &f, &m);
    EXPECT_EQ(f, PTC_FORMAT_INDEX8);
    EXPECT_EQ(m, 1);
    reader(handTga(2, 16, 2, 2, 0)).info(&w, &h, &f, &m);
    EXPECT_EQ(f, PTC_FORMAT_ARGB1555);
    reader(handTga(2, 32, 2, 2, 0)).info(&w, &h, &f, &m);
    EXPECT_EQ(f, PTC_FORMAT_ARGB8888);
    reader(handTga(2, 15, 2, 2, 0)).info(&w, &h, &f, &m);
    EXPECT_EQ(f, PTC_FORMAT_DIRECT);
}

TEST_F(TgaRulesTest, RowPlacementFollowsWantedCodeAndTopDownBit) {
    const int h = 3, row = 2 * 3;
    // descriptor -> rows placed for wanted code 21 (upright), then for 20
    struct Case {
        std::uint8_t descriptor;
        std::vector<int> upright, other;
    } cases[] = {
        {0x00, {2, 1, 0}, {0, 1, 2}}, // bottom row first
        {0x10, {2, 1, 0}, {0, 1, 2}}, // the right-to-left bit changes nothing
        {0x20, {0, 1, 2}, {2, 1, 0}}, // top row first
        {0x28, {0, 1, 2}, {2, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.descriptor));
        TgaReader& t = reader(handTga(2, 24, 2, h, c.descriptor));
        Bytes out(row * h, 0xee);
        ASSERT_EQ(t.read(out.data(), TGA_ORDER_UPRIGHT, row, nullptr), 1);
        EXPECT_EQ(rowStarts(out, h, row), c.upright);
        ASSERT_EQ(t.read(out.data(), TGA_ORDER_TOP_FIRST, row, nullptr), 1);
        EXPECT_EQ(rowStarts(out, h, row), c.other);
        // A negative pitch from the last row turns the picture over again.
        ASSERT_EQ(t.read(out.data() + (h - 1) * row, TGA_ORDER_UPRIGHT, -row, nullptr), 1);
        std::vector<int> reversed(c.upright.rbegin(), c.upright.rend());
        EXPECT_EQ(rowStarts(out, h, row), reversed);
    }
}

TEST_F(TgaRulesTest, OtherOrderCodesAndTypesAreRefused) {
    Bytes out(64);
    TgaReader& t = reader(handTga(2, 24, 2, 2, 0));
    EXPECT_EQ(t.write(out.data(), 21, 6, nullptr), 0);
    EXPECT_EQ(t.read(out.data(), 22, 6, nullptr), 0);
    EXPECT_EQ(t.read(out.data(), 19, 6, nullptr), 0);
    EXPECT_EQ(t.read(out.data(), 0, 6, nullptr), 0);
    for (int type : {0, 3, 9, 10, 11, 32}) {
        EXPECT_EQ(reader(handTga(type, 24, 2, 2, 0)).read(out.data(), 21, 6, nullptr), 0) << type;
    }
    EXPECT_EQ(reader(handTga(2, 12, 2, 2, 0)).read(out.data(), 21, 6, nullptr), 0)
        << "an unknown depth cannot be sized";
}

TEST_F(TgaRulesTest, PaletteOnlyCallsAndMapLimits) {
    Bytes map;
    for (int i = 0; i < 256; ++i)
        map.insert(map.end(), {std::uint8_t(i), 0x20, std::uint8_t(255 - i)});
    {
        TgaReader& t = reader(handTga(1, 8, 4, 2, 0, map, 256, 24, bytesOf("id!")));
        std::uint32_t palette[256] = {};
        EXPECT_EQ(t.read(nullptr, 99, 0, palette), 1) << "palette only: nothing else is checked";
        EXPECT_EQ(palette[0], 0xff2000u);
        EXPECT_EQ(palette[255], 0x0020ffu);
        Bytes out(8);
        EXPECT_EQ(t.read(out.data(), 20, 4, palette), 1);
        EXPECT_EQ(out[0], 0) << "pixels start after the id and the map";
        EXPECT_EQ(out[4], 16);
    }
    {
        // 257 entries: refused with a palette, readable without (the map is still skipped).
        Bytes big = map;
        big.insert(big.end(), {1, 2, 3});
        TgaReader& t = reader(handTga(1, 8, 4, 2, 0x20, big, 257, 24));
        std::uint32_t palette[257] = {};
        Bytes out(8, 0xee);
        EXPECT_EQ(t.read(out.data(), 21, 4, palette), 0);
        EXPECT_EQ(t.read(nullptr, 21, 4, palette), 0);
        EXPECT_EQ(t.read(out.data(), 21, 4, nullptr), 1);
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(out[4], 16);
        EXPECT_EQ(palette[0], 0u) << "nothing written past a refusal";
    }
    {
        // A 16-bit map: pure red, green and blue widen to full scale.
        Bytes m16 = {0x00, 0x7c, 0xe0, 0x03, 0x1f, 0x00};
        std::uint32_t palette[3];
        EXPECT_EQ(reader(handTga(1, 8, 1, 1, 0, m16, 3, 16)).read(nullptr, 21, 1, palette), 1);
        EXPECT_EQ(palette[0], 0xff0000u);
        EXPECT_EQ(palette[1], 0x00ff00u);
        EXPECT_EQ(palette[2], 0x0000ffu);
    }
    {
        // No map in the file: the palette is not touched and the pixels read.
        std::uint32_t palette[4] = {7, 7, 7, 7};
        Bytes out(4);
        EXPECT_EQ(reader(handTga(1, 8, 2, 2, 0)).read(out.data(), 21, 2, palette), 1);
        EXPECT_EQ(palette[0], 7u);
    }
    {
        // Map entries of a size with no converter are refused when the palette is wanted.
        std::uint32_t palette[2];
        EXPECT_EQ(reader(handTga(1, 8, 1, 1, 0, Bytes(4, 0), 2, 15)).read(nullptr, 21, 1, palette),
                  0);
    }
}

TEST_F(TgaRulesTest, ShortFilesFail) {
    // The header promises 1000 rows; the file ends long before.
    Bytes tall = handTga(2, 24, 4, 3, 0);
    put16(tall, 14, 1000);
    TgaReader& t = reader(tall);
    Bytes out(12 * 1000);
    EXPECT_EQ(t.read(out.data(), 21, 12, nullptr), 0);

    // A map that runs past the end of the file.
    Bytes mapped = handTga(1, 8, 1, 1, 0, Bytes(3, 0), 1, 24);
    put16(mapped, 5, 200);
    std::uint32_t palette[256];
    EXPECT_EQ(reader(mapped).read(nullptr, 21, 1, palette), 0);

    // An entry whose 10 bytes are the last of the file: the header cannot be read whole.
    Bytes bytes = buildArchive({{"t.tga", handTga(2, 24, 1, 1, 0)}});
    const std::size_t record = bytes.size() - get32(bytes, bytes.size() - 8) + 2;
    put32(bytes, record + 13, 10);
    put32(bytes, record + 17, 10);
    writeFile(scratch.path("b.bin"), bytes);
    DataArchive a(scratch.path("b.bin").c_str());
    ArchiveFile f("t.tga", &a);
    ASSERT_EQ(f.isOpen(), 1);
    TgaReader headerless(&f);
    EXPECT_EQ(headerless.read(out.data(), 21, 3, nullptr), 0);

    TgaReader noFile(nullptr);
    EXPECT_EQ(noFile.read(out.data(), 21, 3, nullptr), 0);
}

TEST_F(TgaRulesTest, ZeroHeightSucceedsWithoutWriting) {
    Bytes out(4, 0xee);
    EXPECT_EQ(reader(handTga(2, 24, 5, 0, 0)).read(out.data(), 21, 15, nullptr), 1);
    EXPECT_EQ(out[0], 0xee);
}

TEST_F(TgaRulesTest, ImageLoaderRefusesWhatItCannotMakeASurfaceOf) {
    writeFile(scratch.path("a.bin"), buildArchive({{"empty.tga", handTga(2, 24, 0, 5, 0)},
                                                   {"odd.tga", handTga(2, 12, 2, 2, 0)},
                                                   {"ok.tga", handTga(2, 24, 2, 2, 0x20)}}));
    DataArchive a(scratch.path("a.bin").c_str());
    EXPECT_EQ(loadImage(a, "empty.tga"), nullptr);
    EXPECT_EQ(loadImage(a, "odd.tga"), nullptr);
    EXPECT_EQ(loadImage(a, "missing.tga"), nullptr);
    PtcSurface* s = loadImage(a, "Textures\\OK.TGA");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->pixels[0], 0);
    EXPECT_EQ(s->pixels[6], 16);
    ptc_surface_destroy(s);
}

} // namespace
