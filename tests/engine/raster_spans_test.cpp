// The inner loops' arithmetic, pixel by pixel, against the plain formulas of each drawer; and
// the wide loops against the scalar ones, bit for bit, on random spans of every length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "engine/raster.h"
#include "engine/raster_spans.h"
#include "engine/settings.h"
#include "support/raster_reference.h"

namespace {

using engine::raster::SpanRoutine;
using engine::raster::SpanRoutines;
using engine::raster::SpanSource;

std::uint32_t Channel(std::uint32_t p, int c) {
    return (p >> (8 * c)) & 255;
}

struct Pictures {
    std::vector<std::uint32_t> texels, previous;
    std::vector<std::uint8_t> palette;
    SpanSource src{};
    explicit Pictures(std::mt19937& rng) : texels(65536), previous(320 * 200), palette(131072) {
        for (auto& t : texels) t = rng();
        for (auto& p : previous) p = rng();
        for (auto& b : palette) b = static_cast<std::uint8_t>(rng());
        src.texels = texels.data();
        src.indices = palette.data();
        src.previous = previous.data();
        src.previousWidth = 320;
        src.previousHeight = 200;
    }
};

// The texel a swizzled-texture loop reads at pixel k: u and v keep 15 fraction bits, so the
// start and the step lose their lowest bit, and wrap at 256.
std::uint32_t TexelAt(const Pictures& p, const std::int32_t* a, const std::int32_t* d, int k) {
    const auto c = [k](std::int32_t start, std::int32_t step) {
        const std::uint64_t s = (static_cast<std::uint32_t>(start) >> 1) & 0x7FFFFF;
        const std::uint64_t t = (static_cast<std::uint32_t>(step) >> 1) & 0x7FFFFF;
        return static_cast<int>(((s + t * static_cast<std::uint64_t>(k)) >> 15) & 255);
    };
    return p.texels[rastertest::Swizzled(c(a[0], d[0]), c(a[1], d[1]))];
}

// 16.16 value at pixel k, integer part.
std::int64_t IntAt(std::int32_t start, std::int32_t step, int k) {
    return (static_cast<std::int64_t>(start) + static_cast<std::int64_t>(step) * k) >> 16;
}

std::uint32_t Expected(int which, const Pictures& p, const std::int32_t* a, const std::int32_t* d,
                       int k, std::uint32_t frame) {
    switch (which) {
    case 0: { // gouraud: grey of the light's integer part; the light steps in a 32-bit register
        const auto light = static_cast<std::int32_t>(static_cast<std::uint32_t>(a[0]) +
                                                     static_cast<std::uint32_t>(d[0]) * k);
        const auto i = static_cast<std::uint32_t>(std::clamp(light >> 16, 0, 255));
        return i | i << 8 | i << 16;
    }
    case 1: { // shaded texture: entry (light mod 64) of the block of the index at (u, v)
        const int u = static_cast<int>(IntAt(a[0], d[0], k) & 255);
        const int v = static_cast<int>(IntAt(a[1], d[1], k) & 255);
        const int l = static_cast<int>(IntAt(a[2], d[2], k) & 63);
        std::uint32_t c;
        std::memcpy(&c, &p.palette[65536 + p.palette[v * 256 + u] * 256 + l * 4], 4);
        return c;
    }
    case 2: { // environment: previous frame at (u, v), held to the picture
        const auto u = std::clamp<std::int64_t>(IntAt(a[0], d[0], k), 0, 319);
        const auto v = std::clamp<std::int64_t>(IntAt(a[1], d[1], k), 0, 199);
        return p.previous[v * 320 + u];
    }
    case 3:
        return TexelAt(p, a, d, k);
    case 4: { // half: the mean of each channel pair, each halved first
        const std::uint32_t t = TexelAt(p, a, d, k);
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c)
            out |= ((Channel(t, c) >> 1) + (Channel(frame, c) >> 1)) << (8 * c);
        return out;
    }
    case 5: { // blend with the weights 0xC0 and 0x3F of a material of transparency 0.25
        const std::uint32_t t = TexelAt(p, a, d, k);
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            out |= ((Channel(t, c) * 0xC0 >> 8) + (Channel(frame, c) * 0x3F >> 8)) << (8 * c);
        }
        return out;
    }
    default: { // alpha: the texel's top byte weighs the frame
        const std::uint32_t t = TexelAt(p, a, d, k);
        const std::uint32_t al = t >> 24;
        std::uint32_t out = (al * 255 >> 8) << 24;
        for (int c = 0; c < 3; ++c) {
            out |= ((Channel(t, c) * (255 - al) >> 8) + (Channel(frame, c) * al >> 8)) << (8 * c);
        }
        return out;
    }
    }
}

