// aurora pads: slow, wide and soft. Three voices of detuned strings hold the harmony, a sine
// bass moves under them, a soft bell or flute sings the tune with a distant echo, and a high
// bell scatters slow arpeggios like light on snow. A tune opens on the harmony alone, sings
// its first verse close and bare, opens out, and gathers the whole sky for the last verse
// (choir, glass bells over the long notes), then settles back.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {
namespace {

enum Ch { LEAD, ECHO, PAD1, PAD2, PAD3, BASS, SPARKLE, COUNTER, GLASS, CHANNELS };
enum class Mode { Dawn, Bell, Flute, Full, Dusk };

struct Kit {
    int bell, flute, strings, bass, sparkle, choir;
};

Kit makeKit(Song& s) {
    Kit k{};
    k.bell = s.addInstrument(fmBell("soft bell", 22050, 72, 2.0, 2.0, 1.2, 0.8));
    k.flute = s.addInstrument(flute("flute"));
    Instrument pad = padStrings("aurora strings", 0.9);
    pad.volumeEnvelope = adsr(60, 40, 54, 80);
    k.strings = s.addInstrument(pad);
    k.bass = s.addInstrument(sineBass("sine bass"));
    Instrument sparkle = fmBell("sparkle", 44100, 84, 1.2, 3.5, 3.0, 0.4); // glassy partials
    sparkle.pan = 184;
    k.sparkle = s.addInstrument(sparkle);
    Instrument ooh = choir("ooh", true);
    ooh.pan = 88;
    k.choir = s.addInstrument(ooh);
    return k;
}

int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, int beat, int level) {
    const std::vector<int> pads{PAD1, PAD2, PAD3};
    switch (mode) {
    case Mode::Dawn: // harmony alone, the sparkle entering
        playChords(s, row, p.chords, pads, k.strings, level - 6, 55, 72);
        playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0}, BassStyle::Held, beat, 36);
        playArpeggio(s, row, p.chords, {SPARKLE, k.sparkle, level - 12, 12, 1.0, false}, beat, 65,
                     {0, 2, 4, 2});
        break;
    case Mode::Bell: // close: the bell over soft strings
        playMelody(s, row, p.melody, {LEAD, k.bell, level, 0, 1.0, false});
        playEcho(s, row, p.melody, {ECHO, k.bell, level / 3, 12, 1.0, false}, beat * 2, p.rows);
        playChords(s, row, p.chords, pads, k.strings, level - 12, 55, 72);
        playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0}, BassStyle::Held, beat, 36);
        break;
    case Mode::Flute:
        playMelody(s, row, p.melody, {LEAD, k.flute, level - 4, 0, 0.95});
        playChords(s, row, p.chords, pads, k.strings, level - 10, 52, 70);
        playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0}, BassStyle::RootFifth, beat * 2,
                 36);
        playArpeggio(s, row, p.chords, {SPARKLE, k.sparkle, level - 12, 12, 1.0, false}, beat, 65,
                     {0, 1, 2, 3, 4, 3});
        break;
    case Mode::Full:
        for (const Note& n : p.melody) // glass over the long notes, two octaves up
            if (n.length >= 2 * beat && n.pitch + 24 <= 103)
                s.note(row + n.start, GLASS, n.pitch + 24, k.sparkle, level - 10);
        playMelody(s, row, p.melody, {LEAD, k.bell, level + 2, 0, 1.0, false});
        playMelody(s, row, p.melody, {COUNTER, k.choir, level - 10, -12, 1.0});
        playEcho(s, row, p.melody, {ECHO, k.bell, level / 3, 12, 1.0, false}, beat * 2, p.rows);
        playChords(s, row, p.chords, pads, k.strings, level - 6, 55, 74);
        playBass(s, row, p.chords, {BASS, k.bass, level + 2, 0, 1.0}, BassStyle::RootFifth,
                 beat * 2, 36);
        playArpeggio(s, row, p.chords, {SPARKLE, k.sparkle, level - 10, 12, 1.0, false}, beat, 65,
                     {0, 2, 4, 5, 4, 2});
        break;
    case Mode::Dusk: { // the last chord rings out
        Chord last = p.chords.back();
        last.start = 0;
        last.length = p.rows;
        playChords(s, row, {last}, pads, k.strings, level - 6, 55, 72);
        playBass(s, row, {last}, {BASS, k.bass, level, 0, 1.0}, BassStyle::Held, beat, 36);
        s.note(row, LEAD, nearestAbove(last.root, 72), k.bell, level);
        playArpeggio(s, row, {last}, {SPARKLE, k.sparkle, level - 14, 12, 1.0, false}, beat * 2, 65,
                     {4, 2, 1, 0});
        break;
    }
    }
    s.ensureRows(row + p.rows);
    return p.rows;
}

