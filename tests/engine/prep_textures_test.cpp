// Preparation of materials: classes and weights, 32-bit and palette textures with their
// resizing, shade tables, transparency maps, dull textures, texture coordinates and lighting.
#include <gtest/gtest.h>

#include "engine/lights.h"
#include "engine/log.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "tests/engine/support/prep_fixture.h"

namespace {

using namespace preptest;

// A texel of a swizzled slot, addressed strip by strip: 32 strips of 8 texels x 256 rows.
std::uint32_t swizzled(const std::uint8_t* slot, int x, int y) {
    const auto* texels = reinterpret_cast<const std::uint32_t*>(slot);
    return texels[(x / 8) * 8 * 256 + y * 8 + x % 8];
}

std::uint32_t shade(const std::uint8_t* slot, int index, int level) {
    return reinterpret_cast<const std::uint32_t*>(slot + 65536)[index * 64 + level];
}

std::uint32_t distinct(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(y) << 8 | static_cast<std::uint32_t>(x);
}

class Prepare : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::engineSettings = engine::SecondScenePreset();
        engine::engineSettings.maxCompat = 0;
        engine::ambientTint = {1.0f, 1.0f, 1.0f};
        engine::CollectLights(scene.get());
    }
    // PrepareScene with standard error captured into err.
    int prepare() {
        ::testing::internal::CaptureStderr();
        const int r = PrepareWithSortTable(scene.get());
        err = ::testing::internal::GetCapturedStderr();
        return r;
    }
    SceneBuilder scene;
    std::string err;
};

TEST_F(Prepare, MetalOnlySceneHasNoTexturesAndSucceeds) {
    PictureFile files({});
    scene.material("chrome", 4, "env.tga");
    scene.material("steel", 4);
    MessageCapture log;
    EXPECT_EQ(prepare(), 1);
    EXPECT_EQ(err, "\nNo materials textures defined in scene!");
    EXPECT_EQ(scene.get()->textureBuffer, nullptr);
    EXPECT_EQ(log.text(), "");
}

TEST_F(Prepare, TransparencyClassesAndWeights) {
    PictureFile files({{"t.tga", Tga32(256, 256, distinct)}});
    scene::Material* half = scene.material("half", 1, "t.tga");
    half->transparency = 0.5f;
    scene::Material* quarter = scene.material("quarter", 1, "t.tga");
    quarter->transparency = 0.25f;
    scene::Material* negZero = scene.material("negzero", 1, "t.tga");
    negZero->transparency = -0.0f;
    scene::Material* outOfRange = scene.material("toomuch", 1, "t.tga");
    outOfRange->transparency = 1.5f;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(half->transparencyClass, engine::TRANSPARENCY_HALF);
    EXPECT_EQ(half->transparencyWeights, 0u);
    EXPECT_EQ(quarter->transparencyClass, engine::TRANSPARENCY_CONSTANT);
    EXPECT_EQ(quarter->transparencyWeights, 0x003F003Fu);
    EXPECT_EQ(quarter->opacityWeights, 0x00C000C0u);
    EXPECT_EQ(negZero->transparencyClass, engine::TRANSPARENCY_OPAQUE);
    // A value from a file beyond 1.0 still gives weights the blend can use.
    EXPECT_EQ(outOfRange->transparencyWeights, 0x00FF00FFu);
    EXPECT_EQ(outOfRange->opacityWeights, 0u);

    SceneBuilder again;
    scene::Material* q = again.material("quarter", 1, "t.tga");
    q->transparency = 0.25f;
    engine::engineSettings.transparencyMaps = 0;
    ASSERT_EQ(PrepareWithSortTable(again.get()), 1);
    EXPECT_EQ(q->transparencyClass, engine::TRANSPARENCY_OPAQUE);
}

TEST_F(Prepare, TrueColourTextureIsSwizzledIntoAlignedSlots) {
    // A full 8.3 name: with its folder longer than an entry handle holds, found all the same.
    PictureFile files(
        {{"t.tga", Tga32(256, 256, distinct)},
         {"brickwal.tga", Tga24(256, 256, [](int x, int y) { return distinct(y, x); })}});
    scene::Material* a = scene.material("a", 1, "t.tga");
    scene::Material* b = scene.material("b", 3, "brickwal.tga");
    MessageCapture log;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(err, "");
    for (scene::Material* m : {a, b}) {
        ASSERT_NE(m->texture.texturePixels, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(m->texture.texturePixels) & 0x3FFFF, 0u);
        EXPECT_EQ(m->texture.textureWidth, 256);
        EXPECT_EQ(m->texture.textureHeight, 256);
        EXPECT_EQ(m->texture.textureDepth, 32);
    }
    EXPECT_EQ(b->texture.texturePixels - a->texture.texturePixels, 262144);
    EXPECT_EQ(a->texture.texturePixels, scene.get()->textureBase);
    // Every texel distinct, every one where the strips put it; alpha bytes are cleared.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(swizzled(a->texture.texturePixels, x, y), distinct(x, y) & 0xFFFFFF);
            ASSERT_EQ(swizzled(b->texture.texturePixels, x, y), distinct(y, x) & 0xFFFFFF);
        }
    EXPECT_NE(
        log.text().find("\nLoading texture file 'Textures\\t.tga'(a), size: 256x256...ok!"
                        "\nLoading texture file 'Textures\\brickwal.tga'(b), size: 256x256...ok!"),
        std::string::npos);
}

