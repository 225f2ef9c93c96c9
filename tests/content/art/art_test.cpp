// The built data file and resources, read back the way the player reads them.
#include "console/console.h"
#include "content/art/aurora.h"
#include "content/art/font.h"
#include "content/art/pictures.h"
#include "data/archive.h"
#include "data/packed_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string BUILD = VRK_BINARY_DIR;
const std::string ART = BUILD + "/content/art";

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes entry(DataArchive& a, const char* name) {
    long n = a.entrySize(name);
    if (n < 0) return {};
    Bytes b(static_cast<size_t>(n));
    EXPECT_EQ(a.readEntry(name, b.data(), 0), n) << name;
    return b;
}

// Unpacks into a buffer with room to spare, so a stream that is too long shows as such.
Bytes unpack(const Bytes& packed, size_t expected) {
    Bytes out(expected + 4096);
    size_t produced = 0;
    EXPECT_TRUE(tryUnpackLzo(packed.data(), packed.size(), out.size(), out.data(), &produced));
    out.resize(produced);
    return out;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> px; // top row first, 0x00RRGGBB
    std::uint32_t at(int x, int y) const { return px[size_t(y) * width + x]; }
};

// Reads a picture as the player does: 24-bit rows after the 18-byte header, bottom row first.
Picture decodeTga(const Bytes& b) {
    Picture p;
    if (b.size() < 18) return p;
    EXPECT_EQ(b[0], 0) << "no image ID";
    EXPECT_EQ(b[1], 0) << "no colour map";
    EXPECT_EQ(b[2], 2) << "uncompressed true colour";
    EXPECT_EQ(b[16], 24) << "24 bits a pixel";
    EXPECT_EQ(b[17] & 0x30, 0) << "bottom row first";
    p.width = b[12] | b[13] << 8;
    p.height = b[14] | b[15] << 8;
    if (b.size() < 18 + size_t(p.width) * p.height * 3) {
        ADD_FAILURE() << "picture shorter than its header says";
        return p;
    }
    p.px.resize(size_t(p.width) * p.height);
    for (int r = 0; r < p.height; ++r)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* q = &b[18 + (size_t(r) * p.width + x) * 3];
            p.px[size_t(p.height - 1 - r) * p.width + x] = q[2] << 16 | q[1] << 8 | q[0];
        }
    return p;
}

class DataFile : public ::testing::Test {
  protected:
    DataArchive archive{(BUILD + "/vrk.bin").c_str()};
};

TEST_F(DataFile, HoldsThePlayersPicturesUnderTheirNames) {
    ASSERT_TRUE(archive.isOpen()) << archive.whyNotOpen();
    struct Expect {
        const char* name;
        int w, h;
    };
    const Expect plain[] = {{"tex\\lp1.tga", art::INDICATOR_W, art::INDICATOR_H},
                            {"tex\\lp2.tga", art::INDICATOR_W, art::INDICATOR_H},
                            {"tex\\exit.tga", art::EXIT_W, art::EXIT_H},
                            {"tex\\scrollft.tga", 930, 31},
                            {"tex\\menufont.tga", 630, 15},
                            {"tex\\elfmask.tga", 104, 64}};
    for (const Expect& e : plain) {
        Bytes b = entry(archive, e.name);
        ASSERT_FALSE(b.empty()) << e.name;
        EXPECT_EQ(b.size(), 18 + size_t(e.w) * e.h * 3) << e.name;
        Picture p = decodeTga(b);
        EXPECT_EQ(p.width, e.w) << e.name;
        EXPECT_EQ(p.height, e.h) << e.name;
    }
    for (const char* name : {"tex\\main.pak", "tex\\endpfr1.pak", "tex\\endpfr2.pak"})
        EXPECT_GT(archive.entrySize(name), 0) << name;
}

