// Textures written by ImageMagick, a tool no one here wrote: 24-bit, 32-bit and 8-bit palette
// TGA files load as textures, palette textures and transparency maps with the texels
// ImageMagick itself decodes from the same files.
#include <filesystem>
#include <gtest/gtest.h>

#include "data/tga.h"
#include "engine/lights.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "tests/engine/support/prep_fixture.h"

namespace {

using namespace preptest;

std::string quoted(const std::string& s) {
    std::string q(1, '\'');
    q.append(s).push_back('\'');
    return q;
}

class ImageMagickTextures : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(HaveConvert()) << "ImageMagick's convert is needed (scripts/setup.sh)";
        char pattern[] = "/tmp/vrkim.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        engine::engineSettings = engine::SecondScenePreset();
        engine::engineSettings.maxCompat = 0;
        engine::CollectLights(nullptr);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return dir + "/" + name; }

    // ImageMagick writes name from the random picture of the seed with the options, its rows
    // marked top first (ImageMagick 6 stores them so either way).
    Bytes make(const std::string& name, int seed, const std::string& options) {
        const std::string out = path(name);
        EXPECT_TRUE(Convert("-size 256x256 xc: -seed " + std::to_string(seed) +
                            " +noise Random -depth 8 " + options + " -compress none '" + out +
                            "'"));
        return ReadFile(out);
    }
    // ImageMagick's own decoding of a file: 0x00RRGGBB per pixel, top row first.
    std::vector<std::uint32_t> decode(const std::string& name) {
        const std::string raw = path(name + ".rgb");
        // -auto-orient applies the file's own row order; without it the rows come as stored.
        std::string arguments = quoted(path(name));
        arguments.append(" -auto-orient -depth 8 rgb:").append(quoted(raw));
        EXPECT_TRUE(Convert(arguments));
        const Bytes b = ReadFile(raw);
        std::vector<std::uint32_t> out(b.size() / 3);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<std::uint32_t>(b[3 * i]) << 16 | b[3 * i + 1] << 8 | b[3 * i + 2];
        return out;
    }
    std::string dir;
};

std::uint32_t swizzled(const std::uint8_t* slot, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(slot)[(x / 8) * 2048 + y * 8 + x % 8];
}

TEST_F(ImageMagickTextures, LoadWithTheTexelsImageMagickDecodes) {
    const Bytes t24 = make("t24.tga", 3, "-type TrueColor");
    const Bytes t32 =
        make("t32.tga", 4, "-alpha set -channel A -evaluate set 50% +channel -type TrueColorAlpha");
    const Bytes p8 = make("p8.tga", 5, "-colors 200 -type Palette");
    const Bytes map = make("map.tga", 6, "-colors 256 -type Palette");
    ASSERT_EQ(t24[2], 2);
    ASSERT_EQ(t24[16], 24);
    ASSERT_EQ(t32[16], 32);
    ASSERT_EQ(p8[2], 1);
    ASSERT_EQ(map[2], 1);
    PictureFile files({{"t24.tga", t24}, {"t32.tga", t32}, {"p8.tga", p8}, {"map.tga", map}});

    SceneBuilder s;
    scene::Material* rgb = s.material("rgb", 1, "t24.tga");
    scene::Material* rgba = s.material("rgba", 3, "t32.tga");
    scene::Material* pal = s.material("pal", 2, "p8.tga");
    scene::Material* mapped = s.material("mapped", 1, "t24.tga");
    mapped->transparency = 0.6f;
    s.setReflection(mapped, "map.tga");
    ASSERT_EQ(PrepareWithSortTable(s.get()), 1);

    const auto want24 = decode("t24.tga"), want32 = decode("t32.tga"), want8 = decode("p8.tga");
    const auto wantMap = decode("map.tga");
    // The map's palette as the data reader gives it, to name the colour of each index.
    DataArchive archive(files.path("vrk.bin").c_str());
    PtcSurface* mapPicture = loadImage(archive, "map.tga");
    ASSERT_NE(mapPicture, nullptr);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int i = y * 256 + x;
            ASSERT_EQ(swizzled(rgb->texture.texturePixels, x, y), want24[i]) << x << "," << y;
            ASSERT_EQ(swizzled(rgba->texture.texturePixels, x, y), want32[i]) << x << "," << y;
            const int index = pal->texture.texturePixels[i];
            const auto* shades =
                reinterpret_cast<const std::uint32_t*>(pal->texture.texturePixels + 65536);
            ASSERT_EQ(shades[index * 64 + 31], want8[i]) << x << "," << y;
            const std::uint32_t texel = swizzled(mapped->texture.texturePixels, x, y);
            ASSERT_EQ(texel & 0xFFFFFF, want24[i]);
            ASSERT_EQ(mapPicture->palette.entries[texel >> 24] & 0xFFFFFF, wantMap[i])
                << x << "," << y;
        }
    ptc_surface_destroy(mapPicture);
}

} // namespace
