// The fast span routines against the scalar reference, plus the hand-checked cases that pin
// the reference itself down.
#include "platform/cpu.h"
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using visuals::COLOR_KEY;
namespace ref = visuals::plain;

// Random pixels with a good share of the key and of near-keys, so both sides of every compare
// are exercised.
std::uint32_t randomPixel(std::mt19937& rng) {
    switch (rng() % 8) {
    case 0:
    case 1:
        return COLOR_KEY;
    case 2:
        return COLOR_KEY ^ (1u << (rng() % 32)); // differs from the key in one bit
    case 3:
        return 0xFFFFFFFFu;
    default:
        return static_cast<std::uint32_t>(rng());
    }
}

std::vector<std::uint32_t> randomPixels(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint32_t> v(n);
    for (auto& p : v) p = randomPixel(rng);
    return v;
}

// Runs fast and reference on identical copies, at every count up to 70 and at 640, from
// unaligned starts, with guard pixels after the run that nothing may touch.
template <typename Fast, typename Ref> void compareOnRandomRuns(Fast fast, Ref reference) {
    std::mt19937 rng(1234);
    std::vector<int> counts;
    for (int c = -1; c <= 70; ++c) counts.push_back(c);
    counts.push_back(639);
    counts.push_back(640);
    for (int round = 0; round < 4; ++round) {
        for (int count : counts) {
            const int offset = round; // start 0..3 pixels into the buffers
            const std::size_t n = static_cast<std::size_t>(std::max(count, 0) + offset + 8);
            auto a = randomPixels(rng, n), b = randomPixels(rng, n), d = randomPixels(rng, n);
            std::vector<std::uint8_t> bytes(n);
            for (auto& x : bytes) x = static_cast<std::uint8_t>(rng());
            auto dFast = d, dRef = d;
            const int level = static_cast<int>(rng() % 300) - 20;
            const auto wa = static_cast<std::uint16_t>(rng() % 3 == 0 ? rng() : rng() % 257);
            const auto wb = static_cast<std::uint16_t>(rng() % 3 == 0 ? rng() : rng() % 257);
            fast(a.data() + offset, b.data() + offset, bytes.data() + offset, dFast.data() + offset,
                 count, level, wa, wb);
            reference(a.data() + offset, b.data() + offset, bytes.data() + offset,
                      dRef.data() + offset, count, level, wa, wb);
            ASSERT_EQ(dFast, dRef) << "count " << count << " offset " << offset << " level "
                                   << level << " weights " << wa << "," << wb;
        }
    }
}

#define ARGS                                                                                       \
    const std::uint32_t *a, const std::uint32_t *b, const std::uint8_t *bytes, std::uint32_t *d,   \
        int n, int level, std::uint16_t wa, std::uint16_t wb

// One instruction set's routines.
struct SpanSet {
    const char* name;
    decltype(&visuals::subtractLevelSpan) subtractLevel;
    decltype(&visuals::fadeSpan) fade;
    decltype(&visuals::addHalfSpan) addHalf;
    decltype(&visuals::addBlueSpan) addBlue;
    decltype(&visuals::keyedCopySpan) keyedCopy;
    decltype(&visuals::keyedBlendSpan) keyedBlend;
    decltype(&visuals::overlayKeyedSpan) overlayKeyed;
    decltype(&visuals::fillKeyedSpan) fillKeyed;
    bool (*usable)();
};

bool always() {
    return true;
}

#define VRK_SPAN_SET(ns, usable)                                                                   \
    SpanSet {                                                                                      \
#ns, ns::subtractLevelSpan, ns::fadeSpan, ns::addHalfSpan, ns::addBlueSpan,                \
            ns::keyedCopySpan, ns::keyedBlendSpan, ns::overlayKeyedSpan, ns::fillKeyedSpan, usable \
    }

class SpanSets : public ::testing::TestWithParam<SpanSet> {};