TEST_F(DataFile, PackedPicturesUnpackToTheirExactLengths) {
    ASSERT_TRUE(archive.isOpen());
    Bytes main = unpack(entry(archive, "tex\\main.pak"), 768539);
    ASSERT_EQ(main.size(), 768539u);
    Picture p = decodeTga(main);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 400);
    // Extension area right after the pixels, then the footer pointing at it.
    const size_t ext = 18 + 768000;
    EXPECT_EQ(main[ext] | main[ext + 1] << 8, 495);
    const std::uint8_t* foot = &main[main.size() - 26];
    EXPECT_EQ(foot[0] | foot[1] << 8 | foot[2] << 16 | std::uint32_t(foot[3]) << 24, ext);
    EXPECT_EQ(std::memcmp(foot + 8, "TRUEVISION-XFILE.\0", 18), 0);

    for (const char* name : {"tex\\endpfr1.pak", "tex\\endpfr2.pak"}) {
        Bytes end = unpack(entry(archive, name), 768044);
        ASSERT_EQ(end.size(), 768044u) << name;
        Picture e = decodeTga(end);
        EXPECT_EQ(e.width, 640);
        EXPECT_EQ(e.height, 400);
        EXPECT_EQ(std::memcmp(&end[end.size() - 18], "TRUEVISION-XFILE.\0", 18), 0);
    }
    // Two frames of one animation: alike, but not the same.
    Picture a = decodeTga(unpack(entry(archive, "tex\\endpfr1.pak"), 768044));
    Picture b = decodeTga(unpack(entry(archive, "tex\\endpfr2.pak"), 768044));
    size_t differ = 0;
    for (size_t i = 0; i < a.px.size(); ++i) differ += a.px[i] != b.px[i];
    EXPECT_GT(differ, 500u);
    EXPECT_LT(differ, a.px.size() / 4);
}

TEST_F(DataFile, PlayerLoadsTheMainPicture) {
    ASSERT_TRUE(archive.isOpen());
    PtcFormat* format = ptc_format_create_direct(32, 0xff0000, 0xff00, 0xff, 0);
    PtcSurface* surface = ptc_surface_create(640, 400, format);
    ASSERT_EQ(loadPackedPicture(archive, surface, "tex\\main.pak", 0, 768539), 1);
    const auto* pixels = static_cast<const std::uint8_t*>(ptc_surface_lock(surface));
    // The loaded surface holds what the generator painted.
    art::Image expected = art::makeMainPicture();
    int mismatches = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            std::uint32_t got;
            std::memcpy(&got, pixels + size_t(y) * surface->pitch + x * 4, 4);
            mismatches += (got & 0xffffff) != expected.at(x, y);
        }
    ptc_surface_unlock(surface);
    ptc_surface_destroy(surface);
    ptc_format_destroy(format);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(DataFile, MainPictureLeavesRoomWhereThePlayerDraws) {
    ASSERT_TRUE(archive.isOpen());
    Picture p = decodeTga(unpack(entry(archive, "tex\\main.pak"), 768539));
    ASSERT_EQ(p.width, 640);
    auto luma = [](std::uint32_t c) {
        return 0.3 * (c >> 16 & 255) + 0.59 * (c >> 8 & 255) + 0.11 * (c & 255);
    };
    auto meanLuma = [&](art::Place r) {
        double sum = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) sum += luma(p.at(x, y));
        return sum / (r.width() * r.height());
    };
    // Light text goes over the menu window and the scroll band: both stay dark.
    EXPECT_LT(meanLuma(art::MENU_AREA), 40);
    EXPECT_LT(meanLuma(art::SCROLL_AREA), 30);
    // The aurora adds up to 98 to blue in the panel's top 140 rows, 180 columns; the stars add
    // light. A night sky leaves room for both.
    int sky = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 180; ++x) {
            std::uint32_t c = p.at(art::AURORA_AREA.left + x, art::AURORA_AREA.top + y);
            sky += (c & 255) <= 70 && luma(c) < 40;
        }
    EXPECT_GT(sky, 140 * 180 * 9 / 10);
    // The meter line and the exit label sit on black, as the blinking label clears to black.
    for (int x = 0; x < 640; ++x) EXPECT_EQ(p.at(x, art::METER_Y), 0u) << x;
    for (int x = art::EXIT_X; x < 640; ++x)
        for (int y = art::EXIT_Y; y < 400; ++y) ASSERT_EQ(p.at(x, y), 0u) << x << "," << y;
}

