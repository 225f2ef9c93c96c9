// The trail blend against per-byte formulas, for every mode, on random pixels; the fast
// version against the plain one.
#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/trail.h"

namespace {

std::uint32_t byteOf(std::uint32_t p, int i) {
    return (p >> (8 * i)) & 0xFF;
}

// One blended pixel as the formulas give it.
std::uint32_t expected(std::uint32_t f, std::uint32_t s, bool packed) {
    std::uint32_t r = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t b;
        if (packed)
            b = ((byteOf(s, i) & 0xFE) >> 1) + ((byteOf(f, i) & 0xFE) >> 1);
        else
            b = i == 3 ? byteOf(f, i) : (byteOf(s, i) + byteOf(f, i)) >> 1;
        r |= b << (8 * i);
    }
    return r;
}

struct Surfaces {
    int width, height, pitch; // pitch in pixels
    std::vector<std::uint32_t> frame, previous;
    Surfaces(int w, int h, int p, unsigned seed) : width(w), height(h), pitch(p) {
        std::mt19937 rng(seed);
        frame.resize(static_cast<std::size_t>(p) * h);
        previous.resize(frame.size());
        for (auto& x : frame) x = rng();
        for (auto& x : previous) x = rng();
    }
};

// Checks every pixel of a blended frame against the formulas with shift s.
void expectBlend(const Surfaces& before, const std::vector<std::uint32_t>& after, int shift,
                 bool packed, int mode) {
    const long last = static_cast<long>(before.height - 1) * before.pitch + before.width - 1;
    for (int y = 0; y < before.height; ++y) {
        for (int x = 0; x < before.pitch; ++x) {
            const long i = static_cast<long>(y) * before.pitch + x;
            const std::uint32_t f = before.frame[i];
            std::uint32_t want = f; // padding, and the odd pixel a packed row leaves
            if (x < (packed ? before.width / 2 * 2 : before.width))
                want = expected(f, before.previous[std::min(i + shift, last)], packed);
            ASSERT_EQ(after[i], want) << "mode " << mode << " at " << x << "," << y;
        }
    }
}

struct Mode {
    int mode, shift;
    bool packed;
};

TEST(Trail, EveryModeShiftsAndBlendsAsItsTableSays) {
    const Mode modes[] = {{0, 0, false},   {1, 0, false},    {7, 0, false},   {-5, 0, false},
                          {2, 1, false},   {3, 2, false},    {1001, 2, true}, {1002, 1, true},
                          {1003, 2, true}, {1000, 0, false}, {1004, 0, false}};
    for (const Mode& m : modes) {
        for (auto [w, h, p] : {std::array<int, 3>{320, 200, 320}, {37, 5, 37}, {9, 4, 12}}) {
            Surfaces s(w, h, p, static_cast<unsigned>(m.mode + w));
            for (int fast = 0; fast < 2; ++fast) {
                std::vector<std::uint32_t> out = s.frame;
                if (fast)
                    engine::ApplyTrail(out.data(), s.previous.data(), w, h, p * 4, m.mode);
                else
                    engine::ApplyTrailScalar(out.data(), s.previous.data(), w, h, p * 4, m.mode);
                expectBlend(s, out, m.shift, m.packed, m.mode);
            }
        }
    }
}

TEST(Trail, TheLastPixelsTakeTheSurfacesLastPixel) {
    // 4 x 2 pixels; with shift 2 the last two pixels of the last row read past the end.
    Surfaces s(4, 2, 4, 3);
    for (auto& x : s.frame) x = 0;
    for (int i = 0; i < 8; ++i) s.previous[i] = static_cast<std::uint32_t>(i * 0x00020202);
    std::vector<std::uint32_t> out = s.frame;
    engine::ApplyTrail(out.data(), s.previous.data(), 4, 2, 16, 3);
    EXPECT_EQ(out[5], (7u * 0x00020202) >> 1); // pixel 5 reads pixel 7
    EXPECT_EQ(out[6], (7u * 0x00020202) >> 1); // past the end: pixel 7
    EXPECT_EQ(out[7], (7u * 0x00020202) >> 1);
    // The last pixel of a row reads the start of the next.
    EXPECT_EQ(out[3], (5u * 0x00020202) >> 1);
}

TEST(Trail, RefusesSurfacesItCannotWalk) {
    Surfaces s(8, 2, 8, 1);
    std::vector<std::uint32_t> out = s.frame;
    engine::ApplyTrail(out.data(), s.previous.data(), 8, 2, 16, 1); // pitch narrower than a row
    engine::ApplyTrail(out.data(), nullptr, 8, 2, 32, 1);
    engine::ApplyTrail(out.data(), s.previous.data(), 0, 2, 32, 1);
    engine::ApplyTrail(out.data(), s.previous.data(), 8, 2, 30, 1);
    EXPECT_EQ(out, s.frame);
}

} // namespace
