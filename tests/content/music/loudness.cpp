#include "loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

Loudness measureLoudness(const std::vector<float>& stereo, unsigned rate) {
    Loudness out;
    ebur128_state* st =
        ebur128_init(2, rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    if (!st) return out;
    bool fed = ebur128_add_frames_float(st, stereo.data(), stereo.size() / 2) == EBUR128_SUCCESS;
    double peak[2] = {0, 0};
    fed = fed && ebur128_loudness_global(st, &out.integratedLufs) == EBUR128_SUCCESS &&
          ebur128_loudness_range(st, &out.rangeLu) == EBUR128_SUCCESS &&
          ebur128_true_peak(st, 0, &peak[0]) == EBUR128_SUCCESS &&
          ebur128_true_peak(st, 1, &peak[1]) == EBUR128_SUCCESS;
    ebur128_destroy(&st);
    // A signal under the absolute gate has no integrated loudness (the meter says -inf).
    out.ok = fed && std::isfinite(out.integratedLufs);
    out.truePeakDbtp = 20.0 * std::log10(std::max({peak[0], peak[1], 1e-10}));
    return out;
}