// Cell checks shared by both fonts.
void checkFont(const Picture& f, std::string_view cells, int glyphRows, const char* what) {
    ASSERT_EQ(f.width, int(cells.size()) * art::CELL_PITCH) << what;
    ASSERT_EQ(f.height, glyphRows + 1) << what;
    for (int x = 0; x < f.width; ++x) EXPECT_EQ(f.at(x, 0), art::MAGENTA) << what << " row 0";
    for (size_t i = 0; i < cells.size(); ++i) {
        int x0 = int(i) * art::CELL_PITCH;
        int lit = 0;
        for (int y = 0; y < f.height; ++y) {
            EXPECT_EQ(f.at(x0 + 14, y), art::MAGENTA) << what << " gap after cell " << x0;
            for (int x = x0; x < x0 + 14; ++x) {
                std::uint32_t c = f.at(x, y);
                if (c == art::MAGENTA) continue;
                ++lit;
                // Nothing may be blended with the key colour: no pink fringes.
                int r = c >> 16 & 255, g = c >> 8 & 255, b = c & 255;
                EXPECT_FALSE(r > g + 60 && b > g + 60)
                    << what << " cell " << x0 << " pixel " << std::hex << c;
            }
        }
        char ch = cells[i];
        if (ch == ' ' || ch == '_')
            EXPECT_EQ(lit, 0) << what << " cell " << x0 << " must be empty";
        else
            EXPECT_GT(lit, 8) << what << " cell " << x0 << " ('" << ch << "') has no glyph";
    }
}

TEST_F(DataFile, FontsFollowTheCellOrder) {
    ASSERT_TRUE(archive.isOpen());
    Picture menu = decodeTga(entry(archive, "tex\\menufont.tga"));
    Picture scroll = decodeTga(entry(archive, "tex\\scrollft.tga"));
    checkFont(menu, art::MENU_FONT_CELLS, 14, "menu font");
    checkFont(scroll, art::SCROLL_FONT_CELLS, 30, "scroll font");
    EXPECT_EQ(art::SCROLL_FONT_CELLS.find('_') * 15, 675u);
    EXPECT_EQ(art::SCROLL_FONT_CELLS.find(' ') * 15, 810u);
    EXPECT_EQ(art::SCROLL_FONT_CELLS.find(';') * 15, 690u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find(' ') * 15, 585u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find('?') * 15, 600u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find('@') * 15, 570u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find('\'') * 15, 615u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find('A') * 15, 150u);
    EXPECT_EQ(art::MENU_FONT_CELLS.find('0') * 15, 135u);

    // The menu letters are pure white where the stroke is whole (the player recolours exactly
    // 0xffffff); the row markers are not letters and keep their own colours.
    for (char c : std::string_view("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-.'")) {
        int x0 = int(art::MENU_FONT_CELLS.find(c)) * 15, white = 0;
        for (int y = 1; y < 15; ++y)
            for (int x = x0; x < x0 + 14; ++x) white += menu.at(x, y) == 0xFFFFFF;
        EXPECT_GT(white, 0) << "menu glyph '" << c << "' has no pure white";
    }
    auto cellsDiffer = [&](char a, char b) {
        int xa = int(art::MENU_FONT_CELLS.find(a)) * 15,
            xb = int(art::MENU_FONT_CELLS.find(b)) * 15;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 14; ++x)
                if (menu.at(xa + x, y) != menu.at(xb + x, y)) return true;
        return false;
    };
    EXPECT_TRUE(cellsDiffer('?', '@')) << "tune and scroller markers must be told apart";
    EXPECT_TRUE(cellsDiffer('O', '0'));
}

TEST_F(DataFile, ElfMaskIsKeyedAroundTheElf) {
    ASSERT_TRUE(archive.isOpen());
    Picture elf = decodeTga(entry(archive, "tex\\elfmask.tga"));
    int key = 0;
    for (std::uint32_t c : elf.px) key += c == art::MAGENTA;
    EXPECT_GT(key, int(elf.px.size()) / 4);
    EXPECT_LT(key, int(elf.px.size()) * 3 / 4);
    EXPECT_EQ(elf.at(0, 0), art::MAGENTA) << "the window shows at the corners";
}

