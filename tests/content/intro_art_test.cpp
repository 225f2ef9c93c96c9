// The intro's pictures and lens flares in the built data file, read back with the intro's own
// image loader, the player's reader and ImageMagick.
#include "console/console.h"
#include "content/art/intro_pictures.h"
#include "content/art/tga.h"
#include "data/archive.h"
#include "data/tga.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string BUILD = VRK_BINARY_DIR;

struct Picture {
    int width = 0, height = 0, format = 0;
    std::vector<std::uint32_t> px; // top row first, as converted (alpha byte included)
    std::uint32_t at(int x, int y) const { return px[size_t(y) * width + x] & 0xFFFFFF; }
};

// Loads an entry as the intro does: its image loader, then conversion to ARGB8888.
Picture load(DataArchive& archive, const char* entry) {
    Picture p;
    PtcSurface* s = loadImage(archive, entry);
    if (!s) return p;
    p.format = s->format.code;
    PtcSurface* c = ptc_surface_convert(s);
    p.width = ptc_surface_width(c);
    p.height = ptc_surface_height(c);
    const auto* base = static_cast<const std::uint8_t*>(ptc_surface_lock(c));
    for (int y = 0; y < p.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(base + y * ptc_surface_pitch(c));
        for (int x = 0; x < p.width; ++x) p.px.push_back(row[x]);
    }
    ptc_surface_unlock(c);
    ptc_surface_destroy(c);
    ptc_surface_destroy(s);
    return p;
}

struct Expect {
    const char* entry;
    const char* file;
    int width, height, format;
};
const Expect PICTURES[] = {
    {"tex\\vrk.tga", "vrk.tga", 320, 79, PTC_FORMAT_RGB888},
    {"tex\\present.tga", "present.tga", 86, 22, PTC_FORMAT_RGB888},
    {"tex\\fernlogo.tga", "fernlogo.tga", 320, 136, PTC_FORMAT_RGB888},
};
const char* const FLARES[] = {"Flares\\lens1.tga", "Flares\\lens2.tga", "Flares\\lens3.tga",
                              "Flares\\lens4.tga"};

class IntroArt : public ::testing::Test {
  protected:
    DataArchive archive{(BUILD + "/vrk.bin").c_str()};
};

TEST_F(IntroArt, PicturesHaveTheirSizesForBothReaders) {
    ASSERT_TRUE(archive.isOpen()) << archive.whyNotOpen();
    for (const Expect& e : PICTURES) {
        Picture p = load(archive, e.entry);
        EXPECT_EQ(p.width, e.width) << e.entry;
        EXPECT_EQ(p.height, e.height) << e.entry;
        EXPECT_EQ(p.format, e.format) << e.entry;
        int w = 0, h = 0;
        EXPECT_EQ(readTgaSize(archive, e.entry, &w, &h), 1) << e.entry;
        EXPECT_EQ(w, e.width) << e.entry;
        EXPECT_EQ(h, e.height) << e.entry;
    }
}

// The caption and the title show the frame through magenta; nothing painted may come close
// to the key (it would show as a pink fringe), and the makers' mark stands on pure black so
// that subtracting a level fades all of it.
TEST_F(IntroArt, KeyColourOnlyWhereTheFrameShowsThrough) {
    for (const char* entry : {"tex\\present.tga", "tex\\fernlogo.tga"}) {
        Picture p = load(archive, entry);
        ASSERT_FALSE(p.px.empty()) << entry;
        size_t keyed = 0, nearKey = 0;
        for (std::uint32_t v : p.px) {
            keyed += v == art::MAGENTA; // all 32 bits, as the intro compares them
            v &= 0xFFFFFF;
            int r = v >> 16, g = (v >> 8) & 255, b = v & 255;
            nearKey += v != art::MAGENTA && r > 200 && b > 200 && g < 60;
        }
        EXPECT_EQ(nearKey, 0u) << entry;
        EXPECT_GT(keyed, p.px.size() * 3 / 10) << entry << ": mostly see-through";
        EXPECT_LT(keyed, p.px.size() * 9 / 10) << entry << ": but the word is there";
    }
    Picture present = load(archive, "tex\\present.tga");
    for (int y = 0; y < present.height; ++y) { // no letter is cut by the picture's sides
        EXPECT_EQ(present.at(0, y), art::MAGENTA) << "row " << y;
        EXPECT_EQ(present.at(present.width - 1, y), art::MAGENTA) << "row " << y;
    }

    Picture crew = load(archive, "tex\\vrk.tga");
    ASSERT_FALSE(crew.px.empty());
    size_t lit = 0, keyed = 0;
    for (std::uint32_t v : crew.px) lit += (v & 0xFFFFFF) != 0, keyed += v == art::MAGENTA;
    EXPECT_EQ(keyed, 0u);
    EXPECT_GT(lit, crew.px.size() / 5);
    // Its border is black too: it sits on a black frame, and any light there would end in a
    // hard edge.
    for (int x = 0; x < crew.width; ++x)
        EXPECT_TRUE(crew.at(x, 0) == 0 && crew.at(x, crew.height - 1) == 0) << "column " << x;
    for (int y = 0; y < crew.height; ++y)
        EXPECT_TRUE(crew.at(0, y) == 0 && crew.at(crew.width - 1, y) == 0) << "row " << y;
}

