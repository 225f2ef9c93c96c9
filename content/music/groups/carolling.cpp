// the carolling machine: full arrangements. Piano-like plucked arpeggios, a string section,
// brass and bells taking turns with the tune, a choir underneath, walking bass and a light
// band kit with tambourine; each verse changes the lead and the accompaniment so the tune
// travels through the band.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {
namespace {

enum Ch { LEAD, DOUBLE, STR1, STR2, STR3, PIANO, BASS, KICK, SNARE, TAMB, BELLS, CHOIR, CHANNELS };
enum class Mode { Intro, Piano, Strings, Brass, Bells, Finale, Outro };

struct Kit {
    int piano, strings, brass, bell, choir, bass, kick, snare, tamb, crash;
};

struct Meter {
    int bar;  // rows a bar
    int beat; // rows a beat
};

Kit makeKit(Song& s) {
    Kit k{};
    Instrument piano = pluck("piano", 44100, 60, 2.0, 0.9985, 211);
    piano.volumeEnvelope = Envelope{{{0, 64}, {4, 56}, {200, 30}, {210, 0}}, 2};
    piano.fadeout = 1024;
    piano.pan = 148;
    k.piano = s.addInstrument(piano);
    Instrument str = padStrings("strings", 0.75);
    str.volumeEnvelope = adsr(20, 30, 50, 30);
    k.strings = s.addInstrument(str);
    Instrument brass = sawLead("brass", 2);
    brass.volumeEnvelope = adsr(4, 16, 44, 8);
    brass.vibratoDepth = 3;
    brass.vibratoRate = 10;
    brass.vibratoSweep = 50;
    k.brass = s.addInstrument(brass);
    k.bell = s.addInstrument(fmBell("tubular bell", 22050, 72, 2.0, 1.41, 2.0, 0.8));
    Instrument aah = choir("choir aah", false);
    aah.pan = 104;
    k.choir = s.addInstrument(aah);
    Instrument bass = pluck("bass", 22050, 40, 1.6, 0.999, 223);
    k.bass = s.addInstrument(bass);
    k.kick = s.addInstrument(kickDrum("kick", 22050, 0.9));
    k.snare = s.addInstrument(snareDrum("snare", 22050, 0.5, 0.25, 227));
    Instrument tamb = sleighBells("tambourine", 22050, 229);
    tamb.pan = 180;
    k.tamb = s.addInstrument(tamb);
    k.crash = s.addInstrument(hiHat("crash", 22050, 1.2, 233));
    return k;
}

void drums(Song& s, const Kit& k, int row, int rows, const Meter& m, int level, bool full) {
    for (int r = 0; r < rows; r += m.beat) {
        int inBar = r % m.bar;
        bool last = r + m.bar >= rows;
        if (inBar == 0)
            s.note(row + r, KICK, 60, k.kick, level);
        else if (m.bar == 16 && inBar == 8)
            s.note(row + r, KICK, 60, k.kick, level - 6);
        if (m.bar == 16 && (inBar == 4 || inBar == 12))
            s.note(row + r, SNARE, 60, k.snare, level - 12);
        if (m.bar == 12 && inBar != 0) s.note(row + r, SNARE, 60, k.snare, level - 22);
        if (full) {
            s.note(row + r, TAMB, 60, k.tamb, level - 26);
            s.note(row + r + m.beat / 2, TAMB, 60, k.tamb, level - 34);
        }
        if (last && full && inBar >= m.bar - 2 * m.beat) // a fill into the next verse
            for (int f = 0; f < m.beat; f += std::max(1, m.beat / 2))
                s.note(row + r + f, SNARE, 60, k.snare, level - 14 + f);
    }
    if (full) s.note(row, TAMB, 60, k.crash, level - 20);
}

// The last chord held two bars, the bell and the choir on top, one stroke of the drums.
int outro(Song& s, const Kit& k, int row, const Phrase& p, const Meter& m, int level) {
    const std::vector<int> str{STR1, STR2, STR3};
    Chord last = p.chords.back();
    last.start = 0;
    last.length = m.bar * 2;
    playChords(s, row, {last}, str, k.strings, level - 12, 55, 74);
    s.note(row, LEAD, nearestAbove(last.root, 72), k.bell, level);
    s.note(row, CHOIR, nearestAbove(last.root, 60), k.choir, level - 12);
    s.off(row + m.bar * 2 - 2, CHOIR);
    s.note(row, BASS, nearestAbove(last.root, 36), k.bass, level);
    s.note(row, KICK, 60, k.kick, level);
    s.note(row, TAMB, 60, k.crash, level - 14);
    playArpeggio(s, row, {last}, {PIANO, k.piano, level - 12, 12, 1.0, false}, m.beat / 2, 55,
                 {0, 1, 2, 3, 4, 5, 6, 7});
    s.ensureRows(row + last.length);
    return last.length;
}

int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, const Meter& m, int level) {
    const std::vector<int> str{STR1, STR2, STR3};
    const std::vector<int> broken{0, 2, 1, 2, 3, 2, 1, 2};
    switch (mode) {
    case Mode::Intro:
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 6, 0, 1.0, false}, m.beat / 2, 55,
                     broken);
        playChords(s, row, p.chords, str, k.strings, level - 16, 55, 72);
        playBass(s, row, p.chords, {BASS, k.bass, level - 4, 0, 1.0, false}, BassStyle::Held,
                 m.beat, 36);
        break;
    case Mode::Piano:
        playMelody(s, row, p.melody, {LEAD, k.piano, level, 12, 1.0, false}, m.bar, 4);
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 14, 0, 1.0, false}, m.beat / 2, 48,
                     broken);
        playChords(s, row, p.chords, str, k.strings, level - 18, 55, 72);
        playBass(s, row, p.chords, {BASS, k.bass, level - 2, 0, 1.0, false}, BassStyle::Held,
                 m.beat, 36);
        break;
    case Mode::Strings:
        playMelody(s, row, p.melody, {LEAD, k.strings, level - 2, 12, 0.95}, m.bar, 4);
        playMelody(s, row, p.melody, {CHOIR, k.choir, level - 14, 0, 0.95});
        playChords(s, row, p.chords, str, k.strings, level - 16, 52, 69);
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 16, 12, 1.0, false}, m.beat, 55,
                     {0, 1, 2, 1});
        playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0, false}, BassStyle::RootFifth,
                 m.beat, 36);
        drums(s, k, row, p.rows, m, level - 6, false);
        break;
    case Mode::Brass:
        playMelody(s, row, p.melody, {LEAD, k.brass, level, 0, 0.9}, m.bar, 6);
        playMelody(s, row, p.melody, {DOUBLE, k.brass, level - 14, 12, 0.9});
        playChords(s, row, p.chords, str, k.strings, level - 14, 55, 72);
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 14, 0, 1.0, false}, m.beat / 2, 55,
                     broken);
        playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0, false}, BassStyle::Walking, m.beat,
                 36);
        drums(s, k, row, p.rows, m, level - 2, true);
        break;
    case Mode::Bells:
        playMelody(s, row, p.melody, {LEAD, k.bell, level, 0, 1.0, false}, m.bar, 4);
        playChords(s, row, p.chords, str, k.choir, level - 16, 55, 72);
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 16, 12, 1.0, false}, m.beat / 2, 55,
                     broken);
        playBass(s, row, p.chords, {BASS, k.bass, level - 4, 0, 1.0, false}, BassStyle::Held,
                 m.beat, 36);
        break;
    case Mode::Finale:
        playMelody(s, row, p.melody, {LEAD, k.brass, level, 12, 0.9}, m.bar, 6);
        playMelody(s, row, p.melody, {DOUBLE, k.strings, level - 8, 0, 0.95});
        playMelody(s, row, p.melody, {CHOIR, k.choir, level - 12, 0, 0.95});
        playChords(s, row, p.chords, str, k.strings, level - 12, 55, 74);
        playArpeggio(s, row, p.chords, {PIANO, k.piano, level - 12, 12, 1.0, false}, m.beat / 2, 55,
                     broken);
        playBass(s, row, p.chords, {BASS, k.bass, level + 2, 0, 1.0, false}, BassStyle::Walking,
                 m.beat, 36);
        for (const Chord& c : p.chords)
            if (c.start % m.bar == 0)
                s.note(row + c.start, BELLS, nearestAbove(c.root, 72), k.bell, level - 18);
        drums(s, k, row, p.rows, m, level, true);
        break;
    case Mode::Outro:
        return outro(s, k, row, p, m, level);
    }
    s.ensureRows(row + p.rows);
    return p.rows;
}

