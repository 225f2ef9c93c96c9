// icepick: jungle on four Amiga channels. Each bar starts a one-bar breakbeat sample that is
// rendered here, at the tune's own tempo, from our drum sounds; a detuned "reese" bass rolls
// underneath, a pulse lead and rave chord stabs (whole chords in one sample, tuned in just
// intonation so they loop without beating) fill the top.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

#include <cmath>

namespace music {
namespace {

enum Ch { BREAK, BASS, LEAD, STAB };
enum class Mode { Intro, Rolling, Full, Breakdown, Outro };
constexpr int kBar = 16;

// One bar of breakbeat: k kick, s snare, g ghost snare, h closed hat, o open hat, per 16th.
Instrument breakLoop(const char* name, double bpm, const char* kicks, const char* snares,
                     const char* hats, uint32_t seed) {
    const double rate = kModDrumRate;
    const double step = 15.0 / bpm * rate; // samples per row at speed 6
    Instrument kick = kickDrum("k", rate, 1.1);
    Instrument snare = snareDrum("s", rate, 0.5, 0.2, seed);
    Instrument hat = hiHat("h", rate, 0.05, seed + 1);
    Instrument open = hiHat("o", rate, 0.25, seed + 2);
    std::vector<float> bar(static_cast<size_t>(step * kBar) & ~size_t(1), 0.0f);
    for (int i = 0; i < kBar; ++i) {
        double at = i * step;
        if (kicks[i] == 'k') mixInto(bar, kick.data, at, 0.9, rate, rate);
        if (snares[i] == 's') mixInto(bar, snare.data, at, 0.8, rate, rate);
        if (snares[i] == 'g') mixInto(bar, snare.data, at, 0.25, rate, rate);
        if (hats[i] == 'h') mixInto(bar, hat.data, at, 0.3, rate, rate);
        if (hats[i] == 'o') mixInto(bar, open.data, at, 0.25, rate, rate);
    }
    Instrument in;
    in.name = name;
    in.data = std::move(bar);
    in.rate = rate;
    in.baseMidi = 60;
    in.volume = 56;
    return in;
}

// A chord in one looped sample: partials in just ratios, each a whole number of cycles.
Instrument chordSample(const char* name, bool minor, bool stab) {
    const double rate = 3546895.0 / 428.0;
    const int length = 4096;
    const int base = 32; // cycles of the root in the loop: about 65 Hz at C-2's rate
    std::vector<int> ratios =
        minor ? std::vector<int>{10, 12, 15, 20} : std::vector<int>{4, 5, 6, 8};
    int unit = minor ? 10 : 4;
    Instrument in;
    std::vector<double> acc(length, 0.0);
    for (int r : ratios) {
        int cycles = base * 4 * r / unit;
        for (int k = 1; k * cycles < length * 0.4; ++k)
            for (int n = 0; n < length; ++n)
                acc[n] += std::sin(6.283185307179586 * k * cycles * n / length + r) / (k * 1.3);
    }
    in.name = name;
    in.data.assign(acc.begin(), acc.end());
    in.rate = rate;
    in.baseMidi = 69.0 + 12.0 * std::log2(base * 4.0 / length * rate / 440.0);
    if (stab) { // a decaying hit rather than a held pad: stretch to a one-shot
        std::vector<float> hit;
        for (int rep = 0; rep < 3; ++rep) hit.insert(hit.end(), in.data.begin(), in.data.end());
        for (size_t n = 0; n < hit.size(); ++n)
            hit[n] *= static_cast<float>(std::exp(-static_cast<double>(n) / (rate * 0.35)));
        for (size_t n = 0; n < 200; ++n) hit[hit.size() - 1 - n] *= n / 200.0f;
        in.data = std::move(hit);
        in.volume = 34;
    } else {
        in.loopStart = 0;
        in.loopLength = length;
        in.volume = 24;
    }
    return in;
}

Instrument reese() {
    LoopShape s;
    s.rate = 3546895.0 / 428.0;
    s.loopLength = 8192;
    s.cyclesInLoop = 54; // about 55 Hz; the second layer beats once a second
    s.detune = {1};
    s.brightness = 0.5;
    Instrument in = loopedWave(
        "reese", [](int k) { return 1.0 / k; }, s);
    in.volume = 50;
    return in;
}

struct Kit {
    int breaks[4];
    int bass, lead, stabMinor, stabMajor, padMinor, padMajor;
};

Kit makeKit(Song& s, double bpm) {
    Kit k{};
    k.breaks[0] = s.addInstrument(
        breakLoop("break a", bpm, "k.k.......k.....", "....s..g.g....s.", "h.h.h.h.h.h.h.ho", 301));
    k.breaks[1] = s.addInstrument(
        breakLoop("break b", bpm, "k.........kk....", "....s..g.g..s..g", "h.hhh.h.h.hhh.h.", 311));
    k.breaks[2] = s.addInstrument(
        breakLoop("break c", bpm, "k.k.......k...k.", "....s.....g.s.g.", "hhhhhhhhhhhhhhhh", 321));
    k.breaks[3] = s.addInstrument(breakLoop("break fill", bpm, "k.........k.....",
                                            "....s.s.ssgsssss", "h...h...h...o...", 331));
    k.bass = s.addInstrument(reese());
    Instrument lead = modPulse("lead", 0.3, 72);
    lead.volume = 38;
    k.lead = s.addInstrument(lead);
    k.stabMinor = s.addInstrument(chordSample("minor stab", true, true));
    k.stabMajor = s.addInstrument(chordSample("major stab", false, true));
    k.padMinor = s.addInstrument(chordSample("minor pad", true, false));
    k.padMajor = s.addInstrument(chordSample("major pad", false, false));
    return k;
}

bool isMinor(const Chord& c) {
    return c.tones.size() > 1 && c.tones[1] == 3;
}

// variant (0..3) changes how a section is played back so that repeats are never copies: the
// order of the breaks, where the bass falls, the octave of the lead and where the stabs hit.
int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, const char* bassRhythm,
            int variant) {
    auto breaks = [&](int variety) {
        for (int b = 0; b * kBar < p.rows; ++b) {
            bool last = (b + 1) * kBar >= p.rows;
            int which = last ? 3 : (b * variety + variant) % 3;
            s.note(row + b * kBar, BREAK, 60, k.breaks[which]);
            if (last && variety > 1) { // the fill is cut up: struck again, stuttering
                s.note(row + b * kBar + 12, BREAK, 60, k.breaks[which]);
                s.effect(row + b * kBar + 12, BREAK, 0xE, 0x93);
            }
        }
    };
    auto bass = [&]() {
        for (const Chord& c : p.chords)
            for (int r = 0; r < c.length; ++r) {
                char x = bassRhythm[(c.start + r + 4 * (variant & 1)) % kBar];
                if (x == 'x') s.note(row + c.start + r, BASS, nearestAbove(c.bass, 28), k.bass);
                if (x == 'o')
                    s.note(row + c.start + r, BASS, nearestAbove(c.bass, 28) + 12, k.bass);
                if (x == '-') s.off(row + c.start + r, BASS);
            }
    };
    auto pads = [&](bool stab) {
        for (const Chord& c : p.chords) {
            int inst = stab ? (isMinor(c) ? k.stabMinor : k.stabMajor)
                            : (isMinor(c) ? k.padMinor : k.padMajor);
            if (stab)
                for (int r = 0; r < c.length; r += 16) {
                    s.note(row + c.start + r, STAB, nearestAbove(c.root, 50), inst);
                    s.note(row + c.start + r + 6 + 4 * (variant % 3), STAB,
                           nearestAbove(c.root, 50), inst, 24);
                }
            else
                s.note(row + c.start, STAB, nearestAbove(c.root, 50), inst);
        }
    };
    if (mode == Mode::Intro || mode == Mode::Breakdown)
        s.off(row, BASS); // the reese loops: stop it
    switch (mode) {
    case Mode::Intro:
        pads(false);
        break;
    case Mode::Rolling:
        breaks(1);
        bass();
        pads(false);
        break;
    case Mode::Full:
        breaks(2);
        bass();
        playMelody(s, row, p.melody, {LEAD, k.lead, -1, variant == 2 ? -12 : 0, 0.85}, kBar, 0);
        pads(true);
        break;
    case Mode::Breakdown: // the drums and the bass gone, the lead floats back over the pads
        pads(false);
        playMelody(s, row, p.melody, {LEAD, k.lead, 24, 0, 0.95});
        break;
    case Mode::Outro:
        s.note(row, BREAK, 60, k.breaks[0]);
        s.note(row, BASS, nearestAbove(p.chords.front().bass, 28), k.bass);
        s.note(row, STAB, nearestAbove(p.chords.front().root, 50),
               isMinor(p.chords.front()) ? k.stabMinor : k.stabMajor);
        s.off(row + 14, BASS);
        s.ensureRows(row + kBar);
        return kBar;
    }
    s.ensureRows(row + p.rows);
    return p.rows;
}

using Plan = Section<Mode>; // the level is the variant

Module build(const char* title, const std::vector<Plan>& plan, const char* bassRhythm,
             double seconds, double gain) {
    int rows = 0;
    for (const Plan& p : plan) rows += p.mode == Mode::Outro ? kBar : p.phrase->rows;
    // The breaks are cut to the tempo, so it is fixed first, the same way the song fits it.
    const double bpm = std::lround(rows * 15.0 / seconds);
    Song s(title, Format::Mod, 4);
    Kit k = makeKit(s, bpm);
    auto play = [&](int row, const Plan& p) {
        return section(s, k, row, *p.phrase, p.mode, bassRhythm, p.level);
    };
    // Breakbeats: the break stutters (retrigger) before every second pattern, the bass slides
    // and is cut short, the lead bends and wobbles.
    Expression e;
    e.channels = {
        {BREAK, Role::Drums}, {BASS, Role::Bass}, {LEAD, Role::Lead}, {STAB, Role::Plain}};
    e.vibrato = 0x56;
    e.vibratoAfter = 2;
    e.vibratoMinRows = 4;
    e.slideEvery = 2;
    e.bassSlides = true;
    e.fade = 2;
    e.crispGates = true;
    e.rollEvery = 32;
    e.roll = 0x93;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

} // namespace

Module snowballFight() {
    static const Phrase a =
        makePhrase("G5:2 r:2 Bb5:2 G5:2 D6:4 C6:2 Bb5:2 | G5:2 r:2 Bb5:2 G5:2 Eb6:4 D6:2 C6:2 |"
                   "F5:2 r:2 A5:2 F5:2 C6:4 Bb5:2 A5:2 | F#5:4 A5:4 D6:8 |"
                   "G5:2 r:2 Bb5:2 G5:2 D6:4 C6:2 Bb5:2 | Eb6:2 D6:2 C6:2 Bb5:2 G5:4 Bb5:4 |"
                   "A5:2 C6:2 F6:2 C6:2 A5:4 F5:4 | D6:4 A5:4 F#5:4 D5:4",
                   "Gm:16 | Eb | F | D | Gm | Eb | F | D", 1);
    // The second strain climbs from C minor to the top G.
    static const Phrase b =
        makePhrase("C6:4 Bb5:4 G5:4 Eb5:4 | D5:2 r:2 G5:2 Bb5:2 D6:8 | Eb6:4 D6:4 Bb5:4 G5:4 |"
                   "F#5:8 A5:8 | C6:4 Bb5:4 G5:4 Eb5:4 | D5:2 G5:2 Bb5:2 D6:2 G6:8 |"
                   "Ab5:4 C6:4 Eb6:4 C6:4 | D6:16",
                   "Cm:16 | Gm | Eb | D | Cm | Gm | Ab | D", 1);
    return build("snowball fight",
                 {{&a, Mode::Intro},
                  {&a, Mode::Rolling},
                  {&a, Mode::Full},
                  {&b, Mode::Full},
                  {&b, Mode::Breakdown, 1},
                  {&a, Mode::Rolling, 1},
                  {&a, Mode::Full, 2},
                  {&b, Mode::Full, 1},
                  {&a, Mode::Rolling, 3},
                  {&a, Mode::Outro}},
                 "x.....x...o.x-..", 112, 1.02);
}

Module blackIce() {
    static const Phrase a =
        makePhrase("A5:12 F5:4 | E5:16 | D5:8 F5:8 | A5:16 | Bb5:12 A5:4 | G5:16 | A5:16 | r:16",
                   "Dm:32 | - | Bb:16 | C | Gm:16 | Gm | A:32", 1);
    static const Phrase b = makePhrase(
        "D6:8 C6:8 | A5:16 | Bb5:8 A5:8 | F5:16 | G5:8 A5:8 | Bb5:8 C6:8 | A5:16 | C#6:16",
        "Dm:16 | F | Bb | F | Gm | Bb | A | A", 1);
    return build("black ice",
                 {{&a, Mode::Intro},
                  {&a, Mode::Rolling},
                  {&a, Mode::Full},
                  {&b, Mode::Full},
                  {&b, Mode::Breakdown},
                  {&a, Mode::Breakdown},
                  {&a, Mode::Rolling},
                  {&a, Mode::Full},
                  {&b, Mode::Full},
                  {&b, Mode::Rolling},
                  {&a, Mode::Outro}},
                 "x.......x..-..o.", 132, 1.12);
}

Module avalanche() {
    static const Phrase a = makePhrase(
        "E5:2 E5 G5 E5 B5:4 A5:2 G5:2 | C6:2 B5 G5 E5 C5:4 E5:4 | A5:2 A5 C6 A5 E6:4 D6:2 C6:2 |"
        "B5:4 D#6:4 F#6:8 | E5:2 E5 G5 E5 B5:4 A5:2 G5:2 | C6:2 B5 G5 E5 G5:4 C6:4 |"
        "A5:2 C6 E6 C6 A5:4 C6:4 | B5:4 F#5:4 D#5:4 B4:4",
        "Em:16 | C | Am | B | Em | C | Am | B", 1);
    // The second strain opens out on C and G before the climb back to B.
    static const Phrase b =
        makePhrase("G5:4 E5:4 C5:4 E5:4 | D5:4 G5:4 B5:8 | A5:4 F#5:4 D5:4 F#5:4 | D#5:8 F#5:8 |"
                   "G5:4 E5:4 C6:4 B5:4 | B5:4 D6:4 G6:8 | E6:4 C6:4 A5:4 C6:4 | B5:16",
                   "C:16 | G | D | B | C | G | Am | B", 1);
    return build("avalanche",
                 {{&a, Mode::Intro},
                  {&a, Mode::Rolling},
                  {&a, Mode::Full},
                  {&b, Mode::Full},
                  {&a, Mode::Breakdown, 1},
                  {&b, Mode::Rolling, 1},
                  {&a, Mode::Rolling, 2},
                  {&a, Mode::Full, 3},
                  {&b, Mode::Full, 2},
                  {&a, Mode::Full, 1},
                  {&a, Mode::Outro}},
                 "x.x...x.x.o.x.-.", 120, 1.03);
}

} // namespace music
