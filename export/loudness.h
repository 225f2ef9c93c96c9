#pragma once
// Loudness as ReplayGain 2.0 asks for it: integrated loudness after ITU-R BS.1770 (K-weighted,
// gated) measured with libebur128, gains to its reference of -18 LUFS, and the sample peak.
#include <cstdint>
#include <ebur128.h>
#include <string>
#include <vector>

namespace exporter {

inline constexpr double REFERENCE_LUFS = -18.0;

class Loudness {
  public:
    Loudness();
    ~Loudness();
    Loudness(const Loudness&) = delete;
    Loudness& operator=(const Loudness&) = delete;

    bool valid() const { return state_ != nullptr; }
    // Takes frames interleaved stereo 16-bit frames at 44100 Hz.
    void add(const std::int16_t* samples, std::uint32_t frames);
    // Integrated loudness in LUFS; -HUGE_VAL for silence.
    double lufs() const;
    // The largest sample, 1.0 at full scale.
    double peak() const;

    // Of several tracks as one programme.
    static double albumLufs(const std::vector<const Loudness*>& tracks);

  private:
    ebur128_state* state_ = nullptr;
};

// "-3.25 dB": the gain that brings lufs to the reference, as the tags write it; empty for a
// loudness that cannot be brought there (silence).
std::string gainText(double lufs);
// "0.912345".
std::string peakText(double peak);

} // namespace exporter
