#include "audio/gain_ramp.h"

#include <cstdlib>

namespace audio {

void startRamp(GainRamp& ramp, std::int32_t target, std::uint32_t frames) {
    ramp.from = ramp.gain;
    ramp.to = target;
    ramp.done = 0;
    ramp.length = frames;
    if (frames == 0) ramp.gain = target;
}

void applyGain(GainRamp& ramp, std::int16_t* samples, std::uint32_t frames) {
    for (std::uint32_t i = 0; i < frames; ++i) {
        if (ramp.length != 0) {
            ++ramp.done;
            ramp.gain = ramp.from +
                        static_cast<std::int32_t>(static_cast<std::int64_t>(ramp.to - ramp.from) *
                                                  ramp.done / ramp.length);
            if (ramp.done == ramp.length) ramp.length = 0;
        }
        if (ramp.gain == UNITY_GAIN) continue;
        for (int c = 0; c < 2; ++c) {
            std::int64_t v =
                (static_cast<std::int64_t>(samples[2 * i + c]) * ramp.gain + 32768) >> 16;
            samples[2 * i + c] = static_cast<std::int16_t>(v);
        }
    }
}

std::uint32_t peakLevels(const std::int16_t* samples, std::uint32_t frames) {
    int left = 0, right = 0;
    for (std::uint32_t i = 0; i < frames; ++i) {
        int l = std::abs(static_cast<int>(samples[2 * i]));
        int r = std::abs(static_cast<int>(samples[2 * i + 1]));
        if (l > left) left = l;
        if (r > right) right = r;
    }
    return static_cast<std::uint32_t>(left >> 8) | static_cast<std::uint32_t>(right >> 8) << 16;
}

} // namespace audio
