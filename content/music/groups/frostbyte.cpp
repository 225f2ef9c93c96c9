// frostbyte: chip music. Pulse leads with delayed vibrato, a tracker-arpeggio chord channel,
// triangle bass and noise drums, all on a 16th-note grid.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

namespace music {
namespace {

enum Ch { LEAD, ECHO, ARP, BASS, KICK, SNARE, HAT, COUNTER, CHANNELS };
enum class Mode { Intro, Soft, Full, Break, Outro };

struct Kit {
    int lead, thin, square, tri, kick, snare, hat, openHat;
};

Kit makeKit(Song& s) {
    Kit k{};
    k.lead = s.addInstrument(chipPulse("pulse 25", 0.25));
    Instrument thin = chipPulse("pulse 12", 0.125);
    thin.pan = 72; // the echo answers from the left
    k.thin = s.addInstrument(thin);
    Instrument sq = chipPulse("square", 0.5);
    sq.volumeEnvelope = adsr(0, 20, 30, 4);
    sq.vibratoDepth = 0;
    sq.pan = 176;
    k.square = s.addInstrument(sq);
    k.tri = s.addInstrument(chipTriangle("triangle"));
    Instrument kick = kickDrum("kick", 22050, 1.3);
    k.kick = s.addInstrument(kick);
    k.snare = s.addInstrument(noiseBurst("noise snare", 22050, 0.18, 3, 77));
    Instrument hat = noiseBurst("noise hat", 44100, 0.05, 1, 91);
    hat.pan = 160;
    k.hat = s.addInstrument(hat);
    k.openHat = s.addInstrument(noiseBurst("noise open", 44100, 0.2, 1, 93));
    return k;
}

void drumBars(Song& s, const Kit& k, int row, int rows, Mode mode, bool fill) {
    std::map<char, Hit> kit{{'x', {k.kick, 60}}, {'s', {k.snare, 46}}, {'g', {k.snare, 22}},
                            {'h', {k.hat, 30}},  {'c', {k.hat, 18}},   {'o', {k.openHat, 26}}};
    const char* kicks = mode == Mode::Full ? "x.....x.x.....x." : "x.......x.......";
    const char* snares = mode == Mode::Soft ? "....s.......s..." : "....s.......s..g";
    const char* hats = mode == Mode::Full ? "h.c.h.c.h.c.h.co" : "..h...h...h...h.";
    for (int bar = 0; bar * 16 < rows; ++bar) {
        int r = row + bar * 16, n = std::min(16, rows - bar * 16);
        bool last = (bar + 1) * 16 >= rows;
        playDrums(s, r, n, KICK, kicks, kit);
        playDrums(s, r, n, SNARE, last && fill ? "....s...s.s.ssss" : snares, kit);
        if (mode != Mode::Intro || bar > 0) playDrums(s, r, n, HAT, hats, kit);
    }
}

int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, int key) {
    Phrase ph = p;
    ph.chords = transposed(p.chords, key);
    ph.melody = transposed(p.melody, key);
    switch (mode) {
    case Mode::Intro:
        playChipArp(s, row, ph.chords, {ARP, k.square, 34}, 60);
        playBass(s, row, ph.chords, {BASS, k.tri, 50, 0, 0.5}, BassStyle::Eighths, 4, 36);
        drumBars(s, k, row, ph.rows, mode, true);
        break;
    case Mode::Soft:
        playMelody(s, row, ph.melody, {LEAD, k.lead, 44, 12, 0.85}, 16, 4);
        playChipArp(s, row, ph.chords, {ARP, k.square, 26}, 60);
        playBass(s, row, ph.chords, {BASS, k.tri, 52, 0, 0.6}, BassStyle::RootFifth, 4, 36);
        drumBars(s, k, row, ph.rows, mode, true);
        break;
    case Mode::Full:
        playMelody(s, row, ph.melody, {LEAD, k.lead, 48, 12, 0.85}, 16, 4);
        playEcho(s, row, ph.melody, {ECHO, k.thin, 22, 12, 0.7}, 3, ph.rows);
        playMelody(s, row, ph.melody, {COUNTER, k.tri, 26, 0, 0.9});
        playChipArp(s, row, ph.chords, {ARP, k.square, 28}, 60);
        playBass(s, row, ph.chords, {BASS, k.tri, 54, 0, 0.7}, BassStyle::Octaves, 4, 36);
        drumBars(s, k, row, ph.rows, mode, true);
        break;
    case Mode::Break:
        playArpeggio(s, row, ph.chords, {LEAD, k.thin, 34, 12}, 1, 60, {0, 1, 2, 3, 4, 3, 2, 1});
        playMelody(s, row, ph.melody, {COUNTER, k.square, 34, 0, 0.9});
        playBass(s, row, ph.chords, {BASS, k.tri, 50, 0, 0.5}, BassStyle::Held, 4, 36);
        drumBars(s, k, row, ph.rows, Mode::Soft, true);
        break;
    case Mode::Outro: {
        Chord last = ph.chords.back();
        last.start = 0;
        last.length = 32;
        playChipArp(s, row, {last}, {ARP, k.square, 30}, 60);
        playBass(s, row, {last}, {BASS, k.tri, 50, 0, 1.0}, BassStyle::Held, 4, 36);
        s.note(row, LEAD, nearestAbove(last.root, 72), k.lead, 40);
        s.off(row + 28, LEAD);
        s.note(row, KICK, 60, k.kick, 60);
        s.note(row, HAT, 60, k.openHat, 30);
        s.ensureRows(row + 32);
        return 32;
    }
    }
    return ph.rows;
}

using Plan = Section<Mode>; // the level is the key

Module build(const char* title, const std::vector<Plan>& plan, double seconds, double gain) {
    Song s(title, Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    auto play = [&](int row, const Plan& p) {
        int rows = section(s, k, row, *p.phrase, p.mode, p.level);
        // Intro, soft verse and break step back so the full verses hit harder.
        double level = p.mode == Mode::Intro   ? 0.7
                       : p.mode == Mode::Soft  ? 0.8
                       : p.mode == Mode::Break ? 0.75
                                               : 1.0;
        if (level < 1.0) scaleLevels(s, row, rows, level);
        return rows;
    };
    // Chip style: wide, quick vibrato on held notes, slides into near steps, snare rolls at the
    // ends of phrases, choked off-beat hats; lead and arpeggio left, echo and counter right.
    Expression e;
    e.channels = {{LEAD, Role::Lead, 72},  {ECHO, Role::Counter, 224},   {ARP, Role::Plain, 192},
                  {BASS, Role::Bass, 108}, {KICK, Role::Drums, 136},     {SNARE, Role::Drums, 168},
                  {HAT, Role::Hats, 210},  {COUNTER, Role::Counter, 200}};
    e.vibrato = 0x64;
    e.vibratoAfter = 4;
    e.slideEvery = 3;
    e.fade = 2;
    e.rollEvery = 64;
    e.roll = 0x93;
    e.hatCut = 2;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

} // namespace

Module jingleBells() {
    static const Phrase verse = makePhrase(
        "D4:4 B4 A4 G4 | D4:12 D4:2 D4 | D4:4 B4 A4 G4 | E4:16 |"
        "E4:4 C5 B4 A4 | F#4:16 | D5:4 D5 C5 A4 | B4:16 |"
        "D4:4 B4 A4 G4 | D4:12 D4:2 D4 | D4:4 B4 A4 G4 | E4:12 E4:4 |"
        "E4:4 C5 B4 A4 | D5 D5 D5 D5 | E5 D5 C5 A4 | G4:12 D5:4",
        "G:16 | G | G | C | Am | D7 | D7 | G | G | G | G | C | C | G | D7 | G:8 D7:8", 1);
    static const Phrase chorus =
        makePhrase("B4:4 B4 B4:8 | B4:4 B4 B4:8 | B4:4 D5 G4:6 A4:2 | B4:16 |"
                   "C5:4 C5 C5:6 C5:2 | C5:4 B4 B4 B4:2 B4 | B4:4 A4 A4 B4 | A4:8 D5:8 |"
                   "B4:4 B4 B4:8 | B4:4 B4 B4:8 | B4:4 D5 G4:6 A4:2 | B4:16 |"
                   "C5:4 C5 C5:6 C5:2 | C5:4 B4 B4 B4:2 B4 | D5:4 D5 C5 A4 | G4:16",
                   "G:16 | G | G | G | C | G | A7 | D7 | G | G | G | G | C | G | D7 | G", 1);
    static const Phrase intro = slicePhrase(chorus, 192, 64);
    return build("jingle bells",
                 {{&intro, Mode::Intro, 0},
                  {&verse, Mode::Soft, 0},
                  {&chorus, Mode::Full, 0},
                  {&verse, Mode::Break, 0},
                  {&chorus, Mode::Full, 2},
                  {&chorus, Mode::Outro, 2}},
                 112, 0.92);
}

Module deckTheHalls() {
    static const Phrase tune = makePhrase(
        "C5:6 Bb4:2 A4:4 G4 | F4 G4 A4 F4 | G4:2 A4 Bb4 G4 A4:6 G4:2 | F4:4 E4 F4:8 |"
        "C5:6 Bb4:2 A4:4 G4 | F4 G4 A4 F4 | G4:2 A4 Bb4 G4 A4:6 G4:2 | F4:4 E4 F4:8 |"
        "G4:6 A4:2 Bb4:4 G4 | A4:6 Bb4:2 C5:4 G4 | A4:2 B4 C5:4 D5:2 E5 F5:4 | E5 D5 C5:8 |"
        "C5:6 Bb4:2 A4:4 G4 | F4 G4 A4 F4 | D5:2 D5 D5 D5 C5:6 Bb4:2 | A4:4 G4 F4:8",
        "F:16 | F:8 C7:4 F:4 | Gm:8 F:8 | C7:8 F:8 | F:16 | F:8 C7:4 F:4 | Gm:8 F:8 | C7:8 F:8 |"
        "C7:16 | F:8 C:8 | F:4 C:4 G7:8 | C:8 C7:8 | F:16 | F:8 C7:4 F:4 | Bb:8 F:8 | C7:8 F:8",
        1);
    static const Phrase intro = slicePhrase(tune, 192, 64);
    return build("deck the halls",
                 {{&intro, Mode::Intro, 0},
                  {&tune, Mode::Soft, 0},
                  {&tune, Mode::Full, 0},
                  {&tune, Mode::Break, 0},
                  {&tune, Mode::Full, 2},
                  {&tune, Mode::Outro, 2}},
                 100, 0.89);
}

Module icicleRun() {
    static const Phrase a =
        makePhrase("A5:2 E5 C5 E5 A5 B5 C6:4 | A5:2 F5 C5 F5 A5:4 G5 | E5:2 G5 C6 G5 E5:4 D5:2 C5 |"
                   "D5:4 B4 G4 B4:2 D5 | A5:2 E5 C5 E5 A5 B5 C6 D6 | E6:4 D6:2 C6 A5:4 C6 |"
                   "D6:2 C6 A5 F5 G5:4 E5 | E5 G#5 B5 E6",
                   "Am:16 | F | C | G | Am | F | Dm | E7", 1);
    static const Phrase b =
        makePhrase("C6:6 A5:2 F5:4 A5 | B5:6 G5:2 D5:4 G5 | G5 E5 B4 E5 | A5:8 C6 |"
                   "D6:6 C6:2 A5:4 F5 | G5 B5 D6 F6 | E6 D6:2 C6 G5:4 E5 | G#5 B5 E6 D6",
                   "F:16 | G | Em | Am | Dm | G7 | C | E7", 1);
    static const Phrase intro = slicePhrase(a, 0, 64);
    return build("icicle run",
                 {{&intro, Mode::Intro, -12},
                  {&a, Mode::Soft, -12},
                  {&b, Mode::Soft, -12},
                  {&a, Mode::Full, -12},
                  {&b, Mode::Full, -12},
                  {&a, Mode::Break, -12},
                  {&b, Mode::Break, -12},
                  {&a, Mode::Full, -12},
                  {&b, Mode::Full, -12},
                  {&a, Mode::Outro, -12}},
                 124, 0.92);
}

} // namespace music
