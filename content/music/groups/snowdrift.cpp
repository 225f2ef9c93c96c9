// snowdrift: club music from the cold. Detuned saw leads with a dotted echo, a resonant acid
// bass pumping sixteenths, chord stabs pushing against the lead over a pad, and a
// four-on-the-floor kit. Nothing plays the same bar for long: the acid line, the stabs and
// the hats mutate bar by bar (drawn from a seeded generator, so every build is the same),
// and every second pattern ends on a fill.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

#include <algorithm>
#include <string>

namespace music {
namespace {

enum Ch { LEAD, ECHO, STAB1, STAB2, STAB3, BASS, KICK, CLAP, HAT, OPEN, CHANNELS };
enum class Mode { Beat, Groove, Lead, Breakdown, Build, Drop, Outro };

struct Kit {
    int lead, stab, pad, acid, kick, clap, hat, open, snare;
};

Kit makeKit(Song& s) {
    Kit k{};
    k.lead = s.addInstrument(sawLead("supersaw", 3));
    Instrument stab = sawLead("stab", 2);
    stab.volumeEnvelope = percussive(14);
    stab.pan = 150;
    k.stab = s.addInstrument(stab);
    Instrument pad = padStrings("ice pad", 0.7);
    pad.volumeEnvelope = adsr(50, 30, 50, 60);
    k.pad = s.addInstrument(pad);
    k.acid = s.addInstrument(acidBass("acid", 22050, 36, 0.45, 4.0));
    k.kick = s.addInstrument(kickDrum("kick", 22050, 1.4));
    k.clap = s.addInstrument(clap("clap", 22050, 61));
    Instrument hat = hiHat("hat", 44100, 0.05, 67);
    hat.pan = 168;
    k.hat = s.addInstrument(hat);
    Instrument open = hiHat("open hat", 44100, 0.35, 71);
    open.pan = 92;
    k.open = s.addInstrument(open);
    k.snare = s.addInstrument(snareDrum("snare", 22050, 0.4, 0.2, 73));
    return k;
}

// Figures a bar long, one character a sixteenth. The acid line mutates as the tune runs: every
// bar draws its figure (R accented root, r root, o octave, f fifth, - rest) from these, and
// the stabs answer the lead with pushes of their own.
const char* const kAcid[] = {"RrrfRroRRrrfRror", "RroRrrofRroRrrof", "Rr-rRroRr-rRrofo",
                             "RrrrRrorRrrrRoro", "R-oRr-oRR-oRrfor", "RrfrRrorRrfrRroo"};
const char* const kStabs[] = {"..x...x...x...x.", "..x..x....x..x..", "..x...x..x..x...",
                              "..x...x...x.x.x.", "x..x..x...x...x.", "..x..x..x...x..."};

// Bars of drums to choose from, one character a sixteenth: the kick's last bar and its fills,
// the clap's, and the hats', which change from bar to bar as a drummer's hand would.
const char* const kKickEnd[] = {"x...x...x...x...", "x...x...x...x..x"};
const char* const kKickFill[] = {"x...x...x.x.x...", "x...x...x...x.xx", "x...x...x.......",
                                 "x...x.x.x...x..x"};
const char* const kClapEnd[] = {"....c.......c..C", "....c..C....c...", "....c.......c.C."};
const char* const kClapFill[] = {"....c...s.ss.sss", "....c...c.c.cccc", "....c.....s.ssss"};
const char* const kHatsBusy[] = {"hghghghghghghghg", "hghghghhhghghghg", "hhghhghghhghhghg"};
const char* const kHatsSteady[] = {"g.h.g.h.g.h.g.h.", "g.h.g.hgg.h.g.h.", "g.hgg.h.g.hgg.h."};
const char* const kOpen[] = {"..o...o...o...o.", "..o...o...o..o..", "......o.......o."};

// The drums of a section, four bars a pattern; every second pattern ends on a fill.
void kit(Song& s, const Kit& k, Rng& rng, int row, int rows, bool kick, bool clap, bool hats,
         bool busy) {
    std::map<char, Hit> m{{'x', {k.kick, 60}},  {'c', {k.clap, 40}}, {'C', {k.clap, 28}},
                          {'s', {k.snare, 30}}, {'h', {k.hat, 26}},  {'g', {k.hat, 16}},
                          {'o', {k.open, 24}}};
    for (int at = 0; at < rows; at += 64) {
        const int n = std::min(64, rows - at);
        const bool fill = (row + at) / 64 % 2 == 1;
        const std::string four = "x...x...x...x...x...x...x...x...x...x...x...x...";
        const std::string claps = "....c.......c.......c.......c.......c.......c...";
        if (kick)
            playDrums(s, row + at, n, KICK,
                      four + (fill ? kKickFill[rng.below(4)] : kKickEnd[rng.below(2)]), m);
        if (clap)
            playDrums(s, row + at, n, CLAP,
                      claps + (fill ? kClapFill[rng.below(3)] : kClapEnd[rng.below(3)]), m);
        for (int bar = 0; hats && bar * 16 < n; ++bar) {
            playDrums(s, row + at + bar * 16, 16, HAT,
                      (busy ? kHatsBusy : kHatsSteady)[rng.below(3)], m);
            playDrums(s, row + at + bar * 16, 16, OPEN, kOpen[rng.below(3)], m);
        }
    }
}

int section(Song& s, const Kit& k, Rng& rng, int row, const Phrase& p, Mode mode, int level) {
    const std::vector<int> stabs{STAB1, STAB2, STAB3};
    auto stabChords = [&](int vol) { // chord stabs, each bar on a figure of its own
        std::vector<Chord> hits;
        for (const Chord& c : p.chords)
            for (int bar = 0; bar < c.length; bar += 16) {
                const char* figure = kStabs[rng.below(6)];
                for (int r = 0; r < 16 && bar + r < c.length; ++r) {
                    if (figure[r] != 'x') continue;
                    Chord one = c;
                    one.start = c.start + bar + r;
                    one.length = 2;
                    hits.push_back(one);
                }
            }
        // Gated under 1 so that every hit strikes, the repeated chords too.
        playChords(s, row, hits, stabs, k.stab, vol, 57, 72, 0, 0.9, false);
    };
    auto acidLine = [&](int vol) {
        for (const Chord& c : p.chords) {
            const int root = nearestAbove(c.bass, 33), fifth = nearestAbove((c.root + 7) % 12, 33);
            for (int bar = 0; bar < c.length; bar += 16) {
                const char* figure = kAcid[rng.below(6)];
                for (int r = 0; r < 16 && bar + r < c.length; ++r) {
                    const char x = figure[r];
                    if (x == '-') continue;
                    const int pitch = x == 'o' ? root + 12 : (x == 'f' ? fifth : root);
                    s.note(row + c.start + bar + r, BASS, pitch, k.acid,
                           std::clamp(vol + (x == 'R' ? 0 : -10), 0, 64));
                }
            }
        }
    };
    switch (mode) {
    case Mode::Beat:
        kit(s, k, rng, row, p.rows, true, false, true, false);
        break;
    case Mode::Groove:
        kit(s, k, rng, row, p.rows, true, true, true, false);
        acidLine(level);
        break;
    case Mode::Lead:
        kit(s, k, rng, row, p.rows, true, true, true, false);
        acidLine(level);
        playMelody(s, row, p.melody, {LEAD, k.lead, level - 4, -12, 0.8}, 16, 4);
        playEcho(s, row, p.melody, {ECHO, k.lead, level / 3, -12, 0.8}, 3, p.rows);
        stabChords(level - 22);
        break;
    case Mode::Breakdown:
        playChords(s, row, p.chords, stabs, k.pad, level - 10, 55, 74);
        playMelody(s, row, p.melody, {LEAD, k.lead, level - 8, -12, 0.95});
        playEcho(s, row, p.melody, {ECHO, k.lead, level / 3, -12, 0.95}, 6, p.rows);
        break;
    case Mode::Build: {
        playChords(s, row, p.chords, stabs, k.pad, level - 10, 55, 74);
        acidLine(level);
        for (int r = 0; r < p.rows; ++r) { // a snare roll that tightens and swells
            int quarter = r * 4 / p.rows;
            int every = quarter < 2 ? 4 : (quarter < 3 ? 2 : 1);
            if (r % every == 0) s.note(row + r, CLAP, 60, k.snare, 20 + r * 30 / p.rows);
        }
        break;
    }
    case Mode::Drop:
        kit(s, k, rng, row, p.rows, true, true, true, true);
        acidLine(level);
        playMelody(s, row, p.melody, {LEAD, k.lead, level, -12, 0.8}, 16, 4);
        playEcho(s, row, p.melody, {ECHO, k.lead, level / 3, 0, 0.8}, 3, p.rows);
        stabChords(level - 18);
        break;
    case Mode::Outro:
        kit(s, k, rng, row, p.rows, true, false, true, false);
        playChords(s, row, p.chords, stabs, k.pad, level - 14, 55, 74);
        break;
    }
    s.ensureRows(row + p.rows);
    return p.rows;
}

using Plan = Section<Mode>;

Module build(const char* title, const std::vector<Plan>& plan, double seconds, double gain) {
    Song s(title, Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    Rng rng(static_cast<uint32_t>(seconds * 7919)); // each tune mutates its own way
    auto play = [&](int row, const Plan& p) {
        return section(s, k, rng, row, *p.phrase, p.mode, p.level);
    };
    // Saw leads and acid bass: the bass slides into its steps (the acid glide), the lead bends
    // into near notes, stabs spread wide, claps roll into each pattern, hats are choked.
    Expression e;
    e.channels = {{LEAD, Role::Lead, 64},   {ECHO, Role::Counter, 236}, {STAB1, Role::Pad, 20},
                  {STAB2, Role::Pad, 236},  {STAB3, Role::Pad, 200},    {BASS, Role::Bass, 104},
                  {KICK, Role::Drums, 140}, {CLAP, Role::Drums, 168},   {HAT, Role::Hats, 216},
                  {OPEN, Role::Plain, 36}};
    e.vibrato = 0x34;
    e.vibratoAfter = 6;
    e.slideEvery = 2;
    e.bassSlides = true;
    e.fade = 2;
    e.rollEvery = 64;
    e.roll = 0x92;
    return arrangeTune(s, plan, play, e, seconds, gain);
}

} // namespace

Module frozenCircuit() {
    static const Phrase riff =
        makePhrase("A5:3 C6:3 E6:2 D6:3 C6:3 B5:2 | A5:3 C6:3 F6:2 E6:3 C6:3 A5:2 |"
                   "G5:3 C6:3 E6:2 G6:4 E6:2 C6:2 | B5:3 D6:3 G6:2 D6:4 B5:4 |"
                   "A5:3 C6:3 E6:2 D6:3 C6:3 B5:2 | A5:3 C6:3 F6:2 E6:3 C6:3 A5:2 |"
                   "E6:3 D6:3 C6:2 G5:4 C6:4 | B5:4 D6:4 G6:8",
                   "Am:16 | F | C | G | Am | F | C | G", 1);
    static const Phrase theme = makePhrase("E6:8 D6:4 C6:4 | C6:8 A5:8 | G5:8 C6:4 E6:4 | D6:16 |"
                                           "E6:8 D6:4 C6:4 | F6:8 E6:4 C6:4 | G6:12 E6:4 | D6:16",
                                           "Am:16 | F | C | G | Am | F | C | G", 1);
    return build("frozen circuit",
                 {{&riff, Mode::Beat, 44},
                  {&riff, Mode::Groove, 44},
                  {&riff, Mode::Lead, 46},
                  {&theme, Mode::Lead, 46},
                  {&riff, Mode::Lead, 46},
                  {&theme, Mode::Breakdown, 44},
                  {&riff, Mode::Build, 44},
                  {&riff, Mode::Drop, 48},
                  {&theme, Mode::Drop, 48},
                  {&riff, Mode::Drop, 48},
                  {&theme, Mode::Outro, 42}},
                 156, 0.97);
}

Module blizzard() {
    static const Phrase riff = makePhrase("E5:2 E5 B5 E5 G5 E5 F#5 E5 | C5 C5 G5 C5 E5 C5 D5 C5 |"
                                          "D5 D5 A5 D5 F#5 D5 E5 D5 | B4 B4 F#5 B4 D5 B4 C#5 B4 |"
                                          "E5 E5 B5 E5 G5 E5 F#5 E5 | C5 C5 G5 C5 E5 C5 D5 C5 |"
                                          "A4 A4 E5 A4 C5 A4 B4 A4 | B4 B4 F#5 B4 D#5 B4 F#5 A5",
                                          "Em:16 | C | D | Bm | Em | C | Am | B7", 1);
    static const Phrase theme = makePhrase("B5:12 A5:4 | G5:8 E5:8 | F#5:12 A5:4 | B5:16 |"
                                           "B5:12 A5:4 | G5:8 E5:8 | A5:8 G5:4 F#5:4 | D#5:16",
                                           "Em:16 | C | D | Bm | Em | C | Am | B7", 1);
    return build("blizzard",
                 {{&riff, Mode::Beat, 44},
                  {&riff, Mode::Groove, 44},
                  {&riff, Mode::Lead, 46},
                  {&theme, Mode::Lead, 46},
                  {&theme, Mode::Breakdown, 44},
                  {&riff, Mode::Build, 44},
                  {&theme, Mode::Drop, 48},
                  {&riff, Mode::Drop, 48},
                  {&theme, Mode::Drop, 48},
                  {&riff, Mode::Drop, 48},
                  {&riff, Mode::Outro, 42}},
                 148, 0.96);
}

} // namespace music