using Plan = Section<Mode>;

Module build(const char* title, const std::vector<Plan>& plan, int beat, double seconds,
             double gain) {
    Song s(title, Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    auto play = [&](int row, const Plan& p) {
        return section(s, k, row, *p.phrase, p.mode, beat, p.level);
    };
    // Pads: slow delayed vibrato, swells into each chord and pads drifting across the field;
    // the echo and the counter-melody answer from the left, the sparkle from the right.
    Expression e;
    e.channels = {
        {LEAD, Role::Lead, 118},     {ECHO, Role::Counter, 44},    {PAD1, Role::Pad, 40},
        {PAD2, Role::Pad, 216},      {PAD3, Role::Pad, 128},       {BASS, Role::Bass, 128},
        {SPARKLE, Role::Plain, 204}, {COUNTER, Role::Counter, 80}, {GLASS, Role::Plain, 60}};
    e.vibrato = 0x32;
    e.vibratoAfter = 4;
    e.vibratoMinRows = 8;
    e.slideEvery = 4;
    e.fadeMinRows = 12;
    e.swell = 40;
    e.panDrift = 1;
    e.rollEvery = 0;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

} // namespace

Module silentNight() {
    static const Phrase verse =
        makePhrase("G4:6 A4:2 G4:4 | E4:12 | G4:6 A4:2 G4:4 | E4:12 |"
                   "D5:8 D5:4 | B4:12 | C5:8 C5:4 | G4:12 |"
                   "A4:8 A4:4 | C5:6 B4:2 A4:4 | G4:6 A4:2 G4:4 | E4:12 |"
                   "A4:8 A4:4 | C5:6 B4:2 A4:4 | G4:6 A4:2 G4:4 | E4:12 |"
                   "D5:8 D5:4 | F5:6 D5:2 B4:4 | C5:12 | E5:12 |"
                   "C5:4 G4 E4 | G4:6 F4:2 D4:4 | C4:24",
                   "C:12 | C | C | C | G | G | C | C | F | C | C | C | F | C | C | C |"
                   "G | G7 | C | C | C | G7 | C | C",
                   1);
    static const Phrase dawn = slicePhrase(verse, 0, 48);
    static const Phrase dusk = slicePhrase(verse, 264, 24);
    return build("silent night",
                 {{&dawn, Mode::Dawn, 30},
                  {&verse, Mode::Bell, 34},
                  {&verse, Mode::Flute, 42},
                  {&verse, Mode::Full, 52},
                  {&dusk, Mode::Dusk, 32}},
                 6, 160, 0.74);
}

Module northernLights() {
    // Original: a slow climb in D major that keeps turning towards B minor.
    static const Phrase a = makePhrase("F#5:8 E5:4 D5:4 | A4:16 | B4:8 C#5:4 D5:4 | E5:16 |"
                                       "F#5:8 A5:4 F#5:4 | E5:12 D5:4 | B4:8 D5:4 C#5:4 | A4:16",
                                       "D:16 | A/C# | Bm | G | D | A | Em7 | A", 1);
    static const Phrase b = makePhrase("D5:8 F#5:4 B5:4 | A5:16 | G5:8 F#5:4 E5:4 | F#5:16 |"
                                       "D5:8 E5:4 F#5:4 | B4:12 C#5:4 | D5:8 E5:4 C#5:4 | D5:16",
                                       "Bm:16 | F#m | G | D | Bm | Em | G:8 A:8 | D:16", 1);
    static const Phrase dawn = slicePhrase(a, 0, 64);
    static const Phrase dusk = slicePhrase(b, 96, 32);
    return build("northern lights",
                 {{&dawn, Mode::Dawn, 30},
                  {&a, Mode::Bell, 34},
                  {&b, Mode::Bell, 38},
                  {&a, Mode::Flute, 42},
                  {&b, Mode::Flute, 44},
                  {&dawn, Mode::Dawn, 28},
                  {&a, Mode::Full, 50},
                  {&b, Mode::Full, 52},
                  {&dusk, Mode::Dusk, 32}},
                 4, 170, 0.85);
}

Module oHolyNight() {
    // 12/8: a bar holds four dotted-quarter beats of six rows.
    static const Phrase verse =
        makePhrase("E4:6 E4:4 E4:2 G4:12 | G4:4 A4:2 A4:4 F4:2 A4:6 C5:6 | G4:24 |"
                   "G4:4 G4:2 E4:4 D4:2 C4:6 E4:6 | F4:4 G4:2 F4:4 D4:2 C4:12 |"
                   "E4:6 E4:4 E4:2 G4:12 | G4:4 A4:2 A4:4 F4:2 A4:6 C5:6 | G4:24 |"
                   "G4:4 F#4:2 E4:4 B4:2 A4:6 G4:6 | B4:4 C5:2 D5:4 G4:2 C5:12",
                   "C:24 | F:12 C:12 | C:24 | C:12 Am:12 | F:6 G7:6 C:12 |"
                   "C:24 | F:12 C:12 | C:24 | Em:12 B7:12 | Em:12 G7:6 C:6",
                   1);
    static const Phrase climax = makePhrase(
        "G4:6 G4:6 A4:6 D4:6 | G4:6 A4:6 G4:6 C5:6 | F4:6 A4:12 F4:6 | E4:24 |"
        "A4:12 A4:12 | D5:12 B4:12 | C5:18 A4:6 | G4:24 |"
        "E5:12 D5:12 | C5:18 G4:6 | A4:6 C5:6 B4:6 A4:6 | G4:24 |"
        "E5:12 D5:12 | C5:18 F4:6 | E4:6 G4:6 D4:6 B3:6 | C4:24",
        "C:24 | C | F:12 Dm:12 | C:24 | F:12 Am:12 | Dm:12 G:12 | Am:12 F:12 | C:24 |"
        "C:12 G:12 | Am:12 Em:12 | F:12 D7:12 | G:24 | C:12 G:12 | Am:12 F:12 | C:12 G7:12 | C:24",
        1);
    static const Phrase dawn = slicePhrase(verse, 0, 48);
    static const Phrase dusk = slicePhrase(climax, 360, 24);
    return build("o holy night",
                 {{&dawn, Mode::Dawn, 30},
                  {&verse, Mode::Bell, 34},
                  {&climax, Mode::Flute, 44},
                  {&verse, Mode::Bell, 34},
                  {&climax, Mode::Full, 52},
                  {&dusk, Mode::Dusk, 32}},
                 6, 150, 0.76);
}

Module polarDrift() {
    // Original: modal drift between A minor and F, slow and floating.
    static const Phrase a = makePhrase(
        "E5:12 D5:4 | C5:8 B4:8 | A4:12 G4:4 | A4:16 | C5:12 B4:4 | A4:8 G4:8 | E4:16 | r:16",
        "Am:16 | F | C | G | Am | F | Em | Em", 1);
    static const Phrase b = makePhrase(
        "A4:8 C5:8 | F5:16 | E5:8 D5:4 C5:4 | D5:16 | C5:8 A4:8 | G4:8 E4:8 | F4:8 G4:8 | A4:16",
        "F:16 | Dm | C | G | Am | C | Dm:8 E:8 | Am:16", 1);
    static const Phrase dawn = slicePhrase(a, 0, 64);
    static const Phrase dusk = slicePhrase(b, 96, 32);
    return build("polar drift",
                 {{&dawn, Mode::Dawn, 30},
                  {&a, Mode::Bell, 34},
                  {&b, Mode::Bell, 36},
                  {&a, Mode::Flute, 42},
                  {&b, Mode::Flute, 44},
                  {&a, Mode::Full, 50},
                  {&b, Mode::Full, 52},
                  {&dusk, Mode::Dusk, 32}},
                 4, 140, 0.84);
}

} // namespace music
