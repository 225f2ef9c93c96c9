// the bellfounders: FM bells ringing over a slow 3/4. The four-note ostinato rings on a bell
// and on its own echo, glockenspiel lines answer above it and a tubular bell marks the bars.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {
namespace {

enum Ch { OSTINATO, ECHO, MELODY, TUBULAR, BASS, PAD1, PAD2, PAD3, CHANNELS };

struct Layer {
    bool echo, melody, tubular, bass, pad;
    int level; // overall volume of the section
};

// Bells ring still: no slides; the strings tremble (tremolo) and drift, the melody bell gets a
// slow shimmer of vibrato on its long notes, the ostinato and its echo face it.
Expression bellExpression() {
    Expression e;
    e.channels = {{OSTINATO, Role::Counter, 84}, {ECHO, Role::Plain, 200},
                  {MELODY, Role::Lead, 140},     {TUBULAR, Role::Plain, 170},
                  {BASS, Role::Bass, 128},       {PAD1, Role::Pad, 44},
                  {PAD2, Role::Pad, 212},        {PAD3, Role::Pad, 128}};
    e.vibrato = 0x22;
    e.vibratoAfter = 4;
    e.slideEvery = 0;
    e.fadeMinRows = 8;
    e.swell = 30;
    e.tremolo = 0x42;
    e.panDrift = 1;
    e.rollEvery = 0;
    return e;
}

} // namespace

Module carolOfTheBells() {
    const int bar = 12;
    Song s("carol of the bells", Format::Xm, CHANNELS);
    // Struck hard: a higher rate and a deeper modulation leave the clang its upper partials.
    int bell = s.addInstrument(fmBell("bell", 44100, 72, 1.6, 3.5, 3.0, 0.55));
    Instrument glockenspiel = fmBell("glockenspiel", 44100, 84, 1.2, 5.0, 2.0, 0.35);
    glockenspiel.pan = 168;
    int glock = s.addInstrument(glockenspiel);
    Instrument tubular = fmBell("tubular bell", 22050, 60, 2.4, 1.41, 3.0, 0.9);
    tubular.pan = 96;
    int tube = s.addInstrument(tubular);
    int bass = s.addInstrument(sineBass("sine bass"));
    Instrument pad = padStrings("strings", 0.6);
    pad.volumeEnvelope = adsr(40, 40, 50, 60);
    int strings = s.addInstrument(pad);

    const std::string ost = "Bb4:4 A4:2 Bb4:2 G4:4 ";
    std::string ost8;
    for (int i = 0; i < 8; ++i) ost8 += ost;
    const Phrase a = makePhrase(ost8, "Gm:12 | Gm | Gm | Gm | Gm | Gm/F | Eb | D", 1);
    std::string high;
    for (int i = 0; i < 4; ++i) high += "D5:4 C5:2 D5:2 Bb4:4 ";
    for (int i = 0; i < 2; ++i) high += "G5:4 F5:2 G5:2 Eb5:4 ";
    high += "F5:4 Eb5:2 F5:2 D5:4 D5:4 C5:2 D5:2 A4:4";
    const Phrase b = makePhrase(high, "Gm:12 | Gm/F | Eb | D | Cm | Cm | D | D", 1);
    const Phrase c = makePhrase(
        "G5:2 G5 G5 F5 Eb5:4 | D5:2 D5 D5 C5 Bb4:4 | C5:2 C5 C5 D5 C5:4 | G4:4 A4:2 Bb4:2 G4:4 |"
        "G5:2 G5 G5 F5 Eb5:4 | D5:2 D5 D5 C5 Bb4:4 | C5:2 C5 C5 D5 C5:4 | D5:12",
        "Eb:12 | Bb | Cm | Gm | Eb | Bb | Cm | D", 1);

    int row = 0;
    auto section = [&](const Phrase& p, const Phrase& ostinato, Layer l) {
        playMelody(s, row, ostinato.melody, {OSTINATO, bell, l.level, 0, 1.0, false}, bar, 6);
        if (l.echo)
            playEcho(s, row, ostinato.melody, {ECHO, bell, l.level / 3, 12, 1.0, false}, 6,
                     p.rows + 6);
        if (l.melody && &p != &ostinato)
            playMelody(s, row, p.melody, {MELODY, glock, l.level - 4, 0, 1.0, false}, bar, 4);
        if (l.tubular)
            for (const Chord& c : p.chords)
                s.note(row + c.start, TUBULAR, nearestAbove(c.bass, 48), tube, l.level - 14);
        if (l.bass)
            playBass(s, row, p.chords, {BASS, bass, l.level, 0, 0.95}, BassStyle::Held, 4, 31);
        if (l.pad) playChords(s, row, p.chords, {PAD1, PAD2, PAD3}, strings, l.level - 22, 55, 74);
        row += p.rows;
    };
    section(a, a, {false, false, false, false, false, 36});
    section(a, a, {true, false, true, true, false, 40});
    section(b, a, {true, true, true, true, true, 42});
    section(c, a, {true, true, false, true, true, 44});
    section(a, a, {true, false, true, false, true, 36});
    section(b, a, {true, true, true, true, true, 46});
    section(c, a, {true, true, true, true, true, 48});
    section(a, a, {true, true, true, true, true, 44});
    // Outro: the ostinato dies away over a held G minor.
    for (int i = 0; i < 8; ++i) {
        const Phrase one = slicePhrase(a, 0, bar);
        playMelody(s, row, one.melody, {OSTINATO, bell, 40 - i * 4, 0, 1.0, false}, bar, 4);
        if (i == 0) {
            s.note(row, TUBULAR, 55, tube, 34);
            s.note(row, BASS, 43, bass, 40);
        }
        row += bar;
    }
    s.off(row - 2, BASS);
    express(s, bellExpression());
    s.finish(130, 6, 0.80);
    return s.module();
}

} // namespace music
