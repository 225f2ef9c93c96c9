#include "audio/gain_ramp.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

std::vector<std::int16_t> noise(std::size_t frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(-32768, 32767);
    std::vector<std::int16_t> s(frames * 2);
    for (auto& v : s) v = static_cast<std::int16_t>(d(rng));
    s[0] = -32768; // the extremes too
    s[1] = 32767;
    return s;
}

TEST(GainRamp, UnityGainLeavesEverySampleAsItIs) {
    auto s = noise(1000, 1);
    auto copy = s;
    audio::GainRamp ramp;
    audio::applyGain(ramp, s.data(), 1000);
    EXPECT_EQ(s, copy);
}

TEST(GainRamp, SlideFollowsAStraightLineToSilenceWhateverTheBlockSizes) {
    const std::uint32_t frames = 3000, length = 2205;
    auto in = noise(frames, 2);
    auto out = in;
    audio::GainRamp ramp;
    audio::startRamp(ramp, 0, length);
    // Uneven pieces, as device buffers and blocks cut the stream.
    std::uint32_t done = 0, piece = 1;
    while (done < frames) {
        std::uint32_t n = std::min(piece, frames - done);
        audio::applyGain(ramp, out.data() + 2 * done, n);
        done += n;
        piece = piece * 3 % 509 + 1;
    }
    for (std::uint32_t i = 0; i < frames; ++i) {
        double gain = i + 1 >= length ? 0.0 : 1.0 - double(i + 1) / length;
        for (int c = 0; c < 2; ++c) {
            double want = in[2 * i + c] * gain;
            ASSERT_NEAR(out[2 * i + c], want, 1.0) << "frame " << i;
        }
    }
    EXPECT_EQ(ramp.gain, 0);
    EXPECT_EQ(ramp.length, 0u);
}

TEST(GainRamp, SlideStartsFromWhereAnEarlierOneStopped) {
    audio::GainRamp ramp;
    std::vector<std::int16_t> s(2 * 100, 1000);
    audio::startRamp(ramp, 0, 200);
    audio::applyGain(ramp, s.data(), 100); // halfway
    EXPECT_EQ(ramp.gain, audio::UNITY_GAIN / 2);
    audio::startRamp(ramp, audio::UNITY_GAIN, 0); // at once back to full
    std::vector<std::int16_t> t(2 * 10, 1000);
    audio::applyGain(ramp, t.data(), 10);
    EXPECT_EQ(t[19], 1000);
    // No frame of a slide jumps by more than the slide's step.
    audio::startRamp(ramp, 0, 64);
    std::vector<std::int16_t> u(2 * 64, 32767);
    audio::applyGain(ramp, u.data(), 64);
    for (int i = 1; i < 64; ++i) EXPECT_LE(u[2 * (i - 1)] - u[2 * i], 32767 / 64 + 2);
    EXPECT_EQ(u[2 * 63], 0);
}

TEST(PeakLevels, FullScaleIs128AndSilenceIs0) {
    std::vector<std::int16_t> s(2 * 8, 0);
    EXPECT_EQ(audio::peakLevels(s.data(), 8), 0u);
    s[4] = -32768; // left, frame 2
    s[9] = 16384;  // right, frame 4
    EXPECT_EQ(audio::peakLevels(s.data(), 8), 128u | 64u << 16);
    s[4] = 32767;
    s[9] = -255; // below one step of the scale
    EXPECT_EQ(audio::peakLevels(s.data(), 8), 127u);
}

} // namespace