TEST(Resources, AuroraFramesUnpackAndStayInRange) {
    Bytes frames = unpack(readFile(ART + "/borealis.pak"), 1108800);
    ASSERT_EQ(frames.size(), 1108800u);
    int high = 0;
    for (std::uint8_t v : frames) {
        ASSERT_LE(v, 98);
        high = std::max<int>(high, v);
    }
    EXPECT_GE(high, 80) << "the curtain should be bright somewhere";
    EXPECT_EQ(frames, art::makeAuroraFrames());
}

TEST(Resources, AuroraMovesSmoothlyForwardBackwardAndMirrored) {
    constexpr int W = art::AURORA_COLUMNS, H = art::AURORA_ROWS;
    auto mirrored = [&](const Bytes& f) {
        Bytes m(f.size());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) m[size_t(y) * W + (W - 1 - x)] = f[size_t(y) * W + x];
        return m;
    };
    auto meanStep = [](const Bytes& a, const Bytes& b) {
        double s = 0;
        for (size_t i = 0; i < a.size(); ++i) s += std::abs(int(a[i]) - int(b[i]));
        return s / a.size();
    };
    // The sequence the player shows: 44 frames, then their mirror images.
    std::vector<Bytes> seq;
    for (int t = 0; t < art::AURORA_FRAMES; ++t) seq.push_back(art::auroraFrame(t));
    for (int t = 0; t < art::AURORA_FRAMES; ++t) seq.push_back(mirrored(seq[t]));
    // The mirrored half continues the motion: frame 44 + t is what the sway reaches next.
    for (int t : {0, 1, 20, 43}) {
        Bytes next = art::auroraFrame(art::AURORA_FRAMES + t);
        EXPECT_LT(meanStep(next, seq[art::AURORA_FRAMES + t]), 0.01) << t;
    }
    double largest = 0, total = 0;
    for (size_t i = 1; i < seq.size(); ++i) {
        double s = meanStep(seq[i - 1], seq[i]);
        largest = std::max(largest, s);
        total += s;
    }
    double typical = total / (seq.size() - 1);
    EXPECT_GT(typical, 0.3) << "the curtain must move";
    EXPECT_LT(largest, typical * 2.5) << "no jump anywhere, also not at the mirror seam";
    EXPECT_LT(meanStep(seq.back(), seq.front()), typical * 2.5);
}

TEST(Resources, StarSpritesSitAtTheirOffsets) {
    Bytes stars = readFile(ART + "/stars.dat");
    ASSERT_EQ(stars.size(), 1516u);
    auto pixel = [&](int i) {
        std::uint32_t v;
        std::memcpy(&v, &stars[size_t(i) * 4], 4);
        return v;
    };
    for (int i = 359; i < 379; ++i) EXPECT_EQ(pixel(i), 0u) << i;
    struct Shape {
        int first, w, h;
    };
    for (Shape s : {Shape{0, 10, 11}, Shape{110, 9, 9}, Shape{191, 12, 14}}) {
        std::uint32_t brightest = 0;
        for (int i = 0; i < s.w * s.h; ++i)
            brightest = std::max(brightest, pixel(s.first + i) & 255);
        EXPECT_EQ(brightest, 255u) << "a full-strength heart, shape at " << s.first;
        EXPECT_LT(pixel(s.first) & 255, 40u) << "corners stay dark, shape at " << s.first;
        for (int i = 0; i < s.w * s.h; ++i) EXPECT_EQ(pixel(s.first + i) >> 24, 0u);
    }
    EXPECT_EQ(stars, art::makeStarSprites());
}

TEST(Resources, IconIsABaubleOnATransparentGround) {
    Bytes icon = readFile(ART + "/icon.argb");
    ASSERT_EQ(icon.size(), size_t(art::ICON_SIZE) * art::ICON_SIZE * 4);
    auto alpha = [&](int x, int y) { return icon[(size_t(y) * art::ICON_SIZE + x) * 4 + 3]; };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(31, 31), 0);
    EXPECT_EQ(alpha(16, 19), 255);
    // Red glass in the middle.
    const std::uint8_t* mid = &icon[(size_t(19) * art::ICON_SIZE + 20) * 4];
    EXPECT_GT(mid[2], 2 * mid[1]);
}

