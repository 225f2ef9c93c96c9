#pragma once
// Instrument synthesis. Every sound is computed here from a fixed recipe (noise comes from a
// seeded generator), so the same build always yields the same samples.
//
// Sustained sounds loop seamlessly: each oscillator runs a whole number of cycles inside the
// loop, so detuned layers (pads, choirs) beat at a rate that divides the loop length too.

#include "content/music/module.h"

#include <cstdint>
#include <functional>

namespace music {

struct Rng { // xorshift32, fixed seed
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float uniform() { return static_cast<float>(next() >> 8) / 16777216.0f * 2.0f - 1.0f; }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

// Amplitude of harmonic k (1-based) of a waveform; phase is sine.
using Harmonics = std::function<double(int k)>;
Harmonics pulseWave(double duty);
Harmonics triangleWave();
Harmonics organWave(const std::vector<double>& drawbars); // levels of harmonics 1..n
Harmonics vowelWave(double formant1, double formant2, double fundamental); // "ah"/"oo" choirs

struct LoopShape {
    double rate = 22050;     // sample rate of the content
    int cyclesInLoop = 1;    // cycles of the fundamental in the loop
    int loopLength = 64;     // samples
    int attack = 0;          // samples of attack before the loop (amplitude rises from 0)
    std::vector<int> detune; // extra layers, each offset in cycles from cyclesInLoop
    double brightness = 1.0; // harmonics above rate*0.45*brightness are dropped
    int ramp = -1;           // samples over which the attack's amplitude rises; -1: all of it
};

// A looped band-limited wave with an optional soft attack before the loop.
Instrument loopedWave(const std::string& name, const Harmonics& h, const LoopShape& shape);

// Amplitude of harmonic k at sample n of a looped wave, n counted from the loop start
// (negative in the attack). It must repeat every loopLength samples from n = 0 on, so the loop
// stays seamless: pulse-width and filter-like sweeps that move while a note is held.
using MovingHarmonics = std::function<double(int k, int n)>;
Instrument movingWave(const std::string& name, const MovingHarmonics& h, const LoopShape& shape);

// 0 at the loop start, 1 halfway through, 0 again at the end: a smooth sweep of a loop.
double loopSweep(int n, int loopLength);

// A single-cycle-ish loop for the MOD writer: picks a loop of a few cycles whose length is
// even and whose pitch is close to the target, at the MOD's C-2 rate.
Instrument modWave(const std::string& name, const Harmonics& h, double midi, int attack = 0);

// One-shot sounds, each returned with its pitch at its rate.
Instrument pluck(const std::string& name, double rate, double midi, double seconds, double damping,
                 uint32_t seed);
Instrument fmBell(const std::string& name, double rate, double midi, double seconds, double ratio,
                  double index, double decay);
Instrument musicBox(const std::string& name, double rate, double midi, double seconds);
Instrument acidBass(const std::string& name, double rate, double midi, double seconds,
                    double resonance);

// Drums: pitch given only so that C-4 / C-2 play them at their natural speed.
Instrument kickDrum(const std::string& name, double rate, double punch);
Instrument snareDrum(const std::string& name, double rate, double tone, double seconds,
                     uint32_t seed);
Instrument hiHat(const std::string& name, double rate, double seconds, uint32_t seed);
Instrument clap(const std::string& name, double rate, uint32_t seed);
Instrument sleighBells(const std::string& name, double rate, uint32_t seed);
Instrument tomDrum(const std::string& name, double rate, double hz);
Instrument noiseBurst(const std::string& name, double rate, double seconds, int hold,
                      uint32_t seed); // chip-style noise drum

// Mixes a drum hit into a buffer (used to build one-bar break loops).
void mixInto(std::vector<float>& dst, const std::vector<float>& src, double at, double gain,
             double srcRate, double dstRate);

// Drums and other unpitched one-shots carry baseMidi 60: MIDI note 60 plays them at their own
// rate. For MOD they must be made at kModDrumRate, the rate of the period that note 60 picks.
constexpr double kModDrumRate = 3546895.0 / 214.0;

} // namespace music