SpanRoutine Pick(const SpanRoutines& r, int which) {
    const SpanRoutine all[] = {r.gouraud, r.shadedTexture, r.environment, r.textured,
                               r.half,    r.blend,         r.alpha};
    return all[which];
}

// Random starts and steps that keep the environment span inside its picture about half the
// time and send it out otherwise.
void RandomSpan(std::mt19937& rng, int which, int count, std::int32_t* a, std::int32_t* d) {
    for (int i = 0; i < 3; ++i) {
        a[i] = static_cast<std::int32_t>(rng());
        d[i] = static_cast<std::int32_t>(rng()) >> (rng() % 16);
    }
    if (which == 0 && rng() % 2) {
        a[0] = static_cast<std::int32_t>(rng() % (256 << 16));
        d[0] = static_cast<std::int32_t>(rng() % 65536) - 32768;
    }
    if (which == 2 && rng() % 2) {
        a[0] = static_cast<std::int32_t>(rng() % (320 << 16));
        a[1] = static_cast<std::int32_t>(rng() % (200 << 16));
        d[0] = (static_cast<std::int32_t>(rng() % (319 << 16)) - a[0]) / std::max(count, 1);
        d[1] = (static_cast<std::int32_t>(rng() % (199 << 16)) - a[1]) / std::max(count, 1);
    }
}

std::vector<const SpanRoutines*> AllSets() {
    std::vector<const SpanRoutines*> sets{&engine::raster::ScalarSpans()};
    if (engine::raster::Avx2Spans() != nullptr) sets.push_back(engine::raster::Avx2Spans());
    return sets;
}

TEST(SpanArithmeticTest, EveryInnerLoopComputesItsPlainPerPixelFormula) {
    std::mt19937 rng(5);
    Pictures pics(rng);
    pics.src.opacity = 0x00C000C0;
    pics.src.transparency = 0x003F003F;
    for (const SpanRoutines* set : AllSets()) {
        for (int which = 0; which < 7; ++which) {
            SCOPED_TRACE(::testing::Message()
                         << "routine " << which
                         << (set == &engine::raster::ScalarSpans() ? " scalar" : " wide"));
            for (int n = 0; n < 400; ++n) {
                const int count = 1 + static_cast<int>(rng() % 70);
                std::int32_t a[3], d[3];
                RandomSpan(rng, which, count, a, d);
                // Every other span lies in the frame being drawn, with room past its end.
                const bool inFrame = n % 2 == 1;
                std::vector<std::uint32_t> before(count + (inFrame ? 12 : 2));
                for (auto& b : before) b = rng();
                std::vector<std::uint32_t> row = before;
                const int size = static_cast<int>(row.size());
                engine::SetRasterTarget(inFrame ? reinterpret_cast<std::uint8_t*>(row.data())
                                                : nullptr,
                                        size * 4, size, 1);
                Pick(*set, which)(row.data() + 1, count, a, d, pics.src);
                engine::SetRasterTarget(nullptr, 0, 0, 0);
                ASSERT_EQ(row.front(), before.front());
                for (int k = count + 1; k < size; ++k) ASSERT_EQ(row[k], before[k]);
                for (int k = 0; k < count; ++k) {
                    ASSERT_EQ(row[k + 1], Expected(which, pics, a, d, k, before[k + 1]))
                        << "pixel " << k << " of " << count << (inFrame ? " in the frame" : "");
                }
            }
        }
    }
}

