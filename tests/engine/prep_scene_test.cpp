// Preparation of whole scenes: the flare picture, animated textures, the background picture,
// and failures at every step that leave nothing behind, again and again.
#include <cstdio>
#include <gtest/gtest.h>

#include "engine/animated.h"
#include "engine/lights.h"
#include "engine/log.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "tests/engine/support/prep_fixture.h"

namespace {

using namespace preptest;

constexpr std::ptrdiff_t SLOT = 262144;

std::uint32_t swizzled(const std::uint8_t* slot, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(slot)[(x / 8) * 2048 + y * 8 + x % 8];
}

// Frame n (1 based) of an animation: a 64x64 picture whose texels carry n and their position.
Bytes frame(int n, int size = 64) {
    return Tga24(size, size, [n](int x, int y) {
        return static_cast<std::uint32_t>(n) << 16 | static_cast<std::uint32_t>(y) << 8 |
               static_cast<std::uint32_t>(x);
    });
}

std::vector<Entry> animation(const std::string& stem, int frames) {
    std::vector<Entry> entries;
    for (int n = 1; n <= frames; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%s.%03d", stem.c_str(), n);
        entries.push_back({name, frame(n)});
    }
    return entries;
}

std::uint32_t distinct(int x, int y) {
    return static_cast<std::uint32_t>(y) << 8 | static_cast<std::uint32_t>(x);
}

class PrepareScene : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::engineSettings = engine::FirstScenePreset();
        engine::engineSettings.maxCompat = 0;
        engine::ambientTint = {1.0f, 1.0f, 1.0f};
        engine::CollectLights(nullptr);
    }
    int prepare(SceneBuilder& s) {
        ::testing::internal::CaptureStderr();
        const int r = PrepareWithSortTable(s.get());
        err = ::testing::internal::GetCapturedStderr();
        return r;
    }
    std::string err;
};

TEST_F(PrepareScene, FlarePictureTakesTheFirstSlotAndSizesEveryLight) {
    PictureFile files({{"lens3.tga", Tga32(40, 30,
                                           [](int x, int y) {
                                               return x == 0 && y == 0
                                                          ? 0xAB000000u
                                                          : 0xFF000000u | distinct(x, y);
                                           })},
                       {"t.tga", Tga24(256, 256, distinct)}});
    SceneBuilder s;
    scene::Light* a = s.light(0, 0, 0);
    scene::Material* m = s.material("m", 1, "t.tga");
    scene::Light* b = s.light(1, 0, 0);
    MessageCapture log;
    ASSERT_EQ(prepare(s), 1) << err;
    ASSERT_NE(engine::flareTexture, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uint8_t*>(engine::flareTexture), s.get()->textureBase);
    EXPECT_EQ(m->texture.texturePixels - s.get()->textureBase, SLOT);
    EXPECT_EQ(engine::flareTexture[0], 0u); // alpha alone makes no colour
    for (int y = 0; y < 30; ++y)
        for (int x = (y == 0); x < 40; ++x)
            ASSERT_EQ(engine::flareTexture[y * 40 + x], distinct(x, y));
    for (scene::Light* l : {a, b}) {
        EXPECT_EQ(l->flareWidth, 40.0f);
        EXPECT_EQ(l->flareHeight, 30.0f);
        EXPECT_EQ(l->flareWidthInt, 40);
        EXPECT_EQ(l->flareHeightInt, 30);
    }
    EXPECT_NE(
        log.text().find("\nLoading flare-texture file 'Flares\\lens3.tga', size: 40x30...ok!"),
        std::string::npos);

    // The second switch alone names no picture: a slot is kept but nothing is loaded.
    engine::engineSettings.flareType = 0;
    engine::engineSettings.lightFlares = 1;
    SceneBuilder second;
    scene::Material* n = second.material("m", 1, "t.tga");
    ASSERT_EQ(prepare(second), 1) << err;
    EXPECT_EQ(engine::flareTexture, nullptr);
    EXPECT_EQ(n->texture.texturePixels, second.get()->textureBase);

    engine::engineSettings.flareType = 2;
    SceneBuilder missing;
    missing.material("m", 1, "t.tga");
    EXPECT_EQ(prepare(missing), 0);
    EXPECT_EQ(err, "\nCouldn't load flare-texture file: 'Flares\\lens2.tga'!");
}

TEST_F(PrepareScene, FlarePictureLargerThanItsSlotIsRefused) {
    PictureFile files(
        {{"lens1.tga", Tga24(257, 4, distinct)}, {"t.tga", Tga24(256, 256, distinct)}});
    engine::engineSettings.flareType = 1;
    SceneBuilder s;
    s.material("m", 1, "t.tga");
    EXPECT_EQ(prepare(s), 0);
    EXPECT_EQ(err, "\nFlare-texture file 'Flares\\lens1.tga' is larger than 256x256!");
    EXPECT_EQ(s.get()->textureBuffer, nullptr);
    EXPECT_EQ(engine::flareTexture, nullptr);
}

