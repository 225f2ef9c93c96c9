#include "audio/block_log.h"
#include "audio/heard_clock.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(HeardClock, MovesOnAtTheOutputRateUpToWhatTheDeviceHolds) {
    audio::ClockAnchor a{10000, 11024, 5'000'000'000};
    EXPECT_EQ(audio::heardFrameAt(a, 5'000'000'000, 44100), 10000);
    EXPECT_EQ(audio::heardFrameAt(a, 5'010'000'000, 44100), 10441); // 10 ms later
    EXPECT_EQ(audio::heardFrameAt(a, 6'000'000'000, 44100), 11024); // starved: stays at the limit
    EXPECT_EQ(audio::heardFrameAt(a, 4'000'000'000, 44100), 10000); // a reading before the anchor
    // While the device's first buffers fill, nothing is heard yet.
    audio::ClockAnchor start{-1024, 0, 0};
    EXPECT_EQ(audio::heardFrameAt(start, 10'000'000, 44100), 0);
    EXPECT_EQ(audio::heardFrameAt(start, 30'000'000, 44100), 0);
    // Days of running do not overflow.
    audio::ClockAnchor late{0, INT64_MAX, 0};
    EXPECT_EQ(audio::heardFrameAt(late, 864'000'000'000'000, 44100), 864'000LL * 44100);
}

TEST(HeardClock, ReadersNeverSeeHalfAnAnchor) {
    audio::HeardClock clock;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (std::int64_t i = 1; !stop.load(); ++i)
            clock.publish(audio::ClockAnchor{i, i + 1024, i * 3});
    });
    for (int n = 0; n < 200000; ++n) {
        audio::ClockAnchor a = clock.read();
        ASSERT_EQ(a.limitFrame - a.heardFrame, a.heardFrame == 0 ? 0 : 1024);
        ASSERT_EQ(a.timeNs, a.heardFrame * 3);
    }
    stop.store(true);
    writer.join();
}

TEST(BlockLog, AnswersOnlyForTheBlockItHolds) {
    audio::BlockLog log;
    audio::BlockRecord r;
    EXPECT_FALSE(log.read(0, r)); // a fresh log holds nothing, block 0 included
    log.write(5, {0x00100002, 0x00400020});
    ASSERT_TRUE(log.read(5, r));
    EXPECT_EQ(r.position, 0x00100002u);
    EXPECT_EQ(r.levels, 0x00400020u);
    EXPECT_FALSE(log.read(5 + audio::LOGGED_BLOCKS, r));
    log.write(5 + audio::LOGGED_BLOCKS, {7, 8}); // same slot, later block
    EXPECT_FALSE(log.read(5, r));
    ASSERT_TRUE(log.read(5 + audio::LOGGED_BLOCKS, r));
    EXPECT_EQ(r.position, 7u);
    log.clear();
    EXPECT_FALSE(log.read(5 + audio::LOGGED_BLOCKS, r));
}

TEST(BlockLog, ReaderRacingTheWriterNeverMixesTwoBlocks) {
    // The writer runs until the reader has checked enough records read while it wrote, however
    // the two threads happen to be scheduled.
    audio::BlockLog log;
    std::atomic<std::uint64_t> written{0};
    std::atomic<bool> enough{false};
    std::thread writer([&] {
        for (std::uint64_t b = 0; !enough.load(std::memory_order_acquire); ++b) {
            auto v = static_cast<std::uint32_t>(b);
            log.write(b, {v, ~v});
            written.store(b + 1, std::memory_order_release);
        }
    });
    std::uint64_t checked = 0;
    while (checked < 20000) {
        std::uint64_t w = written.load(std::memory_order_acquire);
        if (w == 0) continue;
        for (std::uint64_t b = w > 3 ? w - 3 : 0; b < w + 2; ++b) {
            audio::BlockRecord r;
            if (!log.read(b, r)) continue;
            if (r.position != static_cast<std::uint32_t>(b) ||
                r.levels != ~static_cast<std::uint32_t>(b)) {
                enough.store(true, std::memory_order_release);
                writer.join();
                FAIL() << "block " << b << " read as " << r.position << ", " << r.levels;
            }
            ++checked;
        }
    }
    enough.store(true, std::memory_order_release);
    writer.join();
    EXPECT_GE(checked, 20000u);
}

} // namespace
