// tin soldiers: marches for four Amiga channels. Brass-like saw lead, a second horn on the
// off-beats, a tuba bass on the strong beats, bass drum and cymbal together on the downbeats,
// and a snare that rolls into every new strain. Between the full band's strains a lighter one
// (the bell lyre or the fife over the side drum) lets the parade pass by and come back.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

#include <utility>
#include <vector>

namespace music {
namespace {

enum Ch { LEAD, HORN, TUBA, DRUM };

struct Kit {
    int brass, horn, tuba, fife, glock, kick, clash, snare, crash;
};

Kit makeKit(Song& s) {
    Kit k{};
    Instrument brass = modSaw("brass", 62, 240);
    brass.volume = 46;
    k.brass = s.addInstrument(brass);
    Instrument horn = modWave(
        "horn", [](int n) { return 1.0 / (n * (1.0 + 0.3 * n)); }, 60, 200);
    horn.volume = 30;
    k.horn = s.addInstrument(horn);
    Instrument tuba = modWave(
        "tuba", [](int n) { return n > 6 ? 0.0 : 1.0 / (n * n); }, 48, 120);
    tuba.volume = 48;
    k.tuba = s.addInstrument(tuba);
    Instrument fife = modPulse("fife", 0.2, 78);
    fife.volume = 34;
    k.fife = s.addInstrument(fife);
    // The bell lyre of a marching band: a struck steel bar, bright and quickly gone.
    Instrument glock = fmBell("bell lyre", kModDrumRate, 84, 0.9, 4.0, 1.4, 0.3);
    glock.volume = 48;
    k.glock = s.addInstrument(glock);
    Instrument kick = kickDrum("bass drum", kModDrumRate, 0.6);
    kick.volume = 52;
    k.kick = s.addInstrument(kick);
    // The cymbal player beside the bass drum: both struck together on the downbeats.
    Instrument clash = kick;
    clash.name = "drum and cymbal";
    mixInto(clash.data, hiHat("clash", kModDrumRate, 0.5, 23).data, 0, 1.0, kModDrumRate,
            kModDrumRate);
    k.clash = s.addInstrument(clash);
    Instrument snare = snareDrum("snare", kModDrumRate, 0.15, 0.22, 19); // tight heads, loud wires
    snare.volume = 46;
    k.snare = s.addInstrument(snare);
    Instrument crash = hiHat("cymbal", kModDrumRate, 0.9, 29);
    crash.volume = 30;
    k.crash = s.addInstrument(crash);
    return k;
}

// How a strain is played: its lead (and octave), whether the horns answer on the off-beats,
// how the drum plays, and whether it rolls into the next strain or opens on the cymbal.
enum class Drums { Full, Light };
struct Strain {
    int lead = 0, shift = 0;
    bool horns = true;
    Drums drums = Drums::Full;
    bool roll = true, crash = false;
};

void strainDrums(Song& s, const Kit& k, int row, int rows, const Strain& st) {
    const int bar = 16;
    for (int b = 0; b * bar < rows; ++b) {
        int r0 = row + b * bar;
        bool last = (b + 1) * bar >= rows;
        if (st.drums == Drums::Light) { // the side drum alone, on the rim of the beat
            s.note(r0 + 4, DRUM, 60, k.snare, 22);
            s.note(r0 + 12, DRUM, 60, k.snare, last && st.roll ? 34 : 22);
            if (last && st.roll) s.effect(r0 + 14, DRUM, 0xE, 0x93);
            if (last && st.roll) s.note(r0 + 14, DRUM, 60, k.snare);
            continue;
        }
        s.note(r0, DRUM, 60, (b == 0 && st.crash) ? k.crash : k.clash);
        if (last && st.roll) {
            s.note(r0 + 4, DRUM, 60, k.snare);
            s.note(r0 + 8, DRUM, 60, k.snare);
            s.effect(r0 + 8, DRUM, 0xE, 0x93); // a roll: the snare retriggers every third tick
            s.note(r0 + 12, DRUM, 60, k.snare);
            s.effect(r0 + 12, DRUM, 0xE, 0x92);
        } else {
            s.note(r0 + 4, DRUM, 60, k.snare);
            s.note(r0 + 8, DRUM, 60, k.kick);
            s.note(r0 + 12, DRUM, 60, k.snare);
            s.note(r0 + 14, DRUM, 60, k.snare, 18);
        }
    }
}

// One strain: the tune with its horn off-beats, tuba and drums.
int strain(Song& s, const Kit& k, int row, const Phrase& p, const Strain& st) {
    const int beat = 4, bar = 16;
    playMelody(s, row, p.melody, {LEAD, st.lead, 44, st.shift, 0.9}, bar, 8);
    for (const Chord& c : p.chords) {
        for (int r = 0; r < c.length; r += beat) {
            int at = c.start + r;
            bool strong = (at % (2 * beat)) == 0;
            if (strong) {
                int root = nearestAbove(c.bass, 36);
                int pitch = (at % bar) == 0 ? root : nearestAbove((c.root + 7) % 12, 36);
                s.note(row + at, TUBA, pitch, k.tuba);
                s.off(row + at + 6, TUBA); // rings through the horn's off-beat
            } else if (st.horns) {
                int third = nearestAbove((c.root + c.tones[1]) % 12, 55);
                s.note(row + at, HORN, third, k.horn);
                s.off(row + at + 3, HORN);
            }
        }
    }
    strainDrums(s, k, row, p.rows, st);
    s.ensureRows(row + p.rows);
    return p.rows;
}

// Strains played back quieter: the fife and the second strains step back, the full band
// returns for the main strain. Applied after the expression, so rolls keep their full level.
struct Softer {
    std::vector<std::pair<int, int>> spans;
    std::vector<double> levels;
    int operator()(int row, int rows, double level) {
        spans.emplace_back(row, rows);
        levels.push_back(level);
        return rows;
    }
    void apply(Song& s) const {
        for (size_t i = 0; i < spans.size(); ++i)
            scaleLevels(s, spans[i].first, spans[i].second, levels[i]);
    }
};

// A march: brass vibrato on held notes, crisp cut staccato, slides rarely, and the drum
// rolling into each new strain.
void marchExpression(Song& s) {
    Expression e;
    e.channels = {
        {LEAD, Role::Lead}, {HORN, Role::Counter}, {TUBA, Role::Bass}, {DRUM, Role::Drums}};
    e.vibrato = 0x33;
    e.vibratoAfter = 3;
    e.slideEvery = 4;
    e.crispGates = true;
    e.cutTick = 5; // detached, not clipped: the band never drops out between notes
    e.rollEvery = 64;
    e.roll = 0x92;
    express(s, e);
}

int drumIntro(Song& s, const Kit& k, int row, int tonic) {
    // Two bars of side drum over a held horn call and the tuba's tonic: the parade approaching.
    s.note(row, HORN, tonic + 7, k.horn, 44);
    s.note(row + 16, HORN, tonic + 4, k.horn, 44);
    for (int b = 0; b < 2; ++b) {
        int r0 = row + b * 16;
        for (int beat = 0; beat < 16; beat += 8) {
            s.note(r0 + beat, TUBA, tonic - 12, k.tuba);
            s.off(r0 + beat + 6, TUBA);
        }
        s.note(r0, DRUM, 60, k.snare, 60);
        s.note(r0 + 4, DRUM, 60, k.snare, 40);
        s.note(r0 + 6, DRUM, 60, k.snare, 44);
        s.note(r0 + 8, DRUM, 60, k.snare); // the roll keeps the sample's own volume
        s.effect(r0 + 8, DRUM, 0xE, 0x93);
        s.note(r0 + 12, DRUM, 60, k.snare, 56);
        s.note(r0 + 14, DRUM, 60, k.snare, 44);
    }
    s.ensureRows(row + 32);
    return 32;
}

int ending(Song& s, const Kit& k, int row, int tonic) {
    s.note(row, LEAD, tonic + 12, k.brass, 50);
    s.note(row, HORN, tonic + 4, k.horn);
    s.note(row, TUBA, tonic - 12, k.tuba);
    s.note(row, DRUM, 60, k.crash);
    s.off(row + 12, LEAD);
    s.off(row + 12, HORN);
    s.off(row + 12, TUBA);
    s.ensureRows(row + 16);
    return 16;
}

} // namespace

Module nutcrackerMarch() {
    // Our own toy-soldier march in G: fanfare strain, a song-like strain in E minor, a trio in C.
    static const Phrase a =
        makePhrase("D4:2 r:1 D4:1 G4:2 B4:2 D5:4 G5:4 | F#5:2 E5 D5 C5 B4:4 A4:4 |"
                   "G4:2 r:1 G4:1 B4:2 D5:2 G5:4 B5:4 | A5:2 G5 F#5 E5 D5:8 |"
                   "E5:2 r:1 E5:1 E5:2 F#5:2 G5:4 E5:4 | D5:2 r:1 D5:1 D5:2 E5:2 F#5:4 D5:4 |"
                   "C5:2 B4 A4 G4 F#4:4 A4:4 | G4:4 D4:4 G4:8",
                   "G:16 | D7:8 G:8 | G:16 | D:16 | C:16 | G:8 D:8 | D7:16 | G:16", 1);
    static const Phrase b =
        makePhrase("B4:6 C5:2 B4:4 G4:4 | A4:6 B4:2 A4:4 F#4:4 | G4:4 B4:4 E5:4 D5:4 | C5:8 B4:8 |"
                   "A4:6 B4:2 C5:4 E5:4 | D5:6 C5:2 B4:4 G4:4 | A4:4 C5:4 B4:4 A4:4 | B4:16",
                   "Em:16 | D | Em:8 G:8 | Am:8 Em:8 | Am:16 | G | Am:8 D7:8 | G:16", 1);
    static const Phrase trio =
        makePhrase("E5:4 G5:4 E5:4 C5:4 | D5:4 F5:4 D5:4 B4:4 | C5:4 E5:4 G5:4 C6:4 | B5:8 G5:8 |"
                   "A5:4 F5:4 D5:4 A5:4 | G5:4 E5:4 C5:4 E5:4 | D5:4 F5:4 B4:4 D5:4 | C5:16",
                   "C:16 | G7 | C | G | Dm | C | G7 | C", 1);
    Song s("nutcracker march", Format::Mod, 4);
    Kit k = makeKit(s);
    Softer softer;
    int row = drumIntro(s, k, 0, 55);
    const Strain band{k.brass, 0, true, Drums::Full, true, true};
    row += strain(s, k, row, a, band);
    row += softer(row, strain(s, k, row, b, {k.glock, 12, true, Drums::Light}), 0.85);
    row += strain(s, k, row, a, band);
    // The trio sets out quietly on the fife and the side drum, then comes back grandly.
    row += softer(row, strain(s, k, row, trio, {k.fife, 0, false, Drums::Light}), 0.6);
    row += strain(s, k, row, trio, band);
    row += strain(s, k, row, a, band);
    row += softer(row, strain(s, k, row, b, {k.fife, 12, true, Drums::Light}), 0.75);
    row += strain(s, k, row, a, {k.brass, 0, true, Drums::Full, false, true});
    row += ending(s, k, row, 55);
    marchExpression(s);
    softer.apply(s);
    s.finish(104, 6, 0.58);
    return s.module();
}

Module tinParade() {
    // Original: a quick parade in Bb with a chromatic turn and a fife strain in Eb.
    static const Phrase a = makePhrase(
        "F4:2 Bb4 D5 F5 D5:4 Bb4:4 | C5:2 D5 Eb5 C5 A4:4 F4:4 | Bb4:2 C5 D5 Eb5 F5:4 G5:4 |"
        "F5:2 E5 F5 G5 F5:8 | G5:2 F5 Eb5 D5 C5:4 Eb5:4 | D5:2 C5 Bb4 A4 Bb4:4 D5:4 |"
        "C5:2 Bb4 A4 G4 F4:4 A4:4 | Bb4:8 F4:8",
        "Bb:16 | F7 | Bb:8 Eb:8 | F:16 | Eb:8 Cm:8 | Bb:16 | F7:16 | Bb:16", 1);
    static const Phrase b = makePhrase(
        "G5:4 Eb5:2 G5 Bb5:4 G5:4 | F5:4 D5:2 F5 Bb5:8 | Ab5:4 F5:2 Ab5 C6:4 Ab5:4 | G5:4 Eb5:4 "
        "Bb4:8 |"
        "C5:4 Eb5:2 C5 G5:4 Eb5:4 | D5:4 F5:2 D5 Bb5:4 F5:4 | Eb5:2 G5 F5 Eb5 D5:4 C5:4 | Eb5:16",
        "Eb:16 | Bb | Ab:8 F7:8 | Eb:16 | Cm:16 | Bb | Fm:8 Bb7:8 | Eb:16", 1);
    Song s("tin parade", Format::Mod, 4);
    Kit k = makeKit(s);
    Softer softer;
    int row = drumIntro(s, k, 0, 58);
    const Strain band{k.brass, 0, true, Drums::Full, true, true};
    row += strain(s, k, row, a, band);
    row += softer(row, strain(s, k, row, a, {k.glock, 12, true, Drums::Light}), 0.8);
    // The fife strain in Eb sets out over the side drum alone, then the band takes it up.
    row += softer(row, strain(s, k, row, b, {k.fife, 0, false, Drums::Light}), 0.6);
    row += strain(s, k, row, b, band);
    row += strain(s, k, row, a, band);
    row += softer(row, strain(s, k, row, b, {k.glock, 0, true, Drums::Light}), 0.8);
    row += strain(s, k, row, a, {k.brass, 0, true, Drums::Full, false, true});
    row += ending(s, k, row, 58);
    marchExpression(s);
    softer.apply(s);
    s.finish(110, 6, 0.59);
    return s.module();
}

} // namespace music