TEST_P(SpanSets, MatchTheReferenceOnRandomRuns) {
    static SpanSet set;
    set = GetParam();
    if (!set.usable()) GTEST_SKIP() << set.name << " is not available on this processor";
        // Unused parameters are part of the common shape of these calls.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
    compareOnRandomRuns([](ARGS) { set.subtractLevel(a, d, n, level); },
                        [](ARGS) { ref::subtractLevelSpan(a, d, n, level); });
    compareOnRandomRuns([](ARGS) { set.fade(d, n); }, [](ARGS) { ref::fadeSpan(d, n); });
    compareOnRandomRuns([](ARGS) { set.addHalf(a, d, n); },
                        [](ARGS) { ref::addHalfSpan(a, d, n); });
    compareOnRandomRuns([](ARGS) { set.addBlue(bytes, d, n); },
                        [](ARGS) { ref::addBlueSpan(bytes, d, n); });
    compareOnRandomRuns([](ARGS) { set.keyedCopy(a, d, n); },
                        [](ARGS) { ref::keyedCopySpan(a, d, n); });
    compareOnRandomRuns([](ARGS) { set.keyedBlend(a, b, d, n, wa, wb); },
                        [](ARGS) { ref::keyedBlendSpan(a, b, d, n, wa, wb); });
    compareOnRandomRuns([](ARGS) { set.overlayKeyed(a, b, d, n); },
                        [](ARGS) { ref::overlayKeyedSpan(a, b, d, n); });
    compareOnRandomRuns([](ARGS) { set.fillKeyed(a, d, n); },
                        [](ARGS) { ref::fillKeyedSpan(a, d, n); });
    // In place: the destination is also a source.
    compareOnRandomRuns([](ARGS) { set.subtractLevel(d, d, n, level); },
                        [](ARGS) { ref::subtractLevelSpan(d, d, n, level); });
    compareOnRandomRuns([](ARGS) { set.addHalf(d, d, n); },
                        [](ARGS) { ref::addHalfSpan(d, d, n); });
    compareOnRandomRuns([](ARGS) { set.keyedBlend(d, b, d, n, wa, wb); },
                        [](ARGS) { ref::keyedBlendSpan(d, b, d, n, wa, wb); });
    compareOnRandomRuns([](ARGS) { set.keyedBlend(a, d, d, n, wa, wb); },
                        [](ARGS) { ref::keyedBlendSpan(a, d, d, n, wa, wb); });
    compareOnRandomRuns([](ARGS) { set.overlayKeyed(d, b, d, n); },
                        [](ARGS) { ref::overlayKeyedSpan(d, b, d, n); });
#pragma GCC diagnostic pop
}

// The fast sets exist on x86 only.
std::vector<SpanSet> spanSets() {
    std::vector<SpanSet> sets{VRK_SPAN_SET(visuals, always)};
#ifdef VRK_SPANS_X86
    sets.push_back(VRK_SPAN_SET(visuals::sse2, always));
    sets.push_back(VRK_SPAN_SET(visuals::avx2, platform::cpuHasAvx2));
    SpanSet avx512 = VRK_SPAN_SET(visuals::avx2, platform::cpuHasAvx512Vbmi);
    avx512.name = "visuals::avx512";
    avx512.keyedBlend = visuals::avx512::keyedBlendSpan;
    sets.push_back(avx512);
#endif
    return sets;
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, SpanSets, ::testing::ValuesIn(spanSets()),
                         [](const auto& info) {
                             return std::string(info.index == 0 ? "best" : info.param.name + 9);
                         });

// The reference must be right on its own: these values are worked out by hand.
TEST(SpanRoutines, SubtractLevelKeepsTopByteAndSaturates) {
    std::uint32_t s[2] = {0xAB102030u, 0x00FFFFFFu}, d[2] = {};
    visuals::subtractLevelSpan(s, d, 2, 0);
    EXPECT_EQ(d[0], 0xAB102030u);
    EXPECT_EQ(d[1], 0x00FFFFFFu);
    visuals::subtractLevelSpan(s, d, 2, 255);
    EXPECT_EQ(d[0], 0xAB000000u);
    EXPECT_EQ(d[1], 0x00000000u);
    visuals::subtractLevelSpan(s, d, 2, 0x18);
    EXPECT_EQ(d[0], 0xAB000818u);
    EXPECT_EQ(d[1], 0x00E7E7E7u);
}

TEST(SpanRoutines, FadeTakesFifteenAndSeventeenCallsReachBlack) {
    std::uint32_t d[2] = {0x7F0E0F10u, 0x00FFFFFFu};
    visuals::fadeSpan(d, 2);
    EXPECT_EQ(d[0], 0x7F000001u);
    EXPECT_EQ(d[1], 0x00F0F0F0u);
    for (int i = 0; i < 15; ++i) visuals::fadeSpan(d, 2);
    EXPECT_EQ(d[1], 0x000F0F0Fu);
    visuals::fadeSpan(d, 2);
    EXPECT_EQ(d[0], 0x7F000000u);
    EXPECT_EQ(d[1], 0u);
}

TEST(SpanRoutines, AddHalfAddsHalfOfEveryByteWithSaturation) {
    std::uint32_t s[3] = {0x00FFFFFFu, 0x03050709u, 0xFFFFFFFFu};
    std::uint32_t d[3] = {0x00808080u, 0x10101010u, 0x81818181u};
    visuals::addHalfSpan(s, d, 3); // odd counts are fine: pixel by pixel
    EXPECT_EQ(d[0], 0x00FFFFFFu);  // 0x80 + 0x7F
    EXPECT_EQ(d[1], 0x11121314u);
    EXPECT_EQ(d[2], 0xFFFFFFFFu);
}