TEST_F(PrepareScene, AnimatedTexturesFillTilesOfSlotsAndStepThroughTheirFrames) {
    std::vector<Entry> entries = animation("20fire", 20);
    entries.push_back({"t.tga", Tga24(256, 256, distinct)});
    entries.push_back({"lens3.tga", Tga24(8, 8, distinct)});
    PictureFile files(entries);
    engine::engineSettings.animatedTextures = 1;
    engine::engineSettings.animationDelay = 2;
    SceneBuilder s;
    scene::Material* fire = s.material("fire", 1, "20fire.001");
    scene::Material* after = s.material("after", 1, "t.tga");
    scene::Object* o = s.object("o", 3, 1, fire);
    o->vertices[0].u = 0.5f;
    scene::Object* plain = s.object("p", 3, 1, after);
    plain->vertices[0].u = 0.5f;
    ASSERT_EQ(prepare(s), 1) << err;

    // Flare in slot 0, 20 frames in slots 1 and 2, the next texture in slot 3.
    std::uint8_t* base = s.get()->textureBase;
    scene::MapInfo& t = fire->texture;
    EXPECT_EQ(t.animated, 1);
    EXPECT_EQ(t.lastFrame, 19);
    EXPECT_EQ(t.firstSlot - base, SLOT);
    EXPECT_EQ(t.texturePixels, t.firstSlot);
    EXPECT_EQ(after->texture.texturePixels - base, 3 * SLOT);
    ASSERT_EQ(s.get()->animatedCount, 1);
    ASSERT_NE(s.get()->animatedTable, nullptr);
    EXPECT_EQ(s.get()->animatedTable[0], &t);
    EXPECT_FLOAT_EQ(o->vertices[0].u, 31.5f); // 63 texels a frame
    EXPECT_FLOAT_EQ(plain->vertices[0].u, 127.5f);

    // Frame f of a group sits in tile (f & 3, f >> 2); frames 17 to 20 come from their own
    // files; the unused tiles of the last group keep what the first group put there.
    auto texel = [&](int group, int f, int x, int y) {
        return swizzled(t.firstSlot + group * SLOT, (f & 3) * 64 + x, (f >> 2) * 64 + y);
    };
    for (int f = 0; f < 16; ++f) EXPECT_EQ(texel(0, f, 5, 7), (f + 1u) << 16 | 7 << 8 | 5) << f;
    for (int f = 0; f < 4; ++f) EXPECT_EQ(texel(1, f, 63, 0), (f + 17u) << 16 | 63) << f;
    EXPECT_EQ(texel(1, 4, 1, 1), 5u << 16 | 1 << 8 | 1);

    // The countdown starts at 1 and reloads with the delay: steps on calls 1, 3, 5 ...
    std::vector<int> frames;
    for (int call = 0; call < 40; ++call) {
        engine::StepAnimatedTextures(s.get());
        frames.push_back(t.currentFrame);
        EXPECT_EQ(t.texturePixels, t.firstSlot + (t.currentFrame >> 4) * SLOT);
        EXPECT_EQ(t.frameOffsetU, (t.currentFrame & 3) * 64.0f);
        EXPECT_EQ(t.frameOffsetV, ((t.currentFrame & 15) >> 2) * 64.0f);
    }
    EXPECT_EQ(frames[0], 1);
    EXPECT_EQ(frames[1], 1);
    EXPECT_EQ(frames[2], 2);
    EXPECT_EQ(frames[37], 19);
    EXPECT_EQ(frames[38], 0); // wraps after the last frame
}

TEST_F(PrepareScene, AnimationFailuresAreReportedToTheCaller) {
    std::vector<Entry> entries = animation("03ring", 2); // the third frame is missing
    entries.push_back({"00bad.001", frame(1)});
    entries.push_back({"02big.001", frame(1, 128)});
    entries.push_back({"02big.002", frame(2, 128)});
    PictureFile files(entries);
    engine::engineSettings.animatedTextures = 1;
    engine::engineSettings.flareType = 0;

    SceneBuilder zero;
    zero.material("z", 1, "00bad.001");
    MessageCapture log;
    EXPECT_EQ(prepare(zero), 0);
    EXPECT_EQ(
        log.text(),
        "\n Error! bad number of frames (0) in animated texture '00bad.001' from material z!");
    EXPECT_EQ(zero.get()->textureBuffer, nullptr);

    SceneBuilder short3;
    short3.material("ring", 1, "03ring.001");
    EXPECT_EQ(prepare(short3), 0);
    EXPECT_EQ(err, "\nCouldn't load texture file: 'Animated\\03ring.003'!"
                   "\n Can't load animated textures from material ring!");
    EXPECT_EQ(short3.get()->textureBuffer, nullptr);
    EXPECT_EQ(short3.get()->animatedTable, nullptr);

    // Frames of the wrong size are resized when allowed and refused otherwise.
    SceneBuilder big;
    scene::Material* m = big.material("big", 1, "02big.001");
    ASSERT_EQ(prepare(big), 1) << err;
    EXPECT_EQ(swizzled(m->texture.firstSlot, 64 + 10, 20), 2u << 16 | 40 << 8 | 20);
    engine::engineSettings.autoResize = 0;
    SceneBuilder strict;
    strict.material("big", 1, "02big.001");
    EXPECT_EQ(prepare(strict), 0);
    EXPECT_EQ(err, "\nFile 'Animated\\02big.001': bad animated texture size(should be 64x64)!"
                   "\n Can't load animated textures from material big!");
}

