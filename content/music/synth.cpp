#include "content/music/synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace music {
namespace {

constexpr double kTwoPi = 6.283185307179586;

double midiOf(double hz) {
    return 69.0 + 12.0 * std::log2(hz / 440.0);
}
double hzOf(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// A short fade at the end of a one-shot so it never stops on a click.
void fadeTail(std::vector<float>& d, double rate, double seconds = 0.01) {
    size_t n = std::min(d.size(), static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < n; ++i) d[d.size() - 1 - i] *= static_cast<float>(i) / n;
}

// Resonant low-pass (state-variable); cutoff in Hz may change per sample.
struct Svf {
    double low = 0, band = 0;
    double run(double x, double cutoff, double rate, double q) {
        double f = 2.0 * std::sin(3.141592653589793 * std::min(cutoff, rate * 0.2) / rate);
        low += f * band;
        double high = x - low - q * band;
        band += f * high;
        return low;
    }
};

Instrument oneShot(const std::string& name, std::vector<float> data, double rate, double midi) {
    Instrument in;
    in.name = name;
    in.data = std::move(data);
    in.rate = rate;
    in.baseMidi = midi;
    return in;
}

} // namespace

Harmonics pulseWave(double duty) {
    return [duty](int k) { return std::sin(3.141592653589793 * k * duty) / k; };
}
Harmonics triangleWave() {
    return [](int k) { return (k & 1) ? ((k & 2) ? -1.0 : 1.0) / (double(k) * k) : 0.0; };
}
Harmonics organWave(const std::vector<double>& drawbars) {
    return [drawbars](int k) {
        return k <= static_cast<int>(drawbars.size()) ? drawbars[k - 1] : 0.0;
    };
}
Harmonics vowelWave(double f1, double f2, double fundamental) {
    return [=](int k) {
        double f = k * fundamental;
        auto peak = [f](double centre, double width) {
            double x = (f - centre) / width;
            return std::exp(-x * x);
        };
        // The singer's formant near 3 kHz carries a choir through; breath above it stays faint.
        return (0.25 / k + peak(f1, 180) + 0.6 * peak(f2, 260) + 0.3 * peak(2900, 400)) *
               (f < 4500 ? 1.0 : 0.15 * 4500 / f);
    };
}

namespace {

// Sums band-limited harmonics of every layer; amplitudes come from h, or per sample from moving.
Instrument synthLoop(const std::string& name, const Harmonics& h, const MovingHarmonics& moving,
                     const LoopShape& s) {
    const int total = s.attack + s.loopLength;
    std::vector<double> acc(total, 0.0);
    std::vector<int> layers{0};
    layers.insert(layers.end(), s.detune.begin(), s.detune.end());
    int li = 0;
    for (int d : layers) {
        int cycles = s.cyclesInLoop + d;
        if (cycles <= 0) throw std::runtime_error(name + ": bad detune");
        double perSample = static_cast<double>(cycles) / s.loopLength;
        int maxK = static_cast<int>(0.45 * s.brightness / perSample);
        for (int k = 1; k <= maxK; ++k) {
            double a = moving ? 1.0 : h(k);
            if (a == 0.0) continue;
            double phase0 = li * 2.39996 * k; // spread the layers' phases
            double w = kTwoPi * k * perSample;
            // Rotating phasor: exact enough over a loop and far cheaper than sin per sample.
            double c = std::cos(w), sn = std::sin(w);
            double x = std::cos(phase0), y = std::sin(phase0);
            for (int n = 0; n < total; ++n) {
                acc[n] += (moving ? moving(k, n - s.attack) : a) * y;
                double nx = x * c - y * sn;
                y = x * sn + y * c;
                x = nx;
                if ((n & 1023) == 1023) { // renormalise the phasor
                    double r = std::sqrt(x * x + y * y);
                    x /= r;
                    y /= r;
                }
            }
        }
        ++li;
    }
    std::vector<float> data(total);
    for (int n = 0; n < total; ++n) {
        double env = 1.0;
        const int ramp = s.ramp >= 0 ? std::min(s.ramp, s.attack) : s.attack;
        if (n < ramp) {
            double t = static_cast<double>(n) / ramp;
            env = t * t * (3 - 2 * t);
        }
        data[n] = static_cast<float>(acc[n] * env);
    }
    Instrument in = oneShot(name, std::move(data), s.rate,
                            midiOf(static_cast<double>(s.cyclesInLoop) / s.loopLength * s.rate));
    in.loopStart = s.attack;
    in.loopLength = s.loopLength;
    return in;
}

} // namespace

Instrument loopedWave(const std::string& name, const Harmonics& h, const LoopShape& s) {
    return synthLoop(name, h, nullptr, s);
}

Instrument movingWave(const std::string& name, const MovingHarmonics& h, const LoopShape& s) {
    return synthLoop(name, nullptr, h, s);
}

double loopSweep(int n, int loopLength) {
    int m = ((n % loopLength) + loopLength) % loopLength;
    return 0.5 - 0.5 * std::cos(kTwoPi * m / loopLength);
}

Instrument modWave(const std::string& name, const Harmonics& h, double midi, int attack) {
    const double rate = 3546895.0 / 428.0;
    const double hz = hzOf(midi);
    int bestN = 1, bestL = 2;
    double bestErr = 1e9;
    for (int n = 1; n <= 24; ++n) {
        int len = 2 * static_cast<int>(std::lround(n * rate / hz / 2.0));
        if (len < 16) continue;
        double err = std::fabs(1200.0 * std::log2((n * rate / len) / hz));
        if (err < bestErr - 1e-9) {
            bestErr = err;
            bestN = n;
            bestL = len;
        }
        if (err < 4.0) break;
    }
    LoopShape s;
    s.rate = rate;
    s.cyclesInLoop = bestN;
    s.loopLength = bestL;
    s.attack = attack & ~1;
    return loopedWave(name, h, s);
}

Instrument pluck(const std::string& name, double rate, double midi, double seconds, double damping,
                 uint32_t seed) {
    Rng rng(seed);
    double hz = hzOf(midi);
    int period = std::max(2, static_cast<int>(std::lround(rate / hz - 0.5)));
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<double> y(total + period + 1, 0.0);
    double prev = 0;
    double mean = 0;
    for (int i = 0; i <= period; ++i) { // softened noise burst: a gentler pick
        double v = rng.uniform();
        prev = 0.6 * prev + 0.4 * v;
        y[i] = prev;
        mean += prev;
    }
    // The loop keeps any offset of the burst for as long as the string rings: remove it.
    mean /= period + 1;
    for (int i = 0; i <= period; ++i) y[i] -= mean;
    for (size_t n = period + 1; n < y.size(); ++n)
        y[n] = damping * 0.5 * (y[n - period] + y[n - period - 1]);
    std::vector<float> data(total);
    double dc = 0;
    for (size_t n = 0; n < total; ++n) { // remove the slow offset the noise leaves
        dc = 0.999 * dc + 0.001 * y[n];
        data[n] = static_cast<float>(y[n] - dc);
    }
    fadeTail(data, rate, 0.05);
    return oneShot(name, std::move(data), rate, midiOf(rate / (period + 0.5)));
}

Instrument fmBell(const std::string& name, double rate, double midi, double seconds, double ratio,
                  double index, double decay) {
    double hz = hzOf(midi);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double i = index * std::exp(-t / (decay * 0.4));
        double mod = std::sin(kTwoPi * hz * ratio * t);
        double v = std::sin(kTwoPi * hz * t + i * mod) * std::exp(-t / decay);
        v += 0.25 * std::sin(kTwoPi * hz * 2.0 * t) * std::exp(-t / (decay * 0.3));
        double attack = std::min(1.0, t / 0.002);
        data[n] = static_cast<float>(v * attack);
    }
    fadeTail(data, rate, 0.05);
    return oneShot(name, std::move(data), rate, midi);
}