TEST(SpanRoutines, AddBlueTouchesOnlyBlue) {
    std::uint8_t s[4] = {0x10, 0xF0, 0x01, 0x55};
    std::uint32_t d[4] = {0x12345678u, 0x00FFFF20u, 0xAAAAAAFFu, 0x00000000u};
    visuals::addBlueSpan(s, d, 3);
    EXPECT_EQ(d[0], 0x12345688u);
    EXPECT_EQ(d[1], 0x00FFFFFFu);
    EXPECT_EQ(d[2], 0xAAAAAAFFu); // third pixel: odd count, untouched anyway
    EXPECT_EQ(d[3], 0u);
}

TEST(SpanRoutines, KeyedCopyComparesTheWholePixel) {
    std::uint32_t s[4] = {0x00FF00FFu, 0x01FF00FFu, 0xFFFF00FFu, 0x00FF00FEu};
    std::uint32_t d[4] = {1, 2, 3, 4};
    visuals::keyedCopySpan(s, d, 4);
    EXPECT_EQ(d[0], 1u);
    EXPECT_EQ(d[1], 0x01FF00FFu);
    EXPECT_EQ(d[2], 0xFFFF00FFu);
    EXPECT_EQ(d[3], 0x00FF00FEu);
}

TEST(SpanRoutines, KeyedBlendWeighsSixteenBitLanes) {
    const std::uint32_t a[6] = {0x00102030u, 0x00FFFFFFu, 0x80808080u,
                                0x11223344u, 0x11223344u, 0x01020304u};
    const std::uint32_t b[6] = {0x00FFFFFFu, 0x00FFFFFFu, 0x00000000u,
                                COLOR_KEY,   0x55667788u, 0x01FF00FFu};
    std::uint32_t d[6] = {};
    visuals::keyedBlendSpan(a, b, d, 2, 128, 128);
    EXPECT_EQ(d[0], 0x00878F97u); // (0x10*128 + 255*128) / 256 = 135 ...
    EXPECT_EQ(d[1], 0x00FFFFFFu); // (255*128)*2 / 256 = 255
    visuals::keyedBlendSpan(a, b, d, 2, 256, 256);
    EXPECT_EQ(d[1], 0x00FFFFFFu); // 65280 + 65280 saturates at 65535 -> 255
    visuals::keyedBlendSpan(a + 2, b + 2, d + 2, 2, 512, 0);
    EXPECT_EQ(d[2], 0u);          // 0x80 * 512 = 65536 keeps its low 16 bits: 0
    EXPECT_EQ(d[3], 0x11223344u); // b is the key: a as it is
    visuals::keyedBlendSpan(a + 4, b + 4, d + 4, 2, 256, 0);
    EXPECT_EQ(d[4], 0x11223344u); // (256, 0) reproduces a
    EXPECT_EQ(d[5], 0x01020304u); // 0x01FF00FF is no key
    visuals::keyedBlendSpan(a + 4, b + 4, d + 4, 2, 0, 256);
    EXPECT_EQ(d[4], 0x55667788u); // (0, 256) reproduces b
    EXPECT_EQ(d[5], 0x01FF00FFu);
}