TEST_F(Prepare, SmallTextureIsDoubledWithAutoResizeAndRefusedWithout) {
    auto small = [](int x, int y) { return static_cast<std::uint32_t>(y * 128 + x); };
    PictureFile files({{"s.tga", Tga32(128, 128, small)},
                       {"p.tga", Tga8(128, 128, {0x102030, 0x405060},
                                      [](int x, int y) { return (x + y) & 1; })}});
    scene::Material* m = scene.material("m", 1, "s.tga");
    scene::Material* g = scene.material("g", 2, "p.tga");
    ASSERT_EQ(prepare(), 1) << err;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(swizzled(m->texture.texturePixels, x, y), small(x / 2, y / 2));
            ASSERT_EQ(g->texture.texturePixels[y * 256 + x], ((x / 2 + y / 2) & 1));
        }

    engine::engineSettings.autoResize = 0;
    SceneBuilder strict;
    strict.material("m", 1, "s.tga");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PrepareWithSortTable(strict.get()), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\nFile 'Textures\\s.tga' in m: bad texture size(should be 256x256)!");
    EXPECT_EQ(strict.get()->textureBuffer, nullptr);
}

TEST_F(Prepare, PaletteTextureKeepsIndicesAndBuildsItsShadeTable) {
    std::vector<std::uint32_t> palette(256, 0);
    palette[0] = 0xFF0000;
    palette[1] = 0x00FF00;
    palette[7] = 0x804020;
    PictureFile files(
        {{"p.tga", Tga8(256, 256, palette, [](int x, int y) { return (x + y) % 8; })}});
    scene::Material* m = scene.material("g", 2, "p.tga");
    scene.material("plain", 2); // no texture: drawn untextured
    ASSERT_EQ(prepare(), 1) << err;
    const std::uint8_t* slot = m->texture.texturePixels;
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(m->texture.textureDepth, 8);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) ASSERT_EQ(slot[y * 256 + x], (x + y) % 8);
    EXPECT_EQ(shade(slot, 0, 0), 0u);
    EXPECT_EQ(shade(slot, 0, 31), 0xFF0000u);
    EXPECT_EQ(shade(slot, 0, 32), 0xFF0000u);
    EXPECT_EQ(shade(slot, 0, 62), 0xFFEFEFu);
    EXPECT_EQ(shade(slot, 0, 63), 0u);
    // Fading in from black: 255 x (1/31 as a float) x 1 = 8.2 and x 30 = 246.8.
    EXPECT_EQ(shade(slot, 1, 1), 0x000800u);
    EXPECT_EQ(shade(slot, 1, 30), 0x00F600u);
    EXPECT_EQ(shade(slot, 7, 31), 0x804020u);
    EXPECT_EQ(shade(slot, 7, 33), (0x80 + 3) << 16 | (0x40 + 5) << 8 | (0x20 + 6));
}

TEST_F(Prepare, AmbientTintHalvesTexelsAndPaletteColours) {
    std::vector<std::uint32_t> palette(256, 0xFF7F03);
    PictureFile files({{"t.tga", Tga32(256, 256, [](int, int) { return 0xFFFF7F03u; })},
                       {"p.tga", Tga8(256, 256, palette, [](int, int) { return 0; })}});
    scene.ambient(0.5f, 0.5f, 0.5f);
    scene::Material* flat = scene.material("flat", 1, "t.tga");
    scene::Material* gouraud = scene.material("gouraud", 2, "p.tga");
    engine::engineSettings.computeAmbient = 1;
    MessageCapture log;
    ASSERT_EQ(engine::ComputeAmbient(scene.get()), 1);
    EXPECT_EQ(log.text(), "\n scene ambient color: R=127 G=127 B=127 \n");
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(swizzled(flat->texture.texturePixels, 9, 200), 0x7F3F01u);
    EXPECT_EQ(shade(gouraud->texture.texturePixels, 5, 31), 0x7F3F01u);

    // Without the switch the same scene keeps its colours.
    engine::engineSettings.computeAmbient = 0;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(swizzled(flat->texture.texturePixels, 9, 200), 0xFF7F03u);
}