using Plan = Section<Mode>;

Module build(const char* title, const Meter& m, const std::vector<Plan>& plan, double seconds,
             double gain) {
    Song s(title, Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    auto play = [&](int row, const Plan& p) {
        return section(s, k, row, *p.phrase, p.mode, m, p.level);
    };
    // A band in a church: brass vibrato and slurs, strings swelling on the sides, snare rolls
    // into each new section, the tambourine choked between beats.
    Expression e;
    e.channels = {{LEAD, Role::Lead, 112}, {DOUBLE, Role::Counter, 160}, {STR1, Role::Pad, 44},
                  {STR2, Role::Pad, 212},  {STR3, Role::Pad, 128},       {PIANO, Role::Plain, 176},
                  {BASS, Role::Bass, 128}, {KICK, Role::Drums, 128},     {SNARE, Role::Drums, 144},
                  {TAMB, Role::Hats, 200}, {BELLS, Role::Plain, 68},     {CHOIR, Role::Pad, 88}};
    e.vibrato = 0x44;
    e.slideEvery = 3;
    e.swell = 30;
    e.rollEvery = m.bar * 4;
    e.hatCut = 3;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

const Meter kFour{16, 4};
const Meter kThree{12, 4};

} // namespace

Module oComeAllYe() {
    static const Phrase verse =
        makePhrase("G4:8 D4:4 G4:4 | A4:8 D4:8 | B4:4 A4:4 B4:4 C5:4 | B4:8 A4:4 G4:4 |"
                   "G4:8 F#4:4 E4:4 | F#4:4 G4:4 A4:4 B4:4 | F#4:8 E4:6 D4:2 | D4:16 |"
                   "D5:8 C5:4 B4:4 | C5:8 B4:8 | A4:4 B4:4 G4:4 A4:4 | F#4:6 E4:2 D4:4 G4:4 |"
                   "G4:4 F#4:4 G4:4 A4:4 | G4:8 D4:4 B4:4 | B4:4 A4:4 B4:4 C5:4 | B4:8 A4:4 B4:4 |"
                   "C5:4 B4:4 A4:4 G4:4 | F#4:8 G4:4 C5:4 | B4:8 A4:6 G4:2 | G4:16",
                   "G:16 | D | G:8 C:8 | G:8 D:8 | Em:8 C:8 | D:8 G:8 | A7:8 D:8 | D:16 |"
                   "G:8 D:8 | C:8 G:8 | D:8 Em:8 | D:16 | G:8 D:8 | G:16 | G:8 C:8 | G:8 D:8 |"
                   "C:8 G:8 | D:8 C:8 | G:8 D7:8 | G:16",
                   1);
    static const Phrase intro = slicePhrase(verse, 256, 64);
    return build("o come all ye", kFour,
                 {{&intro, Mode::Intro, 40},
                  {&verse, Mode::Piano, 44},
                  {&verse, Mode::Brass, 46},
                  {&verse, Mode::Finale, 48},
                  {&verse, Mode::Outro, 44}},
                 118, 1.04);
}

Module joyToTheWorld() {
    static const Phrase verse = makePhrase(
        "D5:8 C#5:6 B4:2 | A4:12 G4:4 | F#4:8 E4:8 | D4:12 A4:4 | B4:12 B4:4 | C#5:12 C#5:4 | "
        "D5:12 D5:4 |"
        "D5:4 C#5 B4 A4 | A4:6 G4:2 F#4:4 D5:4 | D5:4 C#5 B4 A4 | A4:6 G4:2 F#4:4 F#4:4 |"
        "F#4 F#4 F#4 F#4:2 G4:2 | A4:12 G4:2 F#4:2 | E4:4 E4 E4 E4:2 F#4:2 | G4:12 F#4:2 E4:2 |"
        "D4:4 D5:8 B4:4 | A4:6 G4:2 F#4:4 G4:4 | F#4:8 E4:8 | D4:16",
        "D:16 | D:8 G:8 | D:8 A7:8 | D:16 | G:16 | A:16 | D:16 | D:16 | D:8 A7:8 | D:16 | D:8 A7:8 "
        "|"
        "D:16 | D:16 | A7:16 | A7:16 | D:8 G:8 | G:8 A7:8 | D:8 A7:8 | D:16",
        1);
    static const Phrase intro = slicePhrase(verse, 240, 64);
    return build("joy to the world", kFour,
                 {{&intro, Mode::Intro, 38},
                  {&verse, Mode::Brass, 46},
                  {&verse, Mode::Bells, 36},
                  {&verse, Mode::Finale, 50},
                  {&verse, Mode::Outro, 44}},
                 102, 0.99);
}

Module harkTheHerald() {
    static const Phrase verse = makePhrase(
        "D4:4 G4:4 G4:6 F#4:2 | G4:4 B4:4 B4:4 A4:4 | D5:4 D5:4 D5:6 C5:2 | B4:4 A4:4 B4:8 |"
        "D4:4 G4:4 G4:6 F#4:2 | G4:4 B4:4 B4:4 A4:4 | D5:4 A4:4 A4:6 F#4:2 | F#4:4 E4:4 D4:8 |"
        "D5:4 D5:4 D5:4 G4:4 | C5:4 B4:4 B4:4 A4:4 | D5:4 D5:4 D5:4 G4:4 | C5:4 B4:4 B4:4 A4:4 |"
        "E5:6 E5:2 E5:4 D5:4 | C5:4 B4:4 C5:8 | A4:4 B4:2 C5:2 D5:6 G4:2 | G4:4 A4:4 B4:8 |"
        "E5:6 E5:2 E5:4 D5:4 | C5:4 B4:4 C5:8 | A4:4 B4:2 C5:2 D5:6 G4:2 | G4:4 A4:4 G4:8",
        "G:16 | G:8 D:8 | G:8 D:8 | G:8 D7:8 | G:16 | G:8 D:8 | D:8 A7:8 | D:16 |"
        "G:8 C:8 | G:8 D:8 | G:8 C:8 | G:8 D:8 | C:8 G:8 | Am:8 C:8 | Am:8 G:8 | D7:8 G:8 |"
        "C:8 G:8 | Am:8 C:8 | Am:8 G:8 | D7:8 G:8",
        1);
    static const Phrase intro = slicePhrase(verse, 256, 64);
    return build("hark the herald", kFour,
                 {{&intro, Mode::Intro, 38},
                  {&verse, Mode::Brass, 46},
                  {&verse, Mode::Strings, 38},
                  {&verse, Mode::Finale, 50},
                  {&verse, Mode::Outro, 44}},
                 126, 1.03);
}

Module firstNoel() {
    static const Phrase verse = makePhrase(
        "D4:6 E4:2 F#4:2 G4:2 | A4:8 B4:2 C#5:2 | D5:4 C#5 B4 | A4:8 B4:2 C#5:2 | D5:4 C#5 B4 |"
        "A4:4 B4 C#5 | D5:4 A4 G4 | F#4:8 F#4:2 E4:2 |"
        "D4:6 E4:2 F#4:2 G4:2 | A4:8 B4:2 C#5:2 | D5:4 C#5 B4 | A4:8 B4:2 C#5:2 | D5:4 C#5 B4 |"
        "A4:4 B4 C#5 | D5:4 A4 G4 | F#4:8 F#4:2 E4:2 |"
        "D4:6 E4:2 F#4:2 G4:2 | A4:8 D5:2 C#5:2 | B4:8 B4:4 | A4:12 | D5:4 C#5 B4 |"
        "A4:4 B4 C#5 | D5:4 A4 G4 | F#4:8 F#4:2 E4:2 | D4:12",
        "D:12 | D:12 | G:4 A:4 G:4 | D:12 | G:4 A:4 G:4 | D:12 | Bm:4 F#m:4 G:4 | D:8 A:4 |"
        "D:12 | D:12 | G:4 A:4 G:4 | D:12 | G:4 A:4 G:4 | D:12 | Bm:4 F#m:4 G:4 | D:8 A:4 |"
        "D:12 | D:12 | G:12 | D:12 | G:4 A:4 G:4 | D:12 | Bm:4 F#m:4 G:4 | D:8 A:4 | D:12",
        1);
    static const Phrase intro = slicePhrase(verse, 192, 48);
    return build("the first noel", kThree,
                 {{&intro, Mode::Intro, 40},
                  {&verse, Mode::Piano, 44},
                  {&verse, Mode::Strings, 44},
                  {&verse, Mode::Bells, 44},
                  {&verse, Mode::Finale, 48},
                  {&verse, Mode::Outro, 44}},
                 134, 1.12);
}

Module oChristmasTree() {
    static const Phrase verse = makePhrase(
        "F4:3 F4:1 F4:6 G4:2 | A4:3 A4:1 A4:6 A4:2 | G4:2 A4:2 Bb4:4 E4:4 | G4:4 F4:4 C4:4 |"
        "F4:3 F4:1 F4:6 G4:2 | A4:3 A4:1 A4:6 A4:2 | G4:2 A4:2 Bb4:4 E4:4 | G4:4 F4:4 C5:4 |"
        "C5:2 C5:2 A4:2 D5:6 | C5:2 C5:2 Bb4:2 Bb4:6 | Bb4:2 Bb4:2 G4:2 C5:6 | Bb4:2 Bb4:2 A4:2 "
        "A4:4 C4:2 |"
        "F4:3 F4:1 F4:6 G4:2 | A4:3 A4:1 A4:6 A4:2 | G4:2 A4:2 Bb4:4 E4:4 | G4:4 F4:4 C4:4",
        "F:12 | F | C7:8 C:4 | C7:4 F:8 | F:12 | F | C7:8 C:4 | C7:4 F:8 |"
        "F:12 | C7 | C7 | F | F | F | C7:8 C:4 | C7:4 F:8",
        1);
    static const Phrase intro = slicePhrase(verse, 144, 48);
    return build("o christmas tree", kThree,
                 {{&intro, Mode::Intro, 40},
                  {&verse, Mode::Piano, 44},
                  {&verse, Mode::Strings, 44},
                  {&verse, Mode::Bells, 44},
                  {&verse, Mode::Brass, 46},
                  {&verse, Mode::Finale, 48},
                  {&verse, Mode::Outro, 44}},
                 110, 1.11);
}

Module angelsWeHave() {
    static const Phrase verse = makePhrase(
        "B4:4 B4 B4 D5 | D5:6 C5:2 B4:8 | B4:4 A4 B4 D5 | B4:6 A4:2 G4:8 |"
        "B4:4 B4 B4 D5 | D5:6 C5:2 B4:8 | B4:4 A4 B4 D5 | B4:6 A4:2 G4:8 |"
        "D5:8 E5:2 D5 C5 B4 | C5:8 D5:2 C5 B4 A4 | B4:8 C5:2 B4 A4 G4 | A4:6 D4:2 D4:8 |"
        "G4:4 A4 B4 C5 | B4:8 A4:8 |"
        "D5:8 E5:2 D5 C5 B4 | C5:8 D5:2 C5 B4 A4 | B4:8 C5:2 B4 A4 G4 | A4:6 D4:2 D4:8 |"
        "G4:4 A4 B4 C5 | B4:8 A4:8 | G4:16",
        "G:16 | D:8 G:8 | G:8 D:8 | G:8 D:4 G:4 | G:16 | D:8 G:8 | G:8 D:8 | G:8 D:4 G:4 |"
        "G:8 Em:8 | Am:8 D:8 | G:8 C:8 | D:16 | G:8 C:8 | G:8 D:8 |"
        "G:8 Em:8 | Am:8 D:8 | G:8 C:8 | D:16 | G:8 C:8 | G:8 D:8 | G:16",
        1);
    static const Phrase intro = slicePhrase(verse, 128, 64);
    return build("angels we have", kFour,
                 {{&intro, Mode::Intro, 38},
                  {&verse, Mode::Bells, 36},
                  {&verse, Mode::Strings, 42},
                  {&verse, Mode::Brass, 46},
                  {&verse, Mode::Finale, 50},
                  {&verse, Mode::Outro, 44}},
                 128, 0.99);
}

Module awayInAManger() {
    static const Phrase verse = makePhrase(
        "C5:4 Bb4 A4 | A4 G4 F4 | F4 E4 D4 | C4:8 C4:4 | C4 D4 C4 | C4 G4 E4 | D4 C4 F4 | A4:8 "
        "C5:4 |"
        "C5:4 Bb4 A4 | A4 G4 F4 | F4 E4 D4 | C4:8 C4:4 | Bb4 A4 G4 | A4 G4 F4 | G4 D4 E4 | F4:8 "
        "r:4",
        "F:12 | F | Bb | F | C7 | C7 | Gm:8 C7:4 | F:12 | F | F | Bb | F | Bb | F | C7 | F", 1);
    static const Phrase intro = slicePhrase(verse, 144, 48);
    return build("away in a manger", kThree,
                 {{&intro, Mode::Intro, 38},
                  {&verse, Mode::Bells, 42},
                  {&verse, Mode::Piano, 42},
                  {&verse, Mode::Strings, 44},
                  {&verse, Mode::Bells, 44},
                  {&verse, Mode::Finale, 46},
                  {&verse, Mode::Outro, 42}},
                 114, 1.16);
}

} // namespace music