Instrument musicBox(const std::string& name, double rate, double midi, double seconds) {
    double hz = hzOf(midi);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        // The tine's upper modes ring on a while: the glint of a steel comb.
        double v = std::sin(kTwoPi * hz * t) * std::exp(-t / 0.9) +
                   0.35 * std::sin(kTwoPi * hz * 3.0 * t) * std::exp(-t / 0.35) +
                   0.3 * std::sin(kTwoPi * hz * 5.93 * t) * std::exp(-t / 0.16) +
                   0.15 * std::sin(kTwoPi * hz * 9.7 * t) * std::exp(-t / 0.08);
        data[n] = static_cast<float>(v * std::min(1.0, t / 0.001));
    }
    fadeTail(data, rate, 0.05);
    return oneShot(name, std::move(data), rate, midi);
}

Instrument acidBass(const std::string& name, double rate, double midi, double seconds,
                    double resonance) {
    double hz = hzOf(midi);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    Svf f;
    double phase = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        phase += hz / rate;
        if (phase >= 1) phase -= 1;
        double saw = 2 * phase - 1;
        double cutoff = 180 + 2600 * std::exp(-t / 0.09);
        double v = f.run(saw, cutoff, rate, 1.0 / resonance);
        double env = std::min(1.0, t / 0.003) * (t < seconds - 0.05 ? 1.0 : (seconds - t) / 0.05);
        data[n] = static_cast<float>(std::tanh(1.5 * v) * env);
    }
    return oneShot(name, std::move(data), rate, midi);
}