// Flares are added with saturation and centred on the light: even widths, at most one
// texture slot, nothing on the border rows and columns, a hot centre with dimmer light around
// it, and four different ones.
TEST_F(IntroArt, FlaresAreCentredLightOnABlackBorder) {
    std::vector<Picture> flares;
    for (const char* entry : FLARES) {
        Picture p = load(archive, entry);
        ASSERT_FALSE(p.px.empty()) << entry;
        EXPECT_EQ(p.format, PTC_FORMAT_ARGB8888) << entry;
        EXPECT_EQ(p.width % 2, 0) << entry;
        EXPECT_LE(p.width, 256);
        EXPECT_LE(p.height, 256);
        EXPECT_GE(p.width, 32);
        for (int x = 0; x < p.width; ++x) {
            EXPECT_EQ(p.at(x, 0), 0u) << entry << " top, column " << x;
            EXPECT_EQ(p.at(x, p.height - 1), 0u) << entry << " bottom, column " << x;
        }
        for (int y = 0; y < p.height; ++y) {
            EXPECT_EQ(p.at(0, y), 0u) << entry << " left, row " << y;
            EXPECT_EQ(p.at(p.width - 1, y), 0u) << entry << " right, row " << y;
        }
        auto level = [&](int x, int y) {
            std::uint32_t v = p.at(x, y);
            return int(v >> 16) + int((v >> 8) & 255) + int(v & 255);
        };
        const int cx = p.width / 2, cy = p.height / 2;
        EXPECT_GT(level(cx, cy), 3 * 230) << entry << ": a white-hot centre";
        // Away from the centre only the halo, a faint ring and thin streaks remain.
        int outer = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (std::hypot(x - cx, y - cy) > std::min(cx, cy) / 2.0)
                    outer = std::max(outer, level(x, y));
        EXPECT_LT(outer, level(cx, cy) / 2) << entry;
        flares.push_back(p);
    }
    for (size_t i = 0; i < flares.size(); ++i)
        for (size_t j = i + 1; j < flares.size(); ++j)
            EXPECT_TRUE(flares[i].width != flares[j].width ||
                        flares[i].height != flares[j].height || flares[i].px != flares[j].px)
                << "flares " << i + 1 << " and " << j + 1 << " are the same";
}

// Painting again gives the same bytes as the entries of the data file.
TEST_F(IntroArt, PaintingIsRepeatable) {
    auto bytes = [&](const char* entry) {
        std::vector<std::uint8_t> b(size_t(std::max(0L, archive.entrySize(entry))));
        archive.readEntry(entry, b.data(), 0);
        return b;
    };
    EXPECT_EQ(art::encodeTga(art::makeCrewLogo(), art::TgaTail::None), bytes("tex\\vrk.tga"));
    EXPECT_EQ(art::encodeTga(art::makePresents(), art::TgaTail::None), bytes("tex\\present.tga"));
    EXPECT_EQ(art::encodeTga(art::makeFernLogo(), art::TgaTail::None), bytes("tex\\fernlogo.tga"));
    for (int k = 1; k <= art::FLARE_COUNT; ++k)
        EXPECT_EQ(art::encodeTga32(art::makeFlare(k)), bytes(FLARES[k - 1])) << k;
}

// ImageMagick sees the same pixels, upright, as the intro's loader.
TEST_F(IntroArt, ImageMagickSeesTheSamePixels) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ImageMagick";
    std::vector<std::pair<std::string, std::string>> all;
    for (const Expect& e : PICTURES) all.emplace_back(e.entry, e.file);
    for (int k = 1; k <= art::FLARE_COUNT; ++k)
        all.emplace_back(FLARES[k - 1], "lens" + std::to_string(k) + ".tga");
    for (const auto& [entry, file] : all) {
        Picture p = load(archive, entry.c_str());
        ASSERT_FALSE(p.px.empty()) << entry;
        std::string cmd =
            "convert \"" + BUILD + "/content/intro_art/" + file + "\" -auto-orient -depth 8 rgb:-";
        FILE* pipe = popen(cmd.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::vector<std::uint8_t> rgb(p.px.size() * 3 + 1);
        size_t n = fread(rgb.data(), 1, rgb.size(), pipe);
        pclose(pipe);
        ASSERT_EQ(n, p.px.size() * 3) << entry;
        size_t differ = 0;
        for (size_t i = 0; i < p.px.size(); ++i)
            differ += (p.px[i] & 0xFFFFFF) !=
                      (std::uint32_t(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
        EXPECT_EQ(differ, 0u) << entry;
    }
}

} // namespace