TEST_F(Prepare, TransparencyMapGoesIntoTheAlphaBytesResizedToTheTexture) {
    std::vector<std::uint32_t> grey(256);
    for (int i = 0; i < 256; ++i) grey[i] = static_cast<std::uint32_t>(i * 0x010101);
    PictureFile files({{"t.tga", Tga32(256, 256, distinct)},
                       {"map.tga", Tga8(128, 128, grey, [](int x, int y) { return x ^ y; })},
                       {"rgb.tga", Tga24(256, 256, distinct)}});
    scene::Material* m = scene.material("glass", 1, "t.tga");
    m->transparency = 0.3f;
    scene.setReflection(m, "map.tga");
    MessageCapture log;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(m->transparencyClass, engine::TRANSPARENCY_MAP);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(swizzled(m->texture.texturePixels, x, y),
                      (distinct(x, y) & 0xFFFFFF) | static_cast<std::uint32_t>((x / 2) ^ (y / 2))
                                                        << 24);
    EXPECT_NE(log.text().find("\nAutoresizing transparency map 'map.tga'(glass) from 128x128 to "
                              "256x256..."),
              std::string::npos);

    // A map of more than 8 bits is refused.
    SceneBuilder bad;
    scene::Material* b = bad.material("glass", 1, "t.tga");
    b->transparency = 0.3f;
    bad.setReflection(b, "rgb.tga");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PrepareWithSortTable(bad.get()), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\nTransparency map 'Textures\\rgb.tga' should have only max. 256 colors!");
}

TEST_F(Prepare, DullTexturesStandInForMissingOnesOnlyWhenAllowed) {
    PictureFile files({});
    scene::Material* named = scene.material("named", 1, "gone.tga");
    scene::Material* unnamed = scene.material("unnamed", 3);
    scene::Material* palette = scene.material("pal", 2, "gone.tga");
    engine::engineSettings.dullTextures = 1;
    MessageCapture log;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_STREQ(unnamed->texture.fileName, "$dully$");
    for (scene::Material* m : {named, unnamed}) {
        ASSERT_NE(m->texture.texturePixels, nullptr);
        EXPECT_EQ(swizzled(m->texture.texturePixels, 0, 0), 0x323232u);
        EXPECT_EQ(swizzled(m->texture.texturePixels, 255, 255), 0x323232u);
    }
    // An all-black palette: black up to the colour, then the fade towards white.
    EXPECT_EQ(palette->texture.texturePixels[1000], 0);
    EXPECT_EQ(shade(palette->texture.texturePixels, 0, 31), 0u);
    EXPECT_EQ(shade(palette->texture.texturePixels, 0, 40), 0x3F3F3Fu);
    EXPECT_NE(log.text().find("\n*No texture filename for flat/phong shading in material unnamed!"
                              "\n*Applying fake-texture name to material 'unnamed'!"),
              std::string::npos);
    EXPECT_NE(log.text().find("\n*Couldn't locate file 'Textures\\gone.tga'! Applying dull "
                              "texture!"),
              std::string::npos);

    engine::engineSettings.dullTextures = 0;
    SceneBuilder strict;
    strict.material("named", 1, "gone.tga");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PrepareWithSortTable(strict.get()), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\nCouldn't load texture file: 'Textures\\gone.tga' from material named!");
    SceneBuilder noName;
    noName.material("unnamed", 1);
    EXPECT_EQ(PrepareWithSortTable(noName.get()), 0);
}

TEST_F(Prepare, TextureCoordinatesAreMirroredScaledAndFlippedForMaxCompat) {
    PictureFile files({{"t.tga", Tga32(256, 256, distinct)}});
    scene::Material* m = scene.material("m", 1, "t.tga");
    scene::Object* o = scene.object("box", 3, 1, m);
    o->vertices[0].u = -0.25f;
    o->vertices[0].v = -0.25f;
    o->vertices[1].u = 0.5f;
    o->vertices[1].v = 1.0f;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_FLOAT_EQ(o->vertices[0].u, 63.75f);
    EXPECT_FLOAT_EQ(o->vertices[0].v, 63.75f);
    EXPECT_FLOAT_EQ(o->vertices[1].v, 255.0f);

    SceneBuilder max;
    scene::Object* p = max.object("box", 3, 1, max.material("m", 1, "t.tga"));
    p->vertices[0].u = -0.25f;
    p->vertices[0].v = -0.25f;
    engine::engineSettings.maxCompat = 1;
    MessageCapture log;
    ASSERT_EQ(PrepareWithSortTable(max.get()), 1);
    EXPECT_FLOAT_EQ(p->vertices[0].u, 63.75f);
    EXPECT_FLOAT_EQ(p->vertices[0].v, 191.25f);
    EXPECT_NE(log.text().find("\n3dsmax compat. uv-texture-map conversion done in: box"),
              std::string::npos);
}

