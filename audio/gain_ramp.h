#pragma once
// The output volume and its slides: a 16.16 gain that moves in a straight line, one step a frame,
// so a fade never jumps (a jump in gain is a click).
#include <cstdint>

namespace audio {

constexpr std::int32_t UNITY_GAIN = 65536;

struct GainRamp {
    std::int32_t gain = UNITY_GAIN; // applied to the next frame when no slide runs
    std::int32_t from = UNITY_GAIN;
    std::int32_t to = UNITY_GAIN;
    std::uint32_t length = 0; // frames of the slide; 0 when none runs
    std::uint32_t done = 0;   // frames of it already applied
};

// Starts a slide from the present gain to target over frames frames (at once when frames is 0).
void startRamp(GainRamp& ramp, std::int32_t target, std::uint32_t frames);

// Scales frames interleaved stereo frames in place, advancing the slide. Frame i of a slide gets
// from + (to - from) * (i + 1) / length, so its last frame lands exactly on the target; a sample
// becomes (s * gain + 32768) >> 16, which leaves it unchanged at unity gain.
void applyGain(GainRamp& ramp, std::int16_t* samples, std::uint32_t frames);

// Peak levels of interleaved stereo frames on a 0..128 scale (a full-scale peak is 128): left in
// the low 16 bits, right in the high 16 bits.
std::uint32_t peakLevels(const std::int16_t* samples, std::uint32_t frames);

} // namespace audio