// Every byte pair, for weight pairs at the edges of the fast blends' ranges (one weight 128 to
// 255 and the other below 128; both below 256 with a sum of at most 258: the intro's
// cross-fades sum to 258) and just past them, in every instruction set.
TEST(SpanRoutines, KeyedBlendMatchesTheReferenceOnEveryBytePair) {
    std::vector<std::uint32_t> a(65536), b(65536);
    for (std::uint32_t i = 0; i < 65536; ++i) {
        const std::uint32_t x = i & 255, y = i >> 8;
        a[i] = x | y << 8 | (255 - x) << 16 | (255 - y) << 24;
        b[i] = y | x << 8 | (255 - y) << 16 | (255 - x) << 24;
        if (b[i] == visuals::COLOR_KEY) b[i] = 0x00FF00FEu;
    }
    const std::uint16_t pairs[][2] = {{255, 3}, {3, 255},   {131, 127}, {129, 129}, {255, 0},
                                      {0, 255}, {128, 128}, {200, 56},  {255, 2},   {130, 129},
                                      {255, 4}, {129, 130}, {255, 255}, {256, 2},   {2, 256},
                                      {0, 0},   {1, 257},   {254, 5},   {255, 1},   {127, 127},
                                      {254, 2}, {2, 254},   {1, 1},     {127, 129}, {100, 100}};
    for (const auto& w : pairs) {
        std::vector<std::uint32_t> want(65536), sse(65536), avx(65536), best(65536);
        ref::keyedBlendSpan(a.data(), b.data(), want.data(), 65536, w[0], w[1]);
        visuals::keyedBlendSpan(a.data(), b.data(), best.data(), 65536, w[0], w[1]);
        EXPECT_EQ(want, best) << w[0] << "," << w[1];
#ifdef VRK_SPANS_X86
        visuals::sse2::keyedBlendSpan(a.data(), b.data(), sse.data(), 65536, w[0], w[1]);
        EXPECT_EQ(want, sse) << w[0] << "," << w[1];
        if (platform::cpuHasAvx2()) {
            visuals::avx2::keyedBlendSpan(a.data(), b.data(), avx.data(), 65536, w[0], w[1]);
            EXPECT_EQ(want, avx) << w[0] << "," << w[1];
        }
        if (platform::cpuHasAvx512Vbmi()) {
            visuals::avx512::keyedBlendSpan(a.data(), b.data(), avx.data(), 65536, w[0], w[1]);
            EXPECT_EQ(want, avx) << w[0] << "," << w[1];
            std::vector<std::uint32_t> inPlace = a; // the intro blends into its frame
            visuals::avx512::keyedBlendSpan(inPlace.data(), b.data(), inPlace.data(), 65536, w[0],
                                            w[1]);
            EXPECT_EQ(want, inPlace) << w[0] << "," << w[1];
        }
#endif
    }
    // The intro's 64 steps.
    for (int k = 0; k < 64; ++k) {
        const auto wa = static_cast<std::uint16_t>(255 - 4 * k);
        const auto wb = static_cast<std::uint16_t>(255 - 4 * (63 - k));
        std::vector<std::uint32_t> want(65536), got(65536);
        ref::keyedBlendSpan(a.data(), b.data(), want.data(), 65536, wa, wb);
        visuals::keyedBlendSpan(a.data(), b.data(), got.data(), 65536, wa, wb);
        ASSERT_EQ(want, got) << k;
    }
}

TEST(SpanRoutines, OverlayAndFillChooseByTheKey) {
    const std::uint32_t a[2] = {0xA1u, 0xA2u}, b[2] = {COLOR_KEY, 0xB2u};
    std::uint32_t d[2] = {};
    visuals::overlayKeyedSpan(a, b, d, 2);
    EXPECT_EQ(d[0], 0xA1u);
    EXPECT_EQ(d[1], 0xB2u);
    std::uint32_t behind[2] = {COLOR_KEY, 0xD2u};
    visuals::fillKeyedSpan(a, behind, 2);
    EXPECT_EQ(behind[0], 0xA1u);
    EXPECT_EQ(behind[1], 0xD2u);
}

TEST(SpanRoutines, OddCountsLeaveTheLastPixelOfPairedRoutines) {
    const std::uint32_t src[3] = {0x00112233u, 0x00445566u, 0x00778899u};
    const std::uint8_t bytes[3] = {9, 9, 9};
    auto fresh = [] { return std::vector<std::uint32_t>{0x00AAAAAAu, 0x00AAAAAAu, 0x00AAAAAAu}; };
    auto check = [&](auto call) {
        auto d = fresh();
        call(d.data());
        EXPECT_EQ(d[2], 0x00AAAAAAu);
        EXPECT_NE(d[1], 0x00AAAAAAu);
    };
    check([&](std::uint32_t* d) { visuals::subtractLevelSpan(src, d, 3, 1); });
    check([&](std::uint32_t* d) { visuals::fadeSpan(d, 3); });
    check([&](std::uint32_t* d) { visuals::addBlueSpan(bytes, d, 3); });
    check([&](std::uint32_t* d) { visuals::keyedCopySpan(src, d, 3); });
    check([&](std::uint32_t* d) { visuals::keyedBlendSpan(src, src, d, 3, 256, 0); });
    check([&](std::uint32_t* d) { visuals::overlayKeyedSpan(src, src, d, 3); });
    std::vector<std::uint32_t> keyed{COLOR_KEY, COLOR_KEY, COLOR_KEY};
    visuals::fillKeyedSpan(src, keyed.data(), 3);
    EXPECT_EQ(keyed[1], src[1]);
    EXPECT_EQ(keyed[2], COLOR_KEY);
    // A single pixel is no pair at all.
    auto one = fresh();
    visuals::subtractLevelSpan(src, one.data(), 1, 0);
    EXPECT_EQ(one[0], 0x00AAAAAAu);
}

} // namespace