TEST_F(Prepare, ShadingConversionsAndPrecomputedVertexLight) {
    std::vector<std::uint32_t> palette(256, 0x808080);
    PictureFile files({{"p.tga", Tga8(256, 256, palette, [](int, int) { return 0; })}});
    scene::Material* shiny = scene.material("shiny", 3, "", scene::MATERIAL_TWOSIDED);
    scene::Material* lit = scene.material("lit", 1, "", scene::MATERIAL_TWOSIDED);
    scene::Material* litTextured = scene.material("littex", 1, "p.tga", scene::MATERIAL_TWOSIDED);
    scene::Material* oneSided = scene.material("onesided", 1, "p.tga");
    scene::Object* a = scene.object("a", 3, 1, lit);
    scene::Object* b = scene.object("b", 3, 101, litTextured);
    a->vertices[1].transformed = {5, 0, 0};   // halfway through the range
    b->vertices[2].transformed = {100, 0, 0}; // out of reach
    scene.light(0, 0, 0, 0, 10);
    engine::CollectLights(scene.get());
    engine::engineSettings.maxCompat = 1;
    MessageCapture log;
    ASSERT_EQ(prepare(), 1) << err;
    EXPECT_EQ(shiny->shading, 2);
    EXPECT_EQ(shiny->flags & scene::MATERIAL_TWOSIDED, 0);
    EXPECT_EQ(lit->shading, engine::SHADING_CONSTANT_GOURAUD);
    EXPECT_EQ(litTextured->shading, engine::SHADING_CONSTANT_GOURAUD);
    EXPECT_EQ(oneSided->shading, 1);
    EXPECT_EQ(litTextured->texture.textureDepth, 8);
    EXPECT_EQ(oneSided->texture.textureDepth, 32); // a palette picture converted to 32 bits
    EXPECT_FLOAT_EQ(a->vertices[0].vertexLight, 255.0f);
    EXPECT_FLOAT_EQ(a->vertices[1].vertexLight, 127.5f);
    EXPECT_FLOAT_EQ(b->vertices[0].vertexLight, 63.0f);
    EXPECT_FLOAT_EQ(b->vertices[2].vertexLight, 0.0f);
    const std::string expected =
        "\n3dsmax compat. shading conversion ('phong+2-sided'->'gouraud') done in: shiny"
        "\nApplying vertex lighting(conv. 'constant+2-sided'->'constant gouraud') done in: lit "
        "littex\nApplying constant gouraud to objects mapping:...";
    EXPECT_EQ(log.text().substr(0, expected.size()), expected);

    // Without the switch nothing is converted or lit.
    SceneBuilder plain;
    scene::Material* flat = plain.material("lit", 1, "p.tga", scene::MATERIAL_TWOSIDED);
    scene::Object* o = plain.object("a", 3, 1, flat);
    engine::engineSettings.vertexLighting = 0;
    ASSERT_EQ(PrepareWithSortTable(plain.get()), 1);
    EXPECT_EQ(flat->shading, 1);
    EXPECT_EQ(o->vertices[0].vertexLight, 0.0f);
}

TEST_F(Prepare, UnknownShadingAndOverlongNamesAreRefused) {
    PictureFile files({{"t.tga", Tga32(256, 256, distinct)}});
    scene.material("ok", 1, "t.tga");
    scene.material("odd", 7, "t.tga");
    engine::engineSettings.maxCompat = 1;
    MessageCapture log;
    EXPECT_EQ(prepare(), 0);
    EXPECT_NE(
        log.text().find("\n*Error! Unknown material shading(code: 7)!"
                        "\n*3ds max users: objects/materials' names are probably duplicated!"),
        std::string::npos);
    EXPECT_EQ(scene.get()->textureBuffer, nullptr);
    for (scene::WorldNode* n = scene.get()->worldFirst; n; n = n->next)
        EXPECT_EQ(static_cast<scene::Material*>(n->record)->texture.texturePixels, nullptr);

    // 90 characters fit the 100-byte path with the folder (a dull texture stands in for the
    // missing file); 91 would overflow it.
    engine::engineSettings.dullTextures = 1;
    SceneBuilder longNames;
    longNames.material("fits", 2, std::string(86, 'a') + ".tga");
    scene::Material* tooLong = longNames.material("toolong", 1, std::string(87, 'b') + ".tga");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(PrepareWithSortTable(longNames.get()), 0);
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(text.find("aaaa"), std::string::npos) << text;
    EXPECT_NE(text.find("in material toolong is longer than 90 characters!"), std::string::npos)
        << text;
    EXPECT_EQ(tooLong->texture.texturePixels, nullptr);
}

} // namespace
