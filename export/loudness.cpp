#include "export/loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ebur128.h>

namespace exporter {

Loudness::Loudness() : state_(ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK)) {}

Loudness::~Loudness() {
    if (state_) ebur128_destroy(&state_);
}

void Loudness::add(const std::int16_t* samples, std::uint32_t frames) {
    if (state_ && frames) ebur128_add_frames_short(state_, samples, frames);
}

double Loudness::lufs() const {
    double l = -HUGE_VAL;
    if (state_ && ebur128_loudness_global(state_, &l) != EBUR128_SUCCESS) return -HUGE_VAL;
    return l;
}

double Loudness::peak() const {
    double most = 0;
    for (unsigned c = 0; state_ && c < 2; ++c) {
        double p = 0;
        if (ebur128_sample_peak(state_, c, &p) == EBUR128_SUCCESS) most = std::max(most, p);
    }
    return most;
}

double Loudness::albumLufs(const std::vector<const Loudness*>& tracks) {
    std::vector<ebur128_state*> states;
    for (const Loudness* t : tracks)
        if (t && t->state_) states.push_back(t->state_);
    double l = -HUGE_VAL;
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &l) != EBUR128_SUCCESS)
        return -HUGE_VAL;
    return l;
}

std::string gainText(double lufs) {
    if (!std::isfinite(lufs)) return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.2f dB", REFERENCE_LUFS - lufs);
    return buf;
}

std::string peakText(double peak) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", peak);
    return buf;
}

} // namespace exporter
