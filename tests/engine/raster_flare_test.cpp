// The flare blit: saturating addition, the clip to everything but the frame's last column and
// row, pairs of pixels, and pictures larger than the frame.
#include <gtest/gtest.h>

#include <vector>

#include "engine/raster.h"

namespace {

constexpr int W = 320, H = 200;
constexpr std::uint32_t GUARD = 0xDEADBEEF;

// A W x H frame followed by a guard row, all pixels 0x00101010 to start with.
struct Frame {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(W * (H + 1), 0x00101010);
    Frame() { std::fill(pixels.begin() + W * H, pixels.end(), GUARD); }
    std::uint32_t At(int x, int y) const { return pixels[y * W + x]; }
    bool Changed(int x, int y) const { return At(x, y) != 0x00101010; }
    bool GuardIntact() const {
        for (int x = 0; x < W; ++x) {
            if (pixels[W * H + x] != GUARD) return false;
        }
        return true;
    }
    // Columns and rows with a changed pixel, as [first, last]; -1 when none.
    void Extent(int& x0, int& x1, int& y0, int& y1) const {
        x0 = y0 = W + H;
        x1 = y1 = -1;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (!Changed(x, y)) continue;
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
};

std::vector<std::uint32_t> Picture(int w, int h, std::uint32_t value) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, value);
}

// The centred placement the frame renderer uses.
void BlitCentred(const std::vector<std::uint32_t>& p, int w, int h, int cx, int cy, Frame& f) {
    engine::BlitFlare(p.data(), w, h, cx - (w >> 1), cy - (h >> 1), f.pixels.data(), W, H);
}

TEST(FlareTest, AFlareAtTheLeftEdgeDrawsItsRightHalf) {
    Frame f;
    BlitCentred(Picture(64, 64, 0x00010203), 64, 64, 0, 100, f);
    int x0, x1, y0, y1;
    f.Extent(x0, x1, y0, y1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 31);
    EXPECT_EQ(y0, 68);
    EXPECT_EQ(y1, 131);
    EXPECT_EQ(f.At(5, 100), 0x00111213u);
}

TEST(FlareTest, AFlareAtTheRightEdgeStopsBeforeTheLastColumnInWholePairs) {
    Frame f;
    BlitCentred(Picture(64, 64, 0x00010203), 64, 64, 300, 100, f);
    int x0, x1, y0, y1;
    f.Extent(x0, x1, y0, y1);
    EXPECT_EQ(x0, 268);
    EXPECT_EQ(x1, 317); // 51 columns to 318, 25 pairs
    EXPECT_EQ(y1, 131);
    // At the bottom edge rows stop before the last one.
    Frame g;
    BlitCentred(Picture(64, 64, 0x00010203), 64, 64, 100, 190, g);
    g.Extent(x0, x1, y0, y1);
    EXPECT_EQ(y0, 158);
    EXPECT_EQ(y1, 198);
    EXPECT_TRUE(g.GuardIntact());
}

TEST(FlareTest, WhiteSaturatesAndBlackLeavesTheFrameAlone) {
    Frame f;
    auto picture = Picture(16, 16, 0x00FFFFFF);
    for (int x = 8; x < 16; ++x) {
        for (int y = 0; y < 16; ++y) picture[y * 16 + x] = 0;
    }
    picture[0] = 0x00F8F0E0;
    engine::BlitFlare(picture.data(), 16, 16, 40, 40, f.pixels.data(), W, H);
    EXPECT_EQ(f.At(41, 41), 0x00FFFFFFu);
    EXPECT_EQ(f.At(40, 40), 0x00FFFFF0u); // each byte saturates alone
    for (int x = 48; x < 56; ++x) EXPECT_EQ(f.At(x, 45), 0x00101010u);
}

TEST(FlareTest, AnOddVisibleWidthLeavesItsLastColumnOut) {
    Frame f;
    engine::BlitFlare(Picture(5, 3, 0x00000001).data(), 5, 3, 10, 10, f.pixels.data(), W, H);
    EXPECT_TRUE(f.Changed(13, 10));
    EXPECT_FALSE(f.Changed(14, 10));
    // One visible column is no pair at all.
    Frame g;
    engine::BlitFlare(Picture(5, 3, 0x00000001).data(), 5, 3, -4, 10, g.pixels.data(), W, H);
    int x0, x1, y0, y1;
    g.Extent(x0, x1, y0, y1);
    EXPECT_EQ(x1, -1);
}

TEST(FlareTest, PicturesBeyondTheFrameDrawNothing) {
    Frame f;
    const auto p = Picture(64, 64, 0x00010101);
    engine::BlitFlare(p.data(), 64, 64, W + 1, 10, f.pixels.data(), W, H);
    engine::BlitFlare(p.data(), 64, 64, 10, H + 1, f.pixels.data(), W, H);
    engine::BlitFlare(p.data(), 64, 64, W - 1, 10, f.pixels.data(), W, H);
    engine::BlitFlare(p.data(), 64, 64, -64, 10, f.pixels.data(), W, H);
    engine::BlitFlare(p.data(), 64, 64, 10, -64, f.pixels.data(), W, H);
    engine::BlitFlare(p.data(), -5, 64, 10, 10, f.pixels.data(), W, H);
    engine::BlitFlare(nullptr, 64, 64, 10, 10, f.pixels.data(), W, H);
    int x0, x1, y0, y1;
    f.Extent(x0, x1, y0, y1);
    EXPECT_EQ(x1, -1);
    EXPECT_TRUE(f.GuardIntact());
}

TEST(FlareTest, APictureLargerThanTheFrameIsClippedOnEverySide) {
    // 400 x 300, starting left of and above the frame: each frame row receives one picture
    // row, rows 0 to 198 and columns 0 to 317 (319 visible, whole pairs only), nothing spills
    // into a next row or past the end.
    const int w = 400, h = 300, x = -20, y = -30;
    std::vector<std::uint32_t> p(static_cast<std::size_t>(w) * h);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c)
            p[r * w + c] = static_cast<std::uint32_t>(r & 0x7F) | 0x00010000;
    }
    Frame f;
    engine::BlitFlare(p.data(), w, h, x, y, f.pixels.data(), W, H);
    for (int fy = 0; fy < H; ++fy) {
        for (int fx = 0; fx < W; ++fx) {
            const bool inside = fx < W - 2 && fy < H - 1;
            const std::uint32_t want =
                inside ? 0x00101010u + (static_cast<std::uint32_t>((fy - y) & 0x7F) | 0x00010000)
                       : 0x00101010u;
            ASSERT_EQ(f.At(fx, fy), want) << fx << ", " << fy;
        }
    }
    EXPECT_TRUE(f.GuardIntact());
}

} // namespace
