// the last candle: a music box, wound up once more, high on its comb. The comb plays the tune
// alone at first; a harp and a low tine join, then strings, a warm bass and a brushed shaker,
// a flute sings the verse against the chorus with a celesta on its long notes, and the last
// chorus rises a tone before the box runs down on its own.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {

namespace {

enum Ch { TUNE, COMB, LOW, PAD1, PAD2, ECHO, FLUTE, HARP, BELL, SHAKER, CHANNELS };

struct Kit {
    int box, low, glow, flute, harp, celesta, bass, brush;
};

Kit makeKit(Song& s) {
    Kit k{};
    k.box = s.addInstrument(musicBox("music box", 44100, 84, 1.8));
    k.low = s.addInstrument(musicBox("low tine", 22050, 60, 2.2));
    Instrument pad = padStrings("candle glow", 0.6);
    pad.volumeEnvelope = adsr(80, 40, 48, 80);
    k.glow = s.addInstrument(pad);
    k.flute = s.addInstrument(flute("flute"));
    Instrument harpString = pluck("harp", 44100, 67, 2.0, 0.9993, 311);
    harpString.volumeEnvelope = Envelope{{{0, 64}, {6, 52}, {160, 20}, {180, 0}}, 2};
    harpString.fadeout = 800;
    k.harp = s.addInstrument(harpString);
    k.celesta = s.addInstrument(fmBell("celesta", 44100, 96, 1.0, 4.0, 1.6, 0.35));
    k.bass = s.addInstrument(sineBass("warm bass"));
    k.brush = s.addInstrument(hiHat("brush", 44100, 0.2, 313));
    return k;
}

// A music box cannot bend; the flute sings with vibrato and slides, the strings swell.
Expression musicBoxExpression() {
    Expression e;
    e.channels = {{TUNE, Role::Plain, 104}, {COMB, Role::Plain, 176}, {LOW, Role::Plain, 150},
                  {PAD1, Role::Pad, 36},    {PAD2, Role::Pad, 220},   {ECHO, Role::Bass, 128},
                  {FLUTE, Role::Lead, 64},  {HARP, Role::Plain, 200}, {BELL, Role::Plain, 160},
                  {SHAKER, Role::Hats, 216}};
    e.vibrato = 0x32;
    e.swell = 40;
    e.panDrift = 1;
    e.rollEvery = 0;
    return e;
}

} // namespace

Module auldLangSyne() {
    const int bar = 16, beat = 4;
    Song s("auld lang syne", Format::Xm, CHANNELS);
    const auto [box, low, glow, fl, harp, celesta, bass, brush] = makeKit(s);

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
        playArpeggio(s, row, p.chords, {COMB, box, level, 12, 1.0, false}, beat / 2, 60,
                     {0, 2, 1, 2});
    };
    // Each time round one more player joins: 0 the box, 1 harp and tine, 2 the band, 3 with
    // the flute's counter-melody and the celesta on the long notes, 4 a tone higher.
    auto tune = [&](const Phrase& p, const Phrase& counter, int level, int players) {
        playMelody(s, row, p.melody, {TUNE, box, level, 24, 1.0, false}, bar, 4);
        comb(p, level - 12);
        if (players >= 1) {
            playArpeggio(s, row, p.chords, {HARP, harp, level - 12, 0, 1.0, false}, beat / 2, 55,
                         {0, 1, 2, 3, 4, 3, 2, 1});
            playBass(s, row, p.chords, {LOW, low, level - 8, -12, 1.0, false}, BassStyle::RootFifth,
                     beat * 2, 48);
        }
        if (players >= 2) {
            playChords(s, row, p.chords, {PAD1, PAD2}, glow, level - 18, 57, 69);
            playBass(s, row, p.chords, {ECHO, bass, level - 10, -12, 1.0}, BassStyle::Held, beat,
                     36);
            playDrums(s, row, p.rows, SHAKER, "..s...s...s...sS",
                      {{'s', {brush, 28}}, {'S', {brush, 36}}});
        }
        if (players >= 3) playMelody(s, row, counter.melody, {FLUTE, fl, level - 8, 0, 0.95});
        if (players >= 3)
            for (const Note& n : p.melody)
                if (n.length >= 8) s.note(row + n.start, BELL, n.pitch + 24, celesta, level - 14);
        row += p.rows;
    };
    // Winding up: the comb alone.
    const Phrase intro = slicePhrase(chorus, 64, 64);
    comb(intro, 30);
    row += intro.rows;
    tune(verse, verse, 44, 0);
    tune(chorus, verse, 44, 1);
    tune(verse, chorus, 46, 2);
    tune(chorus, verse, 48, 3);
    // The last chorus a tone higher: verse and chorus share their chords, so the flute's verse
    // sits against the box's chorus.
    Phrase up = chorus, upCounter = verse;
    up.melody = transposed(chorus.melody, 2);
    up.chords = transposed(chorus.chords, 2);
    upCounter.melody = transposed(verse.melody, 2);
    tune(up, upCounter, 48, 4);
    // Run down: the last notes on their own.
    s.note(row, TUNE, 79, box, 40);
    s.note(row, LOW, 55, low, 34);
    s.note(row, BELL, 91, celesta, 24);
    s.note(row + beat * 2, TUNE, 74, box, 30);
    s.note(row + beat * 4, TUNE, 67, box, 24);
    row += bar * 2;
    s.ensureRows(row);
    express(s, musicBoxExpression());
    s.finish(152, 6, 0.83);
    return s.module();
}

} // namespace music