TEST_F(PrepareScene, BackgroundPictureIsFittedInsideItsFrame) {
    PictureFile files({{"back.tga", Tga24(150, 90, distinct)}});
    std::snprintf(engine::engineSettings.backgroundPicture, 100, "%s", "back.tga");
    SceneBuilder s;
    s.material("chrome", 4);
    ASSERT_EQ(prepare(s), 1) << err;
    ASSERT_NE(engine::backgroundPixels, nullptr);
    const std::uint32_t* bg = engine::backgroundPixels;
    EXPECT_EQ(bg[0], 0u);
    EXPECT_EQ(bg[9 * 320 + 9], 0u);
    EXPECT_EQ(bg[10 * 320 + 10], distinct(0, 0));
    EXPECT_EQ(bg[11 * 320 + 13], distinct(1, 0)); // 150 doubled to 300
    EXPECT_EQ(bg[189 * 320 + 309], distinct(149, 89));
    EXPECT_EQ(bg[190 * 320 + 309], 0u);
    EXPECT_EQ(bg[189 * 320 + 310], 0u);
    engine::ReleaseSceneTextures(s.get());
    EXPECT_EQ(engine::backgroundPixels, nullptr);

    std::snprintf(engine::engineSettings.backgroundPicture, 100, "%s", "none.tga");
    SceneBuilder missing;
    MessageCapture log;
    EXPECT_EQ(prepare(missing), 0);
    EXPECT_EQ(log.text(), "\n Error! couldn't load background picture file 'none.tga'!");
    EXPECT_EQ(engine::backgroundPixels, nullptr);
}

// Every way a preparation can fail, each tried many times: all of them return 0 and leave no
// buffer or picture behind (AddressSanitizer's leak check sees the rest), and a good scene
// prepares afterwards as if nothing had happened.
TEST_F(PrepareScene, FailuresAtEveryStepReleaseEverythingAgainAndAgain) {
    std::vector<std::uint32_t> grey(256, 0x404040);
    std::vector<Entry> entries = animation("02anim", 2);
    entries.push_back({"lens3.tga", Tga24(16, 16, distinct)});
    entries.push_back({"t.tga", Tga24(256, 256, distinct)});
    entries.push_back({"p.tga", Tga8(256, 256, grey, [](int, int) { return 0; })});
    entries.push_back({"back.tga", Tga24(64, 64, distinct)});
    PictureFile files(entries);

    struct Case {
        const char* what;
        const char* refusedTag;
        const char* background;
        int flareType;
        const char* badTexture;
        int badShading;
    };
    const Case cases[] = {
        {"good", nullptr, "back.tga", 3, nullptr, 0},
        {"face sort table", "face_sort_table[]", "back.tga", 3, nullptr, 0},
        {"background buffer", "allokacja BackgroundPicPtr", "back.tga", 3, nullptr, 0},
        {"background picture", nullptr, "nope.tga", 3, nullptr, 0},
        {"texture buffer", "bigbuffer for textures", "back.tga", 3, nullptr, 0},
        {"flare picture", nullptr, "back.tga", 4, nullptr, 0},
        {"texture", nullptr, "back.tga", 3, "gone.tga", 0},
        {"shading", nullptr, "back.tga", 3, nullptr, 9},
        {"animated table", "table for handling animated textures", "back.tga", 3, nullptr, 0},
        {"animated frames", nullptr, "back.tga", 3, "03anim.001", 0},
    };
    engine::engineSettings.animatedTextures = 1;
    for (int round = 0; round < 5; ++round)
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            engine::RefuseAllocationsTagged(c.refusedTag);
            std::snprintf(engine::engineSettings.backgroundPicture, 100, "%s", c.background);
            engine::engineSettings.flareType = c.flareType;
            SceneBuilder s;
            s.light(0, 0, 0);
            s.material("anim", 1, "02anim.001");
            s.material("pal", 2, "p.tga");
            s.material("flat", 1, c.badTexture ? c.badTexture : "t.tga");
            if (c.badShading) s.material("odd", c.badShading, "t.tga");
            MessageCapture log;
            const int r = prepare(s);
            engine::RefuseAllocationsTagged(nullptr);
            const bool good = c.refusedTag == nullptr && c.badTexture == nullptr &&
                              c.badShading == 0 && c.flareType == 3 &&
                              std::string(c.background) == "back.tga";
            EXPECT_EQ(r, good ? 1 : 0) << err;
            if (c.refusedTag) {
                EXPECT_NE(err.find(std::string("memory callocation error: ") + c.refusedTag),
                          std::string::npos)
                    << err;
            }
            if (!good) {
                EXPECT_EQ(s.get()->textureBuffer, nullptr);
                EXPECT_EQ(s.get()->animatedTable, nullptr);
                EXPECT_EQ(engine::backgroundPixels, nullptr);
                EXPECT_EQ(engine::flareTexture, nullptr);
            }
        }
}

} // namespace
