// midnight choir: a church at midnight. Bells toll the hour, an organ holds the harmony with a
// pedal bass, and voices carry the hymn, first one choir, then the organ alone, then everyone
// with a descant above.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {

Module bleakMidwinter() {
    enum Ch { LEAD, DESCANT, CH1, CH2, CH3, ORG1, ORG2, ORG3, PEDAL, TOLL, CHANNELS };
    const int bar = 16, beat = 4;
    Song s("bleak midwinter", Format::Xm, CHANNELS);
    int aah = s.addInstrument(choir("choir aah", false));
    int ooh = s.addInstrument(choir("choir ooh", true));
    int org = s.addInstrument(organ("organ"));
    Instrument pedal = organ("pedal");
    pedal.volumeEnvelope = adsr(6, 10, 56, 20);
    int ped = s.addInstrument(pedal);
    Instrument bell = fmBell("church bell", 22050, 60, 3.0, 1.41, 3.5, 1.2);
    bell.pan = 100; // a little way off to one side
    int toll = s.addInstrument(bell);

    static const Phrase hymn =
        makePhrase("A4:4 A4 G4 F4 | G4:12 r:4 | A4:4 C5 C5 D5 | C5:12 r:4 |"
                   "A4:4 A4 G4 F4 | G4:12 r:4 | A4:4 G4 F4 G4 | F4:12 r:4 |"
                   "Bb4:4 C5 D5 D5 | C5:8 A4:8 | Bb4:4 A4 G4 F4 | G4:12 r:4 |"
                   "A4:4 A4 G4 F4 | G4:12 r:4 | A4:4 G4 F4 G4 | F4:12 r:4",
                   "F:8 Dm:8 | C:16 | F:8 Bb:8 | F:8 C:8 | F:8 Dm:8 | C:16 | F:8 C7:8 | F:16 |"
                   "Bb:8 Gm:8 | F:8 Dm:8 | Bb:8 Dm:8 | C:16 | F:8 Dm:8 | C:16 | F:8 C7:8 | F:16",
                   1);
    const std::vector<int> choirs{CH1, CH2, CH3}, organs{ORG1, ORG2, ORG3};
    int row = 0;
    // Midnight: four tolls over a held organ chord.
    for (int i = 0; i < 4; ++i) s.note(row + i * bar, TOLL, i % 2 ? 53 : 60, toll, 44 - i * 2);
    Chord home = hymn.chords.front();
    home.start = 0;
    home.length = 4 * bar;
    home.tones = {0, 4, 7};
    playChords(s, row, {home}, organs, org, 26, 53, 69);
    playBass(s, row, {home}, {PEDAL, ped, 40, 0, 1.0}, BassStyle::Held, beat, 29);
    row += 4 * bar;

    // Verse one: the choir sings, the organ holds.
    playMelody(s, row, hymn.melody, {LEAD, aah, 44, 0, 0.97}, bar, 4);
    playChords(s, row, hymn.chords, organs, org, 22, 53, 69);
    playBass(s, row, hymn.chords, {PEDAL, ped, 38, 0, 1.0}, BassStyle::Held, beat, 29);
    scaleLevels(s, row, hymn.rows, 0.72); // sung softly first; the verses grow to the third
    row += hymn.rows;
    // Verse two: the organ takes the tune, the choir hums the harmony.
    playMelody(s, row, hymn.melody, {LEAD, org, 40, 12, 0.9}, bar, 4);
    playChords(s, row, hymn.chords, choirs, ooh, 30, 55, 72);
    playBass(s, row, hymn.chords, {PEDAL, ped, 38, 0, 1.0}, BassStyle::RootFifth, beat * 2, 29);
    scaleLevels(s, row, hymn.rows, 0.85);
    row += hymn.rows;
    // Verse three: everyone, a descant an octave up on the voices.
    playMelody(s, row, hymn.melody, {LEAD, aah, 46, 0, 0.97}, bar, 4);
    playMelody(s, row, hymn.melody, {DESCANT, ooh, 28, 12, 0.97});
    playChords(s, row, hymn.chords, choirs, ooh, 26, 55, 72);
    playChords(s, row, hymn.chords, organs, org, 22, 48, 64);
    playBass(s, row, hymn.chords, {PEDAL, ped, 42, 0, 1.0}, BassStyle::Walking, beat, 29);
    for (int b = 0; b < hymn.rows; b += 4 * bar) s.note(row + b, TOLL, 60, toll, 26);
    row += hymn.rows;
    // Amen: a plagal close, then the bell once more.
    const Phrase amen = makePhrase("F4:16 F4:16", "Bb:16 F:16", 1);
    playMelody(s, row, amen.melody, {LEAD, aah, 40, 0, 0.95});
    playChords(s, row, amen.chords, choirs, ooh, 28, 55, 72);
    playChords(s, row, amen.chords, organs, org, 22, 48, 64);
    playBass(s, row, amen.chords, {PEDAL, ped, 38, 0, 0.95}, BassStyle::Held, beat, 29);
    s.note(row + amen.rows, TOLL, 60, toll, 36);
    row += amen.rows + bar;
    s.ensureRows(row);
    // Choir and organ: voices with a slow vibrato that swell into each chord, the choir on
    // one side and the organ on the other, drifting a little.
    Expression e;
    e.channels = {{LEAD, Role::Lead, 120}, {DESCANT, Role::Counter, 172}, {CH1, Role::Pad, 60},
                  {CH2, Role::Pad, 100},   {CH3, Role::Pad, 150},         {ORG1, Role::Pad, 36},
                  {ORG2, Role::Pad, 220},  {ORG3, Role::Pad, 190},        {PEDAL, Role::Bass, 128},
                  {TOLL, Role::Plain, 84}};
    e.vibrato = 0x33;
    e.vibratoAfter = 4;
    e.slideEvery = 4;
    e.swell = 35;
    e.panDrift = 1;
    e.rollEvery = 0;
    express(s, e);
    s.finish(164, 6, 1.55);
    return s.module();
}

} // namespace music
