// The swizzle's fast path against its plain reference, and the two-pass point-sampled resize.
#include <cstring>
#include <gtest/gtest.h>
#include <random>

#include "engine/pictures.h"
#include "engine/resize.h"
#include "engine/swizzle.h"

namespace {

TEST(Swizzle, FastPathGivesTheReferenceBytesWithAndWithoutTint) {
    std::mt19937 random(11);
    const int pitch = 256 * 4 + 64; // rows with room after them, as a surface may have
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(pitch) * 256);
    for (auto& b : rows) b = static_cast<std::uint8_t>(random());
    const engine::AmbientTint tints[] = {
        {1.0f, 1.0f, 1.0f}, {0.5f, 0.25f, 0.0f}, {0.999f, 0.3333f, 0.7071f}, {0.1f, 0.9f, 0.6f}};
    std::vector<std::uint32_t> fast(65536), reference(65536);
    engine::SwizzleTexels(rows.data(), pitch, fast.data(), nullptr);
    engine::SwizzleTexelsReference(rows.data(), pitch, reference.data(), nullptr);
    ASSERT_EQ(fast, reference);
    for (const engine::AmbientTint& t : tints) {
        engine::SwizzleTexels(rows.data(), pitch, fast.data(), &t);
        engine::SwizzleTexelsReference(rows.data(), pitch, reference.data(), &t);
        ASSERT_EQ(fast, reference) << t.r << " " << t.g << " " << t.b;
    }
    // A tint of 1.0 keeps the colours and clears only the alpha byte.
    for (int i = 0; i < 65536; i += 97) {
        std::uint32_t texel;
        std::memcpy(&texel, &rows[static_cast<std::size_t>(i / 256) * pitch + (i % 256) * 4], 4);
        ASSERT_EQ(engine::TintTexel(texel, tints[0]), texel & 0xFFFFFF);
    }
}

TEST(Swizzle, RefusesPicturesThatAreNot256By256At32Bits) {
    std::vector<std::uint8_t> slot(262144, 0xEE);
    engine::SurfaceHandle small = engine::CreateSurface(128, 256, PTC_FORMAT_ARGB8888);
    engine::SurfaceHandle indexed = engine::CreateSurface(256, 256, PTC_FORMAT_INDEX8);
    EXPECT_EQ(engine::SwizzleTexture(small.get(), slot.data()), 0);
    EXPECT_EQ(engine::SwizzleTexture(indexed.get(), slot.data()), 0);
    EXPECT_EQ(engine::SwizzleTexture(nullptr, slot.data()), 0);
    for (std::uint8_t b : slot) ASSERT_EQ(b, 0xEE);
}

TEST(Resize, PointSamplesWithATruncatedTenBitStep) {
    // 10 pixels to 6: the step 1706/1024 falls short of 10/6, so pixel 3 takes source 4, not 5.
    engine::SurfaceHandle row = engine::CreateSurface(10, 1, PTC_FORMAT_ARGB8888);
    for (int x = 0; x < 10; ++x) engine::PixelRow(row.get(), 0)[x] = 100 + x;
    engine::SurfaceHandle six(engine::ResizeSurface(row.get(), 6, 3));
    ASSERT_NE(six, nullptr);
    const int expected[6] = {0, 1, 3, 4, 6, 8};
    for (int y = 0; y < 3; ++y)
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(engine::PixelRow(six.get(), y)[k], 100u + expected[k]);

    // Columns the same way; the indexed variant keeps the palette.
    engine::SurfaceHandle column = engine::CreateSurface(1, 10, PTC_FORMAT_INDEX8);
    for (int y = 0; y < 10; ++y) column->pixels[y * column->pitch] = static_cast<std::uint8_t>(y);
    column->palette.entries[9] = 0x123456;
    engine::SurfaceHandle tall(engine::ResizeIndexedSurface(column.get(), 2, 6));
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(tall->format.bits, 8);
    EXPECT_EQ(tall->palette.entries[9], 0x123456u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(engine::IndexRow(tall.get(), k)[0], expected[k]);
        EXPECT_EQ(engine::IndexRow(tall.get(), k)[1], expected[k]);
    }

    // Sizes below 1 and pictures of the other kind give nothing.
    EXPECT_EQ(engine::ResizeSurface(row.get(), 0, 5), nullptr);
    EXPECT_EQ(engine::ResizeSurface(row.get(), 5, -1), nullptr);
    EXPECT_EQ(engine::ResizeIndexedSurface(row.get(), 5, 5), nullptr);
    EXPECT_EQ(engine::ResizeSurface(column.get(), 5, 5), nullptr);
}

} // namespace
