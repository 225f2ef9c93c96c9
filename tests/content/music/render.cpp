#include "render.h"

#include "audio/mod_stereo.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <fstream>
#include <iterator>

Rendered renderModule(const std::vector<uint8_t>& bytes, double maxSeconds, bool asPlayed) {
    Rendered r;
    openmpt_module* m = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!m) return r;
    r.loaded = true;
    r.duration = openmpt_module_get_duration_seconds(m);
    r.channels = openmpt_module_get_num_channels(m);
    const char* type = openmpt_module_get_metadata(m, "type");
    r.type = type ? type : "";
    openmpt_free_string(type);
    if (asPlayed) applyStereoSeparation(m);
    std::vector<float> buf(2 * 4096);
    const size_t limit = static_cast<size_t>(maxSeconds * 44100);
    while (r.stereo.size() < 2 * limit) {
        size_t got = openmpt_module_read_interleaved_float_stereo(m, 44100, 4096, buf.data());
        if (got == 0) break;
        r.stereo.insert(r.stereo.end(), buf.begin(), buf.begin() + 2 * got);
    }
    openmpt_module_destroy(m);
    return r;
}

std::vector<float> Rendered::mono() const {
    std::vector<float> out(stereo.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    return out;
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

double pitchOf(const std::vector<float>& x, size_t from, size_t count, double rate) {
    // Autocorrelation over lags for 50..2000 Hz, refined by parabolic interpolation.
    int minLag = static_cast<int>(rate / 2000), maxLag = static_cast<int>(rate / 50);
    std::vector<double> ac(maxLag + 2, 0.0);
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double sum = 0;
        for (size_t i = from; i < from + count; ++i) sum += x[i] * x[i + lag];
        ac[lag] = sum;
    }
    int best = minLag;
    // The first peak that reaches 90 % of the strongest avoids octave errors.
    double strongest = 0;
    for (int lag = minLag; lag <= maxLag; ++lag) strongest = std::max(strongest, ac[lag]);
    for (int lag = minLag; lag <= maxLag; ++lag) {
        if (ac[lag] > ac[lag - 1] && ac[lag] >= ac[lag + 1] && ac[lag] > 0.9 * strongest) {
            best = lag;
            break;
        }
    }
    double a = ac[best - 1], b = ac[best], c = ac[best + 1];
    double shift = (a - c) / (2 * (a - 2 * b + c));
    return rate / (best + shift);
}