// The desktop's sizes are painted, not stretched: the same bauble at every size, and the
// window's 32 x 32 icon is the very one the program embeds.
TEST(Resources, DesktopIconsAreTheBaubleAtEverySize) {
    EXPECT_EQ(readFile(ART + "/icon.argb"), art::makeIcon(art::ICON_SIZE));
    for (int size : {16, 24, 48, 64, 128, 256}) {
        Bytes icon = readFile(ART + "/icon-" + std::to_string(size) + ".argb");
        ASSERT_EQ(icon.size(), size_t(size) * size * 4) << size;
        auto at = [&](float x, float y) {
            return &icon[(size_t(y * size / 32) * size + size_t(x * size / 32)) * 4];
        };
        EXPECT_EQ(at(0, 0)[3], 0) << size;
        EXPECT_EQ(at(31, 31)[3], 0) << size;
        EXPECT_EQ(at(16, 19)[3], 255) << size;
        EXPECT_GT(at(20, 24)[2], 2 * at(20, 24)[1]) << "red glass at " << size;
        EXPECT_GT(at(16, 6)[1], 120) << "gold cap at " << size;
    }
}

// Runs the generators again into a fresh folder and repacks with the archive tool: every
// entry of the data file and both resources come out byte for byte the same.
TEST(Determinism, GeneratorsGiveTheSameBytesTwice) {
    fs::path dir = fs::temp_directory_path() / ("vrk_artgen_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string run = "\"" + BUILD + "/vrk_artgen\" \"" + dir.string() + "\"";
    ASSERT_EQ(std::system(run.c_str()), 0);
    for (const char* f : {"main", "endpfr1", "endpfr2"}) {
        std::string pack = "\"" + BUILD + "/vrkpack\" lzo \"" + (dir / f).string() + ".tga\" \"" +
                           (dir / f).string() + ".pak\"";
        ASSERT_EQ(std::system(pack.c_str()), 0);
    }
    std::string pack = "\"" + BUILD + "/vrkpack\" lzo \"" + (dir / "borealis.raw").string() +
                       "\" \"" + (dir / "borealis.pak").string() + "\"";
    ASSERT_EQ(std::system(pack.c_str()), 0);

    DataArchive archive((BUILD + "/vrk.bin").c_str());
    ASSERT_TRUE(archive.isOpen());
    for (const char* name : {"main.pak", "endpfr1.pak", "endpfr2.pak", "lp1.tga", "lp2.tga",
                             "exit.tga", "scrollft.tga", "menufont.tga", "elfmask.tga"})
        EXPECT_EQ(readFile((dir / name).string()), entry(archive, name)) << name;
    EXPECT_EQ(readFile((dir / "borealis.pak").string()), readFile(ART + "/borealis.pak"));
    EXPECT_EQ(readFile((dir / "stars.dat").string()), readFile(ART + "/stars.dat"));
    EXPECT_EQ(readFile((dir / "icon.argb").string()), readFile(ART + "/icon.argb"));
    fs::remove_all(dir);
}

// An independent reader agrees about the pictures.
TEST(Oracle, ImageMagickReadsThePictures) {
    if (std::system("identify -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ImageMagick";
    struct Expect {
        const char* file;
        const char* size;
    };
    for (Expect e : {Expect{"main.tga", "640x400"},
                     {"endpfr1.tga", "640x400"},
                     {"menufont.tga", "630x15"},
                     {"scrollft.tga", "930x31"},
                     {"elfmask.tga", "104x64"}}) {
        std::string cmd = "identify -format '%wx%h %[channels]' \"" + ART + "/" + e.file + "\"";
        FILE* p = popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        char buf[128] = {};
        size_t n = fread(buf, 1, sizeof buf - 1, p);
        pclose(p);
        std::string out(buf, n);
        EXPECT_EQ(out.substr(0, out.find(' ')), e.size) << e.file << ": " << out;
        EXPECT_NE(out.find("srgb"), std::string::npos) << e.file << ": " << out;
    }
}

} // namespace
