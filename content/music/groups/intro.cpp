// The intro's tune: a winter night in A minor. Each section starts where the intro starts a
// sequence: a bell sting under the makers' mark, a falling chime as it fades, the train's
// whistle sliding up into a running groove of sleigh bells and chuffing steam, a quiet phrase
// under the caption, the whole band for the title, and a music box by the cabin's window,
// softer still. The voices stand across the whole field (the bell's echo answers from the
// left, the strings reach both sides) over a bass that leaves them room.

#include "content/music/intro_tune.h"

#include "content/music/instruments.h"
#include "content/music/intro_timeline.h"
#include "content/music/song.h"
#include "content/music/synth.h"

namespace music {
namespace {

namespace tl = intro_timeline;

enum Ch {
    LEAD,
    ECHO,
    CHOIR,
    PAD1,
    PAD2,
    PAD3,
    BASS,
    SPARKLE,
    TUBE,
    BOX,
    KICK,
    SNARE,
    SHAKER,
    SLEIGH,
    WHISTLE,
    CYMBAL,
    CHANNELS
};

struct Kit {
    int bell, echo, sparkle, padLeft, padMid, padRight, bass, flute, choir, box, tube;
    int kick, snare, shaker, sleigh, cymbal;
};

Kit makeKit(Song& s) {
    Kit k{};
    Instrument bell = fmBell("soft bell", 22050, 72, 2.0, 2.0, 1.3, 0.8);
    bell.pan = 156;
    k.bell = s.addInstrument(bell);
    bell.pan = 60; // its echo answers from the other side
    k.echo = s.addInstrument(bell);
    k.sparkle = s.addInstrument(fmBell("sparkle", 44100, 84, 1.4, 3.0, 2.4, 0.45));
    // One warm pad, three copies placed across the stereo field.
    Instrument pad = padStrings("warm strings", 0.8);
    pad.volumeEnvelope = adsr(50, 40, 54, 70);
    for (auto [pan, slot] : {std::pair{36, &k.padLeft}, {128, &k.padMid}, {220, &k.padRight}}) {
        pad.pan = pan;
        *slot = s.addInstrument(pad);
    }
    k.bass = s.addInstrument(sineBass("sine bass"));
    Instrument lead = flute("flute");
    lead.pan = 104;
    k.flute = s.addInstrument(lead);
    Instrument ooh = choir("choir ooh", true);
    ooh.pan = 64;
    k.choir = s.addInstrument(ooh);
    Instrument box = musicBox("music box", 44100, 84, 1.6);
    box.pan = 184;
    k.box = s.addInstrument(box);
    Instrument tube = fmBell("tubular bell", 22050, 60, 2.6, 1.41, 2.6, 0.9);
    tube.pan = 120;
    k.tube = s.addInstrument(tube);
    k.kick = s.addInstrument(kickDrum("kick", 22050, 0.8));
    Instrument snare = snareDrum("brush", 22050, 0.35, 0.22, 311);
    snare.pan = 140;
    k.snare = s.addInstrument(snare);
    Instrument steam = hiHat("steam", 22050, 0.09, 313);
    steam.pan = 56;
    k.shaker = s.addInstrument(steam);
    Instrument sleigh = sleighBells("sleigh bells", 22050, 317);
    sleigh.pan = 206;
    k.sleigh = s.addInstrument(sleigh);
    Instrument cymbal = hiHat("cymbal", 22050, 1.6, 319);
    cymbal.pan = 176;
    k.cymbal = s.addInstrument(cymbal);
    return k;
}

// Chords voice-led over three channels, each channel with its own place in the stereo field.
void pads(Song& s, const Kit& k, int row, const std::vector<Chord>& chords, int volume,
          int low = 52, int high = 71) {
    playChords(s, row, chords, {PAD1, PAD2, PAD3}, k.padMid, volume, low, high);
    const int end = row + spanOf(chords);
    for (int r = row; r < end; ++r) {
        if (s.at(r, PAD1).instrument == k.padMid) s.at(r, PAD1).instrument = k.padLeft;
        if (s.at(r, PAD3).instrument == k.padMid) s.at(r, PAD3).instrument = k.padRight;
    }
}

// Vibrato (effect 4) that sets in a beat into every long note, as a player would lean on it.
void vibrato(Song& s, int row, const std::vector<Note>& notes, int ch, int param) {
    for (const Note& n : notes)
        for (int r = n.start + 4; n.length >= 8 && r < n.start + n.length; ++r)
            if (!s.at(row + r, ch).hasEffect()) s.effect(row + r, ch, 0x4, param);
}

// A volume slide (effect A) on every `every`-th row of [from, to): x0 slides up, 0y down, by
// that much on each tick but the first of a row.
void slide(Song& s, int ch, int from, int to, int param, int every) {
    for (int r = from; r < to; r += every) s.effect(r, ch, 0xA, param);
}

// Arpeggiated sparkle bells that swing from one side to the other (effect 8 sets the panning).
void sparkles(Song& s, const Kit& k, int row, const std::vector<Chord>& chords, int step,
              int volume, const std::vector<int>& order) {
    playArpeggio(s, row, chords, {SPARKLE, k.sparkle, volume, 0, 1.0, false}, step, 67, order);
    const int end = row + spanOf(chords);
    for (int r = row, i = 0; r < end; r += step, ++i)
        s.effect(r, SPARKLE, 0x8, (i % 4 < 2 ? 0x40 : 0xC0) + (i % 2) * 0x20);
}

// The train's rhythm: a soft kick on one and three, brushes on two and four, steam chuffing
// in sixteenths with an accent on each beat, and sleigh bells on the off-beats.
void trainDrums(Song& s, const Kit& k, int row, int rows, int level) {
    playDrums(s, row, rows, KICK, "X.......X.......", {{'X', {k.kick, level + 4}}});
    playDrums(s, row, rows, SNARE, "....X.......X...", {{'X', {k.snare, level - 6}}});
    playDrums(s, row, rows, SHAKER, "Xxx.Xxx.Xxx.Xxxx",
              {{'X', {k.shaker, level}}, {'x', {k.shaker, level - 12}}});
    playDrums(s, row, rows, SLEIGH, "..X...X...X...X.", {{'X', {k.sleigh, level - 4}}});
}

// ---- the lead sheet ------------------------------------------------------------------------

const Phrase& mainTheme() { // eight bars, the tune of the train and of the title
    static const Phrase p =
        makePhrase("E5:6 D5:2 C5:4 B4:4 | A4:12 C5:4 | G4:6 A4:2 C5:4 E5:4 | D5:16 |"
                   "E5:6 D5:2 C5:4 E5:4 | A5:8 G5:4 F5:4 | F5:4 E5:4 D5:4 B4:4 | A4:16",
                   "Am:16 | F | C | G | Am | F | Dm:8 E:8 | Am:16", 1);
    return p;
}

const Phrase& answer() { // eight bars that climb and end on the dominant
    static const Phrase p =
        makePhrase("C5:4 F5:4 A5:6 G5:2 | G5:8 D5:8 | E5:4 G5:4 B5:6 A5:2 | A5:12 E5:4 |"
                   "F5:6 E5:2 D5:4 C5:4 | D5:6 C5:2 B4:4 G4:4 | G#4:8 B4:8 | E5:16",
                   "F:16 | G | Em | Am | F | G | E | E7", 1);
    return p;
}

const Phrase& caption() { // five quiet bars that gather towards the title
    static const Phrase p = makePhrase("C5:12 A4:4 | G4:8 E4:8 | F4:6 A4:2 D5:8 | B4:16 | E5:16",
                                       "F:16 | C/E | Dm | Esus4:8 E:8 | E:16", 1);
    return p;
}

const Phrase& cabin() { // ten bars in C by the fire
    static const Phrase p =
        makePhrase("E5:8 G5:8 | C5:16 | A4:8 C5:4 F5:4 | D5:16 | E5:8 G5:4 C6:4 | B5:8 G5:8 |"
                   "A5:6 G5:2 F5:4 A5:4 | G5:16 | F5:4 E5:4 D5:4 B4:4 | C5:16",
                   "C:16 | Am | F | G | C | Em | F | G | Dm:8 G:8 | C:16", 1);
    return p;
}

// ---- the sections, each starting on its moment ---------------------------------------------

// From the top: a sting, the pad swelling in, the theme's first half on a distant bell.
void opening(Song& s, const Kit& k, int end) {
    const Phrase harmony = makePhrase("r:104", "Am:16 | F | C | G | Am | F | E:8", 1);
    s.note(0, TUBE, 57, k.tube, 50);
    s.note(0, CYMBAL, 60, k.cymbal, 30);
    playChords(s, 0, {harmony.chords[0]}, {SPARKLE}, k.sparkle, 40, 69, 80);
    pads(s, k, 0, harmony.chords, 34);
    playBass(s, 0, harmony.chords, {BASS, k.bass, 36, 0, 1.0}, BassStyle::Held, 4, 33);
    playDrums(s, 0, 64, SLEIGH, "X...............x...............",
              {{'X', {k.sleigh, 30}}, {'x', {k.sleigh, 20}}});
    const Phrase half = slicePhrase(mainTheme(), 0, 64);
    playMelody(s, 32, half.melody, {LEAD, k.bell, 42, 0, 1.0, false});
    playEcho(s, 32, half.melody, {ECHO, k.echo, 16, 12, 1.0, false}, 6, 64 + 8);
    s.note(96, LEAD, 71, k.bell, 40); // B over the half bar of E, waiting
    sparkles(s, k, 16, slicePhrase(harmony, 16, end - 16).chords, 8, 24, {0, 2, 4, 2});
}

// The mark fades: the chord resolves and a chime falls from side to side.
void logoFades(Song& s, const Kit& k, int row, int end) {
    const Phrase rest = makePhrase("r:15", "Am:15", 1);
    pads(s, k, row, rest.chords, 42);
    for (int ch : {PAD1, PAD2, PAD3}) slide(s, ch, row + 3, end, 0x01, 2);
    s.note(row, BASS, 45, k.bass, 36);
    s.note(row, TUBE, 57, k.tube, 40);
    const int fall[] = {88, 84, 81, 76, 72};
    for (int i = 0; i < 5; ++i) {
        s.note(row + 3 * i, SPARKLE, fall[i], k.sparkle, 40 - 4 * i);
        s.effect(row + 3 * i, SPARKLE, 0x8, 0x30 + 0x28 * i);
    }
}

// The train leaves: a two-note whistle (B and D) slides up to the E chord's E and G sharp
// (tone portamento) over steam that quickens.
void departure(Song& s, const Kit& k, int row, int end) {
    s.note(row, WHISTLE, 71, k.flute, 44);
    s.note(row, CHOIR, 74, k.flute, 34);
    s.note(row + 2, WHISTLE, 76, k.flute, 48);
    s.effect(row + 2, WHISTLE, 0x3, 0x0C);
    s.note(row + 2, CHOIR, 80, k.flute, 38);
    s.effect(row + 2, CHOIR, 0x3, 0x0C);
    for (int r = row + 3; r < end - 1; ++r) {
        s.effect(r, WHISTLE, 0x3, 0);
        s.effect(r, CHOIR, 0x3, 0);
    }
    s.off(end - 1, WHISTLE);
    s.off(end - 1, CHOIR);
    for (int at : {0, 3, 5, 7, 8}) s.note(row + at, SHAKER, 60, k.shaker, 30 + 3 * at);
    s.note(row, BASS, 40, k.bass, 38);
    s.note(row + 5, KICK, 60, k.kick, 36);
    s.note(end - 1, SNARE, 60, k.snare, 40);
    pads(s, k, row, makePhrase("r:9", "E:9", 1).chords, 36);
}

// Sixteen bars of the train: the theme on the flute, then the answer on the bell with the
// choir under it.
void train(Song& s, const Kit& k, int row) {
    const Phrase& a = mainTheme();
    const Phrase& b = answer();
    playMelody(s, row, a.melody, {LEAD, k.flute, 46, 0, 0.95});
    vibrato(s, row, a.melody, LEAD, 0x34);
    playEcho(s, row, a.melody, {ECHO, k.echo, 18, 12, 1.0, false}, 6, a.rows);
    pads(s, k, row, a.chords, 34);
    playBass(s, row, a.chords, {BASS, k.bass, 40, 0, 0.8}, BassStyle::Octaves, 4, 33);
    sparkles(s, k, row, a.chords, 4, 22, {0, 2, 4, 5, 4, 2});
    trainDrums(s, k, row, a.rows, 40);

    const int r2 = row + a.rows;
    playMelody(s, r2, b.melody, {LEAD, k.bell, 52, 0, 1.0, false});
    playMelody(s, r2, b.melody, {CHOIR, k.choir, 34, -12, 1.0});
    playEcho(s, r2, b.melody, {ECHO, k.echo, 18, 12, 1.0, false}, 6, b.rows);
    pads(s, k, r2, b.chords, 36);
    playBass(s, r2, b.chords, {BASS, k.bass, 40, 0, 0.8}, BassStyle::Octaves, 4, 33);
    sparkles(s, k, r2, b.chords, 4, 22, {0, 2, 4, 2});
    trainDrums(s, k, r2, b.rows, 46);
}

// Under the caption the band falls away to the flute, a music box and sleigh bells; the last
// bar gathers with a brush roll and swelling strings.
void captionPhrase(Song& s, const Kit& k, int row) {
    const Phrase& p = caption();
    playMelody(s, row, p.melody, {LEAD, k.flute, 38, 0, 0.95});
    vibrato(s, row, p.melody, LEAD, 0x33);
    pads(s, k, row, p.chords, 28);
    playBass(s, row, p.chords, {BASS, k.bass, 36, 0, 1.0}, BassStyle::Held, 4, 33);
    playArpeggio(s, row, p.chords, {BOX, k.box, 30, 0, 1.0, false}, 4, 60, {0, 1, 2, 1});
    playDrums(s, row, 64, SLEIGH, "X.......x.......",
              {{'X', {k.sleigh, 28}}, {'x', {k.sleigh, 18}}});
    const int roll = row + 64;
    for (int r = 0; r < 16; r += r < 8 ? 2 : 1) s.note(roll + r, SNARE, 60, k.snare, 20 + 2 * r);
    for (int ch : {PAD1, PAD2, PAD3}) slide(s, ch, roll + 1, roll + 16, 0x10, 2);
    s.off(row, WHISTLE);
}

// The title: cymbal and tubular bell, the theme's first two bars in full, landing in C.
void title(Song& s, const Kit& k, int row, int end) {
    const Phrase head = slicePhrase(mainTheme(), 0, 32);
    s.note(row, CYMBAL, 60, k.cymbal, 40);
    s.note(row, TUBE, 57, k.tube, 48);
    playMelody(s, row, head.melody, {LEAD, k.bell, 58, 0, 1.0, false});
    playMelody(s, row, head.melody, {CHOIR, k.choir, 46, -12, 1.0});
    playMelody(s, row, head.melody, {WHISTLE, k.flute, 40, 12, 0.9});
    vibrato(s, row, head.melody, WHISTLE, 0x24);
    const Phrase chords = makePhrase("r:39", "Am:16 | F:16 | C:7", 1);
    pads(s, k, row, chords.chords, 48);
    playBass(s, row, chords.chords, {BASS, k.bass, 42, 0, 0.9}, BassStyle::RootFifth, 8, 33);
    sparkles(s, k, row, chords.chords, 2, 24, {0, 2, 4, 5, 4, 2});
    trainDrums(s, k, row, 32, 46);
    s.note(row + 32, LEAD, 72, k.bell, 46);
    s.off(row + 32, CHOIR);
    s.off(end - 1, WHISTLE);
}

// By the cabin: a music box rising into the cabin's tune, the flute answering an octave down,
// a warm pad, the choir humming and sleigh bells far away.
void cabinPhrase(Song& s, const Kit& k, int pickup, int row) {
    pads(s, k, pickup, makePhrase("r:9", "G7:9", 1).chords, 32);
    s.note(pickup, BASS, 43, k.bass, 32);
    const int rise[] = {67, 71, 74}; // G B D, into the E that opens the tune
    for (int i = 0; i < 3; ++i) s.note(pickup + 3 * i, BOX, rise[i], k.box, 34);
    const Phrase& p = cabin();
    playMelody(s, row, p.melody, {BOX, k.box, 38, 0, 1.0, false});
    playEcho(s, row, p.melody, {LEAD, k.flute, 24, -12, 0.9}, 8, p.rows);
    vibrato(s, row + 8, p.melody, LEAD, 0x23);
    pads(s, k, row, p.chords, 24);
    playChords(s, row, p.chords, {CHOIR}, k.choir, 18, 55, 64);
    playBass(s, row, p.chords, {BASS, k.bass, 30, 0, 1.0}, BassStyle::RootFifth, 8, 33);
    sparkles(s, k, row, p.chords, 8, 18, {2, 1, 0, 1});
    playDrums(s, row, p.rows, SLEIGH, "X.......x.......",
              {{'X', {k.sleigh, 20}}, {'x', {k.sleigh, 14}}});
}

// After the cabin the theme's last bars on the bell, then a long C major fading away.
void coda(Song& s, const Kit& k, int row, int end) {
    const Phrase tail =
        makePhrase("A5:8 G5:4 F5:4 | F5:4 E5:4 D5:4 B4:4 | C5:32", "F:16 | G:16 | C:32", 1);
    playMelody(s, row, tail.melody, {LEAD, k.bell, 38, 0, 1.0, false});
    playEcho(s, row, tail.melody, {ECHO, k.echo, 14, 12, 1.0, false}, 6, end - row);
    pads(s, k, row, tail.chords, 28);
    playBass(s, row, tail.chords, {BASS, k.bass, 28, 0, 1.0}, BassStyle::Held, 4, 33);
    s.note(row + 32, TUBE, 48, k.tube, 40);
    sparkles(s, k, row, tail.chords, 8, 16, {4, 2, 1, 0});
    const int last = row + tail.rows;
    const Phrase rest = makePhrase("r:32", "C:32", 1);
    pads(s, k, last, rest.chords, 34);
    for (int ch : {PAD1, PAD2, PAD3}) slide(s, ch, last + 8, end - 1, 0x01, 3);
    s.note(last, BASS, 36, k.bass, 28);
    s.off(end - 1, BASS);
}

} // namespace

Module introTune() {
    Song s("tinselwave intro", Format::Xm, CHANNELS);
    Kit k = makeKit(s);
    const int logoOut = tl::LOGO_HOLD_END.rows(), trainOut = tl::FIRST_SCENE.rows();
    const int captionAt = tl::CAPTION_HOLD_END.rows(), titleAt = tl::TITLE_HOLD_END.rows();
    const int cabinAt = tl::SECOND_SCENE.rows();
    const int bar = 16, total = tl::ORDERS * tl::PATTERN_ROWS;
    // The scenes start on a pickup: the downbeat after each start opens the scene's music.
    const int trainBar = (trainOut + bar - 1) / bar * bar,
              cabinBar = (cabinAt + bar - 1) / bar * bar;

    opening(s, k, logoOut);
    logoFades(s, k, logoOut, trainOut);
    departure(s, k, trainOut, trainBar);
    train(s, k, trainBar);
    captionPhrase(s, k, captionAt);
    title(s, k, titleAt, cabinAt);
    cabinPhrase(s, k, cabinAt, cabinBar);
    coda(s, k, cabinBar + cabin().rows, total);
    // Releases of notes still ringing at the loop point fall past the last order: drop them.
    s.ensureRows(total);
    s.module().rows.resize(total);
    s.finish(total * tl::ROW_SECONDS, tl::SPEED, 0.80);
    return s.module();
}

} // namespace music
