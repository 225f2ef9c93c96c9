#pragma once
// Loudness as listeners and streaming services measure it (ITU-R BS.1770, EBU R 128), by
// libebur128: K-weighted and gated integrated loudness, loudness range and true peak.

#include <vector>

struct Loudness {
    bool ok = false;
    double integratedLufs = 0; // gated programme loudness, LUFS
    double rangeLu = 0;        // loudness range (short-term 10th to 95th percentile), LU
    double truePeakDbtp = 0;   // highest inter-sample peak of either channel, dBTP
};

// Interleaved stereo float at `rate`; ok is false when the meter refuses the signal.
Loudness measureLoudness(const std::vector<float>& stereo, unsigned rate);
