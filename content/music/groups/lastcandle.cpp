// the last candle: a music box, wound up once more. The comb plays the tune with its own
// broken-chord accompaniment; a faint pad and a low tine join on the second time round.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {

Module auldLangSyne() {
    enum Ch { TUNE, COMB, LOW, PAD1, PAD2, ECHO, CHANNELS };
    const int bar = 16, beat = 4;
    Song s("auld lang syne", Format::Xm, CHANNELS);
    int box = s.addInstrument(musicBox("music box", 44100, 84, 1.8));
    int low = s.addInstrument(musicBox("low tine", 22050, 60, 2.2));
    Instrument pad = padStrings("candle glow", 0.35);
    pad.volumeEnvelope = adsr(80, 40, 48, 80);
    int glow = s.addInstrument(pad);

    static const Phrase verse = makePhrase(
        "F4:6 F4:2 F4:4 A4:4 | G4:6 F4:2 G4:4 A4:2 G4:2 | F4:6 F4:2 A4:4 C5:4 | D5:12 D5:4 |"
        "C5:6 A4:2 A4:4 F4:4 | G4:6 F4:2 G4:4 A4:2 G4:2 | F4:6 D4:2 D4:4 C4:4 | F4:12 D5:4",
        "F:16 | C:8 C7:8 | F:8 F7:8 | Bb:16 | F:16 | C:8 C7:8 | Dm:8 Bb:4 C7:4 | F:16", 1);
    static const Phrase chorus = makePhrase(
        "C5:6 A4:2 A4:4 F4:4 | G4:6 F4:2 G4:4 D5:4 | C5:6 A4:2 A4:4 C5:4 | D5:12 F5:4 |"
        "C5:6 A4:2 A4:4 F4:4 | G4:6 F4:2 G4:4 A4:2 G4:2 | F4:6 D4:2 D4:4 C4:4 | F4:12 C4:4",
        "F:16 | C:8 C7:8 | F:8 F7:8 | Bb:16 | F:16 | C:8 C7:8 | Dm:8 Bb:4 C7:4 | F:16", 1);

    int row = 0;
    auto comb = [&](const Phrase& p, int level) {
        playArpeggio(s, row, p.chords, {COMB, box, level, -12, 1.0, false}, beat / 2, 60,
                     {0, 2, 1, 2});
    };
    auto tune = [&](const Phrase& p, int level, bool full) {
        playMelody(s, row, p.melody, {TUNE, box, level, 12, 1.0, false}, bar, 4);
        comb(p, level - 16);
        if (full) {
            playBass(s, row, p.chords, {LOW, low, level - 6, -12, 1.0, false}, BassStyle::RootFifth,
                     beat * 2, 48);
            playChords(s, row, p.chords, {PAD1, PAD2}, glow, level - 24, 57, 69);
            playEcho(s, row, p.melody, {ECHO, box, level / 4, 24, 1.0, false}, 3, p.rows);
        }
        row += p.rows;
    };
    // Winding up: the comb alone.
    const Phrase intro = slicePhrase(chorus, 64, 64);
    comb(intro, 30);
    row += intro.rows;
    tune(verse, 44, false);
    tune(chorus, 44, false);
    tune(verse, 46, true);
    tune(chorus, 48, true);
    tune(chorus, 40, true);
    // Run down: the last notes on their own.
    s.note(row, TUNE, 77, box, 40);
    s.note(row, LOW, 53, low, 34);
    s.note(row + beat * 2, TUNE, 72, box, 30);
    s.note(row + beat * 4, TUNE, 65, box, 24);
    row += bar * 2;
    s.ensureRows(row);
    Expression e;
    e.channels = {{TUNE, Role::Lead, 110}, {COMB, Role::Plain, 170}, {LOW, Role::Bass, 128},
                  {PAD1, Role::Pad, 50},   {PAD2, Role::Pad, 206},   {ECHO, Role::Counter, 220}};
    e.vibrato = 0x32;
    e.swell = 40;
    e.panDrift = 1;
    e.rollEvery = 0;
    express(s, e);
    s.finish(152, 6, 1.04);
    return s.module();
}

} // namespace music
