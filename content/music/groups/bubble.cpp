// The end tune: a short, bubbly loop under the end pictures. Rising sine "bloops" bubble up
// between a soft triangle tune, a rounded bass and a ticking shaker.

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

} // namespace

Module bubble() {
    enum Ch { TUNE, BASS, BUBBLES, TICK };
    Song s("bubble", Format::Mod, 4);
    Instrument tri = modTriangle("tune", 72);
    tri.volume = 44;
    int tune = s.addInstrument(tri);
    Instrument round = modWave(
        "round bass", [](int k) { return k == 1 ? 1.0 : (k == 2 ? 0.3 : 0.0); }, 48);
    round.volume = 50;
    int bass = s.addInstrument(round);
    int blp = s.addInstrument(bloop());
    Instrument shaker = hiHat("shaker", kModDrumRate, 0.06, 404);
    shaker.volume = 22;
    int tick = s.addInstrument(shaker);

    const Phrase a = makePhrase("E5:2 G5:2 C6:4 B5:2 G5:2 E5:4 | C5:2 E5:2 A5:4 G5:2 E5:2 C5:4 |"
                                "F5:2 A5:2 C6:4 A5:2 F5:2 A5:4 | G5:2 B5:2 D6:4 B5:4 G5:4 |"
                                "E5:2 G5:2 C6:4 D6:2 C6:2 B5:4 | A5:2 C6:2 E6:4 D6:2 C6:2 A5:4 |"
                                "F5:2 E5:2 D5:4 F5:2 A5:2 G5:4 | C6:8 r:8",
                                "C:16 | Am | F | G | C | Am | Dm:8 G:8 | C:16", 1);
    const Phrase b = makePhrase("G5:6 E5:2 C5:8 | A5:6 F5:2 C5:8 | B5:6 G5:2 D5:4 F5:4 | E5:16 |"
                                "G5:6 E5:2 C5:8 | A5:6 F5:2 C6:8 | B5:4 A5:4 G5:4 F5:4 | G5:16",
                                "C:16 | F | G | C | C | F | Dm:8 G7:8 | G:16", 1);
    const Phrase tag = makePhrase("r:64", "C:16 | Am | F | G", 1);

    int row = 0;
    for (const Phrase* p : {&a, &b, &tag}) {
        playMelody(s, row, p->melody, {TUNE, tune, -1, 0, 0.7}, 16, 0);
        playBass(s, row, p->chords, {BASS, bass, -1, 0, 0.6}, BassStyle::OffbeatOctaves, 4, 36);
        for (int r = 0; r < p->rows; r += 2) s.note(row + r, TICK, 60, tick, (r % 4) ? 12 : -1);
        int bubbles = p == &tag ? 1 : 3; // the tag fizzes with bubbles
        for (int r = 3; r < p->rows; r += bubbles * 2 + 1) {
            const Chord* c = &p->chords.front();
            for (const Chord& k : p->chords)
                if (k.start <= r) c = &k;
            int pitch = nearestAbove(c->pitchClasses()[(r / 3) % c->tones.size()], 60);
            s.note(row + r, BUBBLES, pitch, blp, p == &tag ? 20 + r / 4 : 26);
        }
        row += p->rows;
    }
    // Bubbly: the tune wobbles and slides, the bass is cut short, the shaker ticks.
    Expression e;
    e.channels = {
        {TUNE, Role::Lead}, {BASS, Role::Bass}, {BUBBLES, Role::Plain}, {TICK, Role::Hats}};
    e.vibrato = 0x64;
    e.vibratoAfter = 2;
    e.vibratoMinRows = 4;
    e.slideEvery = 2;
    e.crispGates = true;
    e.rollEvery = 0;
    e.hatCut = 1;
    express(s, e);
    s.finish(40, 6, 0.82);
    return s.module();
}

} // namespace music
