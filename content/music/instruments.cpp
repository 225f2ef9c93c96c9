#include "content/music/instruments.h"

#include "content/music/synth.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace music {

Envelope adsr(int attack, int decay, int sustain, int release) {
    Envelope e;
    e.points = {{0, attack > 0 ? 0 : 64},
                {attack, 64},
                {attack + decay, sustain},
                {attack + decay + release, 0}};
    if (attack == 0) e.points.erase(e.points.begin());
    e.sustain = static_cast<int>(e.points.size()) - 2;
    return e;
}

Envelope percussive(int decay) {
    Envelope e;
    e.points = {{0, 64}, {decay / 4, 36}, {decay, 0}};
    return e;
}

Instrument chipPulse(const char* name, double duty) {
    // Pulse-width sweep: the duty opens and closes once a loop (about three times a second at
    // the sample's own pitch), the classic moving chip lead.
    LoopShape s;
    s.rate = 22050;
    s.cyclesInLoop = 128;
    s.loopLength = 8192;
    const int length = s.loopLength;
    const double swing = duty < 0.4 ? 0.16 : -0.16;
    Instrument in = movingWave(
        name,
        [=](int k, int n) {
            double d = duty + swing * loopSweep(n, length);
            return std::sin(3.141592653589793 * k * d) / k;
        },
        s);
    in.volumeEnvelope = adsr(0, 10, 46, 5);
    in.fadeout = 512;
    in.vibratoDepth = 3;
    in.vibratoRate = 12;
    in.vibratoSweep = 40;
    return in;
}

Instrument chipTriangle(const char* name) {
    LoopShape s;
    s.rate = 22050;
    s.loopLength = 64;
    Instrument in = loopedWave(name, triangleWave(), s);
    in.volumeEnvelope = adsr(0, 6, 56, 3);
    in.fadeout = 1024;
    return in;
}

Instrument sawLead(const char* name, int layers) {
    LoopShape s;
    s.rate = 32000;
    s.cyclesInLoop = 80;
    s.loopLength = 8192; // ~312 Hz; the layers beat about 4 times a second
    if (layers > 1) s.detune = {1};
    if (layers > 2) s.detune = {1, -1};
    // A filter-like sweep: the note opens bright and settles (the attack before the loop),
    // then the upper partials dip and return once a loop.
    s.attack = 4800; // 150 ms
    s.ramp = 96;
    const int length = s.loopLength, attack = s.attack;
    auto tilt = [=](int n) { return n < 0 ? 0.4 * -n / attack : -0.6 * loopSweep(n, length); };
    // The sweep changes the colour, not the loudness: each moment is scaled to the same power.
    const int partials = static_cast<int>(0.45 * length / s.cyclesInLoop);
    std::vector<double> norm(attack + length);
    for (int n = -attack; n < length; ++n) {
        double power = 0;
        for (int k = 1; k <= partials; ++k) power += std::pow(k, 2 * (tilt(n) - 1.0));
        norm[n + attack] = 1.0 / std::sqrt(power);
    }
    Instrument in = movingWave(
        name, [=](int k, int n) { return std::pow(k, -1.0 + tilt(n)) * norm[n + attack]; }, s);
    in.volumeEnvelope = adsr(1, 12, 48, 6);
    in.fadeout = 256;
    return in;
}

Instrument padStrings(const char* name, double brightness) {
    LoopShape s;
    s.rate = 22050;
    s.cyclesInLoop = 160;
    s.loopLength = 16384; // ~215 Hz, three layers beating slowly
    s.detune = {1, -1};
    s.brightness = brightness;
    // Bowed shimmer: the upper partials swell and fall back once a loop.
    const int length = s.loopLength;
    Instrument in = movingWave(
        name,
        [=](int k, int n) {
            double air = 1.0 + 0.8 * loopSweep(n, length) * std::min(1.0, (k - 1) / 6.0);
            return air / k / (1.0 + k * 0.05);
        },
        s);
    in.volumeEnvelope = adsr(30, 30, 52, 40);
    in.fadeout = 128;
    in.vibratoDepth = 2;
    in.vibratoRate = 6;
    in.vibratoSweep = 120;
    // A slow drift around the voice's place in the field.
    in.panEnvelope.points = {{0, 32}, {40, 40}, {120, 24}, {160, 32}};
    in.panEnvelope.loopStart = 0;
    in.panEnvelope.loopEnd = 3;
    return in;
}

Instrument sineBass(const char* name) {
    LoopShape s;
    s.rate = 11025;
    s.loopLength = 128;
    Instrument in = loopedWave(
        name, [](int k) { return k == 1 ? 1.0 : (k == 2 ? 0.18 : (k == 3 ? 0.06 : 0)); }, s);
    in.volumeEnvelope = adsr(1, 20, 50, 6);
    in.fadeout = 512;
    return in;
}

Instrument choir(const char* name, bool ooh) {
    LoopShape s;
    s.rate = 22050;
    s.cyclesInLoop = 120;
    s.loopLength = 12288; // ~215 Hz
    s.detune = {1, -1, 2};
    double f0 = 22050.0 * 120 / 12288;
    Instrument in = loopedWave(name, ooh ? vowelWave(350, 800, f0) : vowelWave(720, 1150, f0), s);
    in.volumeEnvelope = adsr(40, 40, 50, 50);
    in.fadeout = 96;
    in.vibratoDepth = 3;
    in.vibratoRate = 5;
    in.vibratoSweep = 80;
    return in;
}

Instrument organ(const char* name) {
    LoopShape s;
    s.rate = 22050;
    s.cyclesInLoop = 64;
    s.loopLength = 4096;
    s.detune = {1};
    Instrument in = loopedWave(name, organWave({1.0, 0.6, 0.35, 0.5, 0.0, 0.2, 0, 0.15}), s);
    in.volumeEnvelope = adsr(2, 4, 58, 8);
    in.fadeout = 256;
    return in;
}

Instrument flute(const char* name) {
    LoopShape s;
    s.rate = 22050;
    s.cyclesInLoop = 2;
    s.loopLength = 100;
    Instrument in = loopedWave(name, organWave({1.0, 0.12, 0.05, 0.02}), s);
    in.volumeEnvelope = adsr(5, 10, 50, 8);
    in.fadeout = 512;
    in.vibratoDepth = 4;
    in.vibratoRate = 10;
    in.vibratoSweep = 60;
    return in;
}

Instrument modPulse(const char* name, double duty, double midi) {
    return modWave(name, pulseWave(duty), midi, 0);
}

Instrument modSaw(const char* name, double midi, int attack) {
    return modWave(
        name, [](int k) { return 1.0 / k / (1.0 + 0.05 * k); }, midi, attack);
}

Instrument modTriangle(const char* name, double midi) {
    return modWave(name, triangleWave(), midi, 0);
}

} // namespace music