Instrument kickDrum(const std::string& name, double rate, double punch) {
    size_t total = static_cast<size_t>(rate * 0.35);
    std::vector<float> data(total);
    double phase = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double f = 46 + 120 * punch * std::exp(-t / 0.035);
        phase += kTwoPi * f / rate;
        double v = std::sin(phase) * std::exp(-t / 0.16);
        v += 0.3 * std::exp(-t / 0.003) * std::sin(kTwoPi * 1500 * t);
        data[n] = static_cast<float>(std::tanh(1.4 * v));
    }
    fadeTail(data, rate);
    Instrument in = oneShot(name, std::move(data), rate, 60);
    return in;
}

Instrument snareDrum(const std::string& name, double rate, double tone, double seconds,
                     uint32_t seed) {
    Rng rng(seed);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    double prev = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double noise = rng.uniform();
        double hp = noise - prev; // brighter rattle
        prev = noise;
        double v = tone * std::sin(kTwoPi * 190 * t) * std::exp(-t / 0.05) +
                   0.8 * (0.5 * noise + 0.5 * hp) * std::exp(-t / (seconds * 0.3));
        data[n] = static_cast<float>(v);
    }
    fadeTail(data, rate);
    return oneShot(name, std::move(data), rate, 60);
}

Instrument hiHat(const std::string& name, double rate, double seconds, uint32_t seed) {
    Rng rng(seed);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    double p1 = 0, p2 = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double x = rng.uniform();
        double h1 = x - p1;
        p1 = x;
        double h2 = h1 - p2;
        p2 = h1;
        data[n] = static_cast<float>(h2 * std::exp(-t / (seconds * 0.25)));
    }
    fadeTail(data, rate, 0.005);
    return oneShot(name, std::move(data), rate, 60);
}

Instrument clap(const std::string& name, double rate, uint32_t seed) {
    Rng rng(seed);
    size_t total = static_cast<size_t>(rate * 0.3);
    std::vector<float> data(total);
    double lp = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double env = std::exp(-t / 0.08);
        for (double b : {0.0, 0.011, 0.022})
            if (t >= b) env = std::max(env, std::exp(-(t - b) / 0.006));
        double x = rng.uniform();
        lp = 0.7 * lp + 0.3 * x;
        data[n] = static_cast<float>((x - lp) * env);
    }
    fadeTail(data, rate);
    return oneShot(name, std::move(data), rate, 60);
}

Instrument sleighBells(const std::string& name, double rate, uint32_t seed) {
    Rng rng(seed);
    size_t total = static_cast<size_t>(rate * 0.28);
    std::vector<double> acc(total, 0.0);
    for (int b = 0; b < 14; ++b) { // little bells struck at slightly different moments
        double onset = 0.004 * rng.below(30);
        double f = 3200 + 30 * rng.below(150);
        double f2 = f * (1.48 + 0.002 * rng.below(40));
        for (size_t n = static_cast<size_t>(onset * rate); n < total; ++n) {
            double t = n / rate - onset;
            acc[n] +=
                (std::sin(kTwoPi * f * t) + 0.5 * std::sin(kTwoPi * f2 * t)) * std::exp(-t / 0.045);
        }
    }
    double prev = 0;
    std::vector<float> data(total);
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double x = rng.uniform();
        double shimmer = (x - prev) * std::exp(-t / 0.05) * 2.0;
        prev = x;
        data[n] = static_cast<float>(acc[n] / 6.0 + shimmer);
    }
    fadeTail(data, rate, 0.02);
    return oneShot(name, std::move(data), rate, 60);
}

Instrument tomDrum(const std::string& name, double rate, double hz) {
    size_t total = static_cast<size_t>(rate * 0.4);
    std::vector<float> data(total);
    double phase = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        phase += kTwoPi * hz * (1 + 0.6 * std::exp(-t / 0.05)) / rate;
        data[n] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.15));
    }
    fadeTail(data, rate);
    return oneShot(name, std::move(data), rate, 60);
}

Instrument noiseBurst(const std::string& name, double rate, double seconds, int hold,
                      uint32_t seed) {
    Rng rng(seed);
    size_t total = static_cast<size_t>(rate * seconds);
    std::vector<float> data(total);
    float v = 0;
    for (size_t n = 0; n < total; ++n) {
        if (n % std::max(1, hold) == 0) v = (rng.next() & 0x10000) ? 1.0f : -1.0f;
        double t = n / rate;
        data[n] = static_cast<float>(v * std::exp(-t / (seconds * 0.3)));
    }
    fadeTail(data, rate, 0.004);
    return oneShot(name, std::move(data), rate, 60);
}

void mixInto(std::vector<float>& dst, const std::vector<float>& src, double at, double gain,
             double srcRate, double dstRate) {
    double step = srcRate / dstRate;
    for (size_t n = 0;; ++n) {
        double pos = n * step;
        size_t i = static_cast<size_t>(pos);
        if (i + 1 >= src.size()) break;
        size_t d = static_cast<size_t>(at) + n;
        if (d >= dst.size()) break;
        double frac = pos - i;
        dst[d] += static_cast<float>(gain * (src[i] * (1 - frac) + src[i + 1] * frac));
    }
}

} // namespace music
