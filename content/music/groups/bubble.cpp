// The end tune: a short, bubbly loop under the end pictures. Rising sine "bloops" bubble up
// alone, then a marimba plays the tune over a rounded bass, a soft kick and a shaker; a
// whistling pulse takes the second strain with vibrato and slides, floating over a bass that
// only marks the half bars, and the marimba comes back among thicker bubbles, which fizz out
// into the loop.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

#include <cmath>

namespace music {
namespace {

// A sine that rises an octave and a half while it fades: the sound of a bubble.
Instrument bloop() {
    const double rate = kModDrumRate;
    const size_t total = static_cast<size_t>(rate * 0.16);
    std::vector<float> d(total);
    double phase = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / rate;
        double hz = 523.25 * std::pow(2.0, 1.5 * t / 0.16);
        phase += 6.283185307179586 * hz / rate;
        d[n] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.05) * std::min(1.0, t / 0.002));
    }
    Instrument in;
    in.name = "bloop";
    in.data = std::move(d);
    in.rate = rate;
    in.baseMidi = 72; // starts on C5 when played at its own rate
    in.volume = 40;
    return in;
}

enum Ch { TUNE, BASS, BUBBLES, TICK };

struct Kit {
    int marimba, pulse, bass, bloop, tick, kick;
};

Kit makeKit(Song& s) {
    Kit k{};
    Instrument mar = fmBell("marimba", kModDrumRate, 84, 0.6, 4.0, 1.4, 0.22);
    mar.volume = 54;
    k.marimba = s.addInstrument(mar);
    Instrument whistle = modPulse("whistle", 0.3, 72);
    whistle.volume = 34;
    k.pulse = s.addInstrument(whistle);
    Instrument round = modWave(
        "round bass", [](int k) { return k == 1 ? 1.0 : (k == 2 ? 0.35 : (k == 3 ? 0.1 : 0.0)); },
        48);
    round.volume = 38;
    k.bass = s.addInstrument(round);
    k.bloop = s.addInstrument(bloop());
    Instrument shaker = hiHat("shaker", kModDrumRate, 0.1, 404);
    shaker.volume = 38;
    k.tick = s.addInstrument(shaker);
    Instrument soft = kickDrum("soft kick", kModDrumRate, 0.5);
    soft.volume = 44;
    k.kick = s.addInstrument(soft);
    return k;
}

// Bubbly: the whistle wobbles and slides, the bass is cut short, the shaker ticks.
Expression bubblyExpression() {
    Expression e;
    e.channels = {
        {TUNE, Role::Lead}, {BASS, Role::Bass}, {BUBBLES, Role::Plain}, {TICK, Role::Hats}};
    e.vibrato = 0x64;
    e.vibratoAfter = 2;
    e.vibratoMinRows = 4;
    e.slideEvery = 2;
    e.crispGates = true;
    e.cutTick = 4;
    e.rollEvery = 0;
    e.hatCut = 1;
    return e;
}

} // namespace

Module bubble() {
    Song s("bubble", Format::Mod, 4);
    const auto [marimba, pulse, bass, blp, tick, kick] = makeKit(s);

    const Phrase a = makePhrase("E5:2 G5:2 C6:4 B5:2 G5:2 E5:4 | C5:2 E5:2 A5:4 G5:2 E5:2 C5:4 |"
                                "F5:2 A5:2 C6:4 A5:2 F5:2 A5:4 | G5:2 B5:2 D6:4 B5:4 G5:4 |"
                                "E5:2 G5:2 C6:4 D6:2 C6:2 B5:4 | A5:2 C6:2 E6:4 D6:2 C6:2 A5:4 |"
                                "F5:2 E5:2 D5:4 F5:2 A5:2 G5:4 | C6:8 G5:4 E5:4",
                                "C:16 | Am | F | G | C | Am | Dm:8 G:8 | C:16", 1);
    const Phrase b = makePhrase("G5:6 E5:2 C5:8 | A5:6 F5:2 C5:8 | B5:6 G5:2 D5:4 F5:4 | E5:16 |"
                                "G5:6 E5:2 C5:8 | A5:6 F5:2 C6:8 | B5:4 A5:4 G5:4 F5:4 | G5:16",
                                "C:16 | F | G | C | C | F | Dm:8 G7:8 | G:16", 1);
    const Phrase half = slicePhrase(a, 0, 64);
    const Phrase fizz = makePhrase("r:32", "C:16 | G:16", 1);

    int row = 0;
    auto bubbles = [&](const Phrase& p, int every, int level) {
        for (int r = 3; r < p.rows; r += every) {
            const Chord* c = &p.chords.front();
            for (const Chord& k : p.chords)
                if (k.start <= r) c = &k;
            int pitch = nearestAbove(c->pitchClasses()[(r / 3) % c->tones.size()], 60);
            s.note(row + r, BUBBLES, pitch, blp, level + (r % 16) / 4);
        }
    };
    auto beat = [&](const Phrase& p, bool kicks) {
        for (int r = 0; r < p.rows; r += 2)
            if (kicks && r % 8 == 0)
                s.note(row + r, TICK, 60, kick);
            else
                s.note(row + r, TICK, 60, tick, (r % 4) ? 24 : -1);
    };
    // The bubbles rise alone; the bass and the shaker join for the last bar.
    const Phrase intro = slicePhrase(fizz, 0, 32);
    bubbles(intro, 3, 22);
    playBass(s, row + 16, slicePhrase(intro, 0, 16).chords, {BASS, bass, -1, 0, 0.9},
             BassStyle::Held, 4, 36);
    for (int r = 16; r < 32; r += 2) s.note(row + r, TICK, 60, tick, 10 + r / 2);
    row += intro.rows;
    struct Part {
        const Phrase* p;
        int lead, shift, bubbleEvery;
        bool kicks;
    };
    const int strainB = row + a.rows, tag = strainB + b.rows + half.rows;
    for (const Part& part : {Part{&a, marimba, 0, 7, true}, Part{&b, pulse, 0, 5, false},
                             Part{&half, marimba, 0, 3, true}}) {
        const Phrase& p = *part.p;
        playMelody(s, row, p.melody, {TUNE, part.lead, -1, part.shift, 0.95}, 16, 0);
        // Without the kick the bass only marks the half bars: the strain floats.
        playBass(s, row, p.chords, {BASS, bass, -1, 0, part.kicks ? 0.9 : 0.4},
                 part.kicks ? BassStyle::OffbeatOctaves : BassStyle::RootFifth, part.kicks ? 4 : 8,
                 36);
        bubbles(p, part.bubbleEvery, 24);
        beat(p, part.kicks);
        row += p.rows;
    }
    // The tag fizzes with bubbles over the bass and the shaker, back into the loop.
    bubbles(fizz, 2, 18);
    playBass(s, row, fizz.chords, {BASS, bass, -1, 0, 0.9}, BassStyle::OffbeatOctaves, 4, 36);
    beat(fizz, false);
    row += fizz.rows;
    s.ensureRows(row);
    express(s, bubblyExpression());
    // The whistle's strain without the kick sits back, the fizzing tag a little less.
    scaleLevels(s, strainB, b.rows, 0.7);
    scaleLevels(s, tag, fizz.rows, 0.7);
    s.finish(40, 6, 0.85);
    return s.module();
}

} // namespace music
