// hearthside folk: a wooden-flute lead over strummed plucked strings (each chord spread by
// tiny note delays, the way a hand sweeps across strings), a plucked bass, bodhran and shaker.
// The jigs sit in 6/8, the carols in their own metre with the same band.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {
namespace {

enum Ch { FLUTE, FIDDLE, STR1, STR2, STR3, BASS, BODHRAN, SHAKER, CHANNELS };
enum class Mode { Intro, Flute, Fiddle, Both, Outro };

struct Kit {
    int flute, fiddle, guitar, bass, bodhran, slap, shaker;
};

struct Feel {
    int bar;            // rows a bar
    int beat;           // rows a beat (dotted quarter in compound time)
    std::string drums;  // one bar of bodhran: B deep, t tap
    std::string shaker; // one bar of shaker: s
};

Kit makeKit(Song& s) {
    Kit k{};
    k.flute = s.addInstrument(flute("wooden flute"));
    Instrument fiddle = padStrings("fiddle", 0.8);
    fiddle.volumeEnvelope = adsr(6, 20, 46, 10);
    fiddle.vibratoDepth = 5;
    fiddle.vibratoSweep = 30;
    fiddle.vibratoRate = 14;
    fiddle.pan = 92;
    k.fiddle = s.addInstrument(fiddle);
    Instrument guitar = pluck("guitar", 44100, 55, 1.6, 0.998, 101);
    guitar.pan = 160;
    k.guitar = s.addInstrument(guitar);
    k.bass = s.addInstrument(pluck("bass string", 22050, 40, 1.8, 0.999, 103));
    k.bodhran = s.addInstrument(tomDrum("bodhran", 22050, 70));
    k.slap = s.addInstrument(tomDrum("bodhran tap", 22050, 180));
    Instrument shaker = hiHat("shaker", 22050, 0.09, 107);
    shaker.pan = 176;
    k.shaker = s.addInstrument(shaker);
    return k;
}

void band(Song& s, const Kit& k, int row, const Phrase& p, const Feel& f, int level, bool drums) {
    playChords(s, row, p.chords, {STR1, STR2, STR3}, k.guitar, level - 8, 52, 67, f.beat, 1.0,
               false);
    for (int r = row; r < row + p.rows; ++r) { // sweep the strum
        for (int i = 1; i < 3; ++i) {
            Cell& c = s.at(r, STR1 + i);
            if (c.note > 0) {
                c.effect = 0xE;
                c.param = 0xD0 | i;
            }
        }
    }
    playBass(s, row, p.chords, {BASS, k.bass, level, 0, 1.0, false}, BassStyle::RootFifth, f.beat,
             38);
    if (!drums) return;
    std::map<char, Hit> kit{{'B', {k.bodhran, level}},
                            {'t', {k.slap, level - 20}},
                            {'s', {k.shaker, level - 26}},
                            {'S', {k.shaker, level - 18}}};
    playDrums(s, row, p.rows, BODHRAN, f.drums, kit);
    playDrums(s, row, p.rows, SHAKER, f.shaker, kit);
}

int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, const Feel& f, int level) {
    switch (mode) {
    case Mode::Intro:
        band(s, k, row, p, f, level, true);
        break;
    case Mode::Flute:
        playMelody(s, row, p.melody, {FLUTE, k.flute, level, 12, 0.9}, f.bar, 4);
        band(s, k, row, p, f, level, true);
        break;
    case Mode::Fiddle:
        playMelody(s, row, p.melody, {FIDDLE, k.fiddle, level, 0, 0.95}, f.bar, 4);
        band(s, k, row, p, f, level - 4, false);
        break;
    case Mode::Both:
        playMelody(s, row, p.melody, {FLUTE, k.flute, level, 12, 0.9}, f.bar, 4);
        playMelody(s, row, p.melody, {FIDDLE, k.fiddle, level - 10, 0, 0.95}, f.bar, 4);
        band(s, k, row, p, f, level, true);
        break;
    case Mode::Outro: {
        Chord last = p.chords.back();
        last.start = 0;
        last.length = f.bar * 2;
        band(s, k, row, Phrase{{}, {last}, last.length}, f, level - 6, false);
        s.note(row, FLUTE, nearestAbove(last.root, 74), k.flute, level - 4);
        s.off(row + f.bar * 2 - 2, FLUTE);
        s.note(row, BODHRAN, 60, k.bodhran, level);
        s.ensureRows(row + last.length);
        return last.length;
    }
    }
    s.ensureRows(row + p.rows);
    return p.rows;
}