TEST(SpanArithmeticTest, WideLoopsMatchTheScalarOnesForAnyWeights) {
    // Weights a damaged material may carry: the 16-bit products and the saturated sum of the
    // blend are the same in both sets.
    const SpanRoutines* wide = engine::raster::Avx2Spans();
    if (wide == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 rng(6);
    Pictures pics(rng);
    for (int n = 0; n < 3000; ++n) {
        const int which = static_cast<int>(rng() % 7);
        const int count = 1 + static_cast<int>(rng() % 90);
        std::int32_t a[3], d[3];
        RandomSpan(rng, which, count, a, d);
        pics.src.opacity = rng();
        pics.src.transparency = rng();
        // The wide loops' span lies in the frame being drawn, with room past its end.
        std::vector<std::uint32_t> one(count + 8), two(count + 8);
        for (int k = 0; k < count + 8; ++k) one[k] = two[k] = rng();
        Pick(engine::raster::ScalarSpans(), which)(one.data(), count, a, d, pics.src);
        engine::SetRasterTarget(reinterpret_cast<std::uint8_t*>(two.data()), (count + 8) * 4,
                                count + 8, 1);
        Pick(*wide, which)(two.data(), count, a, d, pics.src);
        engine::SetRasterTarget(nullptr, 0, 0, 0);
        ASSERT_EQ(one, two) << "routine " << which << ", " << count << " pixels";
    }
}

TEST(SpanArithmeticTest, WholeFacesWithTheWideLoopsMatchTheScalarOnes) {
    // The drawers run the widest set; the scalar one serves processors without it. Both draw
    // the same random faces, across the clip edges too, into two frames that must agree.
    using engine::raster::ClipVertex;
    using engine::raster::FaceRoutines;
    const FaceRoutines* wide = engine::raster::Avx2Faces();
    if (wide == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 rng(8);
    Pictures pics(rng);
    pics.src.opacity = 0x00A000A0;
    pics.src.transparency = 0x005F005F;
    engine::engineSettings.clipMinX = 0;
    engine::engineSettings.clipMinY = 0;
    engine::engineSettings.clipMaxX = 320;
    engine::engineSettings.clipMaxY = 200;
    rastertest::GuardedFrame one(320, 200), two(320, 200);
    one.Fill(0x00808080);
    two.Fill(0x00808080);
    std::uniform_real_distribution<float> at(-300, 600), light(0, 70);
    for (int n = 0; n < 1400; ++n) {
        const rastertest::Triangle t = rastertest::RandomTriangle(rng, 320, 200, 60, 250);
        ClipVertex<3> pool3[engine::raster::CLIP_POOL];
        ClipVertex<2> pool2[engine::raster::CLIP_POOL];
        ClipVertex<1> pool1[engine::raster::CLIP_POOL];
        for (int i = 0; i < 3; ++i) {
            const auto x = static_cast<float>(t.x[i]), y = static_cast<float>(t.y[i]);
            pool3[i] = {x, y, {at(rng), at(rng), light(rng)}, 0};
            pool2[i] = {x, y, {pool3[i].a[0], pool3[i].a[1]}, 0};
            pool1[i] = {x, y, {light(rng) * 4}, 0};
        }
        std::uint32_t codes[3];
        std::uint32_t* outcodes[3] = {&codes[0], &codes[1], &codes[2]};
        for (const FaceRoutines* set : {&engine::raster::ScalarFaces(), wide}) {
            (set == wide ? two : one).MakeTarget();
            // Each call may change its pool's spare room; give both sets the same input.
            ClipVertex<3> p3[engine::raster::CLIP_POOL];
            ClipVertex<2> p2[engine::raster::CLIP_POOL];
            ClipVertex<1> p1[engine::raster::CLIP_POOL];
            std::copy_n(pool3, 3, p3);
            std::copy_n(pool2, 3, p2);
            std::copy_n(pool1, 3, p1);
            switch (n % 7) {
            case 0:
                set->gouraud(p1, outcodes, pics.src);
                break;
            case 1:
                set->shadedTexture(p3, outcodes, pics.src);
                break;
            case 2:
                set->environment(p2, outcodes, pics.src);
                break;
            case 3:
                set->textured(p2, outcodes, pics.src);
                break;
            case 4:
                set->half(p2, outcodes, pics.src);
                break;
            case 5:
                set->blend(p2, outcodes, pics.src);
                break;
            default:
                set->alpha(p2, outcodes, pics.src);
                break;
            }
        }
    }
    int drawn = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            ASSERT_EQ(one.At(x, y), two.At(x, y)) << x << ", " << y;
            drawn += one.At(x, y) != 0x00808080;
        }
    }
    EXPECT_GT(drawn, 32000);
    EXPECT_TRUE(one.GuardsIntact() && two.GuardsIntact());
}

TEST(SpanArithmeticTest, BlendAndAlphaStayWithinAChannelAndHitTheirEnds) {
    using engine::raster::AlphaPixel;
    using engine::raster::BlendPixel;
    // a = 0 draws the texel at 255/256; a = 255 keeps the frame at 255/256.
    EXPECT_EQ(AlphaPixel(0x00FFFFFF, 0x00000000), 0x00FEFEFEu);
    EXPECT_EQ(AlphaPixel(0xFF000000, 0x00FFFFFF), 0xFEFEFEFEu);
    EXPECT_EQ(AlphaPixel(0x80FF0000, 0x000000FF), 0x7F7E007Fu);
    // Opaque and clear weights of a constant-transparency material.
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x00000000, 0x00FF00FF, 0), 0x00FEFEFEu);
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x00102030, 0, 0x00FF00FF), 0x000F1F2Fu);
    // Every legal weight pair keeps every channel at or below 255 without saturating.
    for (std::uint32_t w = 0; w <= 255; ++w) {
        const std::uint32_t o = (255 - w) | (255 - w) << 16, t = w | w << 16;
        EXPECT_EQ(Channel(BlendPixel(0xFFFFFFFF, 0xFFFFFFFF, o, t), 0),
                  (255 * (255 - w) >> 8) + (255 * w >> 8));
    }
}

} // namespace