using Plan = Section<Mode>;

Module build(const char* title, const Feel& feel, const std::vector<Plan>& plan, double seconds,
             double gain) {
    Song s(title, Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    auto play = [&](int row, const Plan& p) {
        return section(s, k, row, *p.phrase, p.mode, feel, p.level);
    };
    // Folk: singing vibrato on flute and fiddle, slides between near notes as ornaments, the
    // guitars spread around the players, a bodhran roll at the end of each verse.
    Expression e;
    e.channels = {{FLUTE, Role::Lead, 96},     {FIDDLE, Role::Counter, 170},
                  {STR1, Role::Plain, 56},     {STR2, Role::Plain, 204},
                  {STR3, Role::Plain, 140},    {BASS, Role::Bass, 128},
                  {BODHRAN, Role::Drums, 116}, {SHAKER, Role::Hats, 192}};
    e.vibrato = 0x54;
    e.vibratoAfter = 2;
    e.vibratoMinRows = 5;
    e.slideEvery = 2;
    e.rollEvery = feel.bar * 4;
    e.roll = 0x92;
    e.hatCut = 3;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

const Feel kJig{12, 6, "B...t.B.t.t.", "s.s.S.s.s.S."};
const Feel kWaltz{12, 4, "B...t...t...", "s.S.s.S.s.S."};
const Feel kReel{16, 4, "B...t.t.B.t.t..t", "s.S.s.S.s.S.s.S."};

} // namespace

Module kingWenceslas() {
    static const Phrase verse =
        makePhrase("G4:4 G4 G4 A4 | G4 G4 D4:8 | E4:4 D4 E4 F#4 | G4:8 G4:8 |"
                   "G4:4 G4 G4 A4 | G4 G4 D4:8 | E4:4 D4 E4 F#4 | G4:8 G4:8 |"
                   "D5:4 C5 B4 A4 | B4 A4 G4:8 | E4:4 D4 E4 F#4 | G4:8 G4:8 |"
                   "D4:4 D4 E4 F#4 | G4 G4 A4:8 | D5:4 C5 B4 A4 | G4:8 C5:8 | G4:16",
                   "G:16 | G:8 D:8 | C:8 D:8 | G:16 | G:16 | G:8 D:8 | C:8 D:8 | G:16 |"
                   "G:8 D:8 | G:16 | C:8 D:8 | G:16 | D:16 | Em:8 D:8 | G:8 D7:8 | G:8 C:8 | G:16",
                   1);
    static const Phrase intro = slicePhrase(verse, 128, 32);
    return build("king wenceslas", kReel,
                 {{&intro, Mode::Intro, 40},
                  {&verse, Mode::Flute, 44},
                  {&verse, Mode::Fiddle, 44},
                  {&verse, Mode::Both, 46},
                  {&verse, Mode::Outro, 44}},
                 116, 0.89);
}

Module hollyAndIvy() {
    // A waltzing carol of our own in G, in the manner of the old English tune.
    static const Phrase verse = makePhrase(
        "D4:4 G4 G4 | G4:8 B4:4 | A4:4 G4 F#4 | G4:12 | B4:4 D5 D5 | D5:8 E5:4 | D5:4 B4 A4 | "
        "B4:12 |"
        "D5:4 E5 D5 | B4:8 G4:4 | A4:4 B4 C5 | D5:12 | B4:4 A4 G4 | E4:8 D4:4 | G4:4 F#4 A4 | "
        "G4:12",
        "G:12 | G | D7 | G | G | C | D | G | G | Em | Am:8 D:4 | D:12 | Em | C | D7 | G", 1);
    static const Phrase refrain = makePhrase("G4:4 B4 D5 | G5:8 F#5:4 | E5:4 D5 C5 | B4:12 | A4:4 "
                                             "B4 C5 | D5:8 B4:4 | A4:4 G4 F#4 | G4:12",
                                             "G:12 | G | C | G | Am | G | D7 | G", 1);
    static const Phrase intro = slicePhrase(refrain, 48, 48);
    return build("the holly and ivy", kWaltz,
                 {{&intro, Mode::Intro, 40},
                  {&verse, Mode::Fiddle, 42},
                  {&refrain, Mode::Flute, 44},
                  {&verse, Mode::Flute, 44},
                  {&refrain, Mode::Both, 46},
                  {&verse, Mode::Both, 46},
                  {&refrain, Mode::Both, 48},
                  {&refrain, Mode::Outro, 44}},
                 122, 0.86);
}

Module wassailSong() {
    // A jig of our own in D for the wassailers at the door.
    static const Phrase a = makePhrase(
        "A4:2 D5 D5 F#5 D5 F#5 | A5:4 F#5:2 D5:4 F#5:2 | G5:2 E5 E5 G5 E5 C#5 | A4:4 C#5:2 E5:4 "
        "A5:2 |"
        "A5:2 F#5 D5 B5 A5 F#5 | G5:4 E5:2 C#5:4 A4:2 | B4:2 C#5 D5 E5 C#5 A4 | D5:6 D5:4 A4:2",
        "D:12 | D | A | A | D:6 Bm:6 | Em:6 A:6 | G:6 A7:6 | D:12", 1);
    static const Phrase b =
        makePhrase("F#5:2 A5 A5 A5 F#5 A5 | B5:4 A5:2 F#5:4 D5:2 | E5:2 G5 G5 G5 E5 G5 | A5:4 G5:2 "
                   "E5:4 C#5:2 |"
                   "D5:2 F#5 A5 D6 A5 F#5 | G5:2 B5 G5 E5:4 G5:2 | F#5:2 E5 D5 E5 C#5 A4 | D5:12",
                   "D:12 | Bm | Em | A | D | G | A7 | D", 1);
    static const Phrase intro = slicePhrase(a, 0, 48);
    return build("wassail song", kJig,
                 {{&intro, Mode::Intro, 40},
                  {&a, Mode::Flute, 44},
                  {&b, Mode::Flute, 44},
                  {&a, Mode::Fiddle, 44},
                  {&b, Mode::Fiddle, 44},
                  {&a, Mode::Both, 46},
                  {&b, Mode::Both, 48},
                  {&b, Mode::Outro, 44}},
                 106, 0.90);
}

Module greensleeves() {
    static const Phrase verse = makePhrase(
        "C5:4 D5:2 E5:3 F5:1 E5:2 | D5:4 B4:2 G4:3 A4:1 B4:2 | C5:4 A4:2 A4:3 G#4:1 A4:2 |"
        "B4:4 G#4:2 E4:4 A4:2 | C5:4 D5:2 E5:3 F5:1 E5:2 | D5:4 B4:2 G4:3 A4:1 B4:2 |"
        "C5:3 B4:1 A4:2 G#4:3 F#4:1 G#4:2 | A4:12 |"
        "G5:6 G5:3 F#5:1 E5:2 | D5:4 B4:2 G4:3 A4:1 B4:2 | C5:4 A4:2 A4:3 G#4:1 A4:2 |"
        "B4:4 G#4:2 E4:6 | G5:6 G5:3 F#5:1 E5:2 | D5:4 B4:2 G4:3 A4:1 B4:2 |"
        "C5:3 B4:1 A4:2 G#4:3 F#4:1 G#4:2 | A4:10 A4:2",
        "Am:12 | G | Am | E | Am | G | Am:6 E:6 | Am:12 |"
        "C:12 | G | Am | E | C | G | Am:6 E:6 | Am:12",
        1);
    static const Phrase intro = slicePhrase(verse, 96, 48);
    return build("greensleeves", kJig,
                 {{&intro, Mode::Intro, 38},
                  {&verse, Mode::Fiddle, 42},
                  {&verse, Mode::Flute, 44},
                  {&verse, Mode::Fiddle, 44},
                  {&verse, Mode::Both, 46},
                  {&verse, Mode::Outro, 42}},
                 144, 1.04);
}

} // namespace music
