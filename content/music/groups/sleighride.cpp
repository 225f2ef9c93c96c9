// sleighride ensemble: four Amiga channels. A plucked-string lead, a second string that strums
// broken chords, a plucked bass, and sleigh bells shaken against a soft kick.

#include "content/music/arrangement.h"
#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/tunes.h"

#include <utility>
#include <vector>

namespace music {
namespace {

enum Ch { LEAD, STRUM, BASS, PERC };
enum class Mode { Intro, Verse, Bright, Strum, Outro };

struct Kit {
    int lead, high, strum, bass, bells, kick, tick;
    int brightShift; // how far the bright verse lifts the tune
};

Kit makeKit(Song& s) {
    Kit k{};
    Instrument lead = pluck("string", kModDrumRate, 72, 1.3, 0.997, 11);
    lead.volume = 52;
    k.lead = s.addInstrument(lead);
    Instrument high = pluck("high string", kModDrumRate, 84, 0.9, 0.995, 13);
    high.volume = 48;
    k.high = s.addInstrument(high);
    Instrument strum = pluck("strum", kModDrumRate, 72, 0.9, 0.994, 23);
    strum.volume = 30;
    k.strum = s.addInstrument(strum);
    Instrument bass = pluck("bass string", 3546895.0 / 428.0, 48, 1.4, 0.998, 37);
    bass.volume = 50;
    k.bass = s.addInstrument(bass);
    Instrument bells = sleighBells("sleigh bells", kModDrumRate, 5);
    bells.volume = 30;
    k.bells = s.addInstrument(bells);
    Instrument kick = kickDrum("soft kick", kModDrumRate, 0.8);
    kick.volume = 50;
    k.kick = s.addInstrument(kick);
    Instrument tick = hiHat("tick", kModDrumRate, 0.04, 3);
    tick.volume = 20;
    k.tick = s.addInstrument(tick);
    return k;
}

// Percussion shares one channel: kick on the strong beats, sleigh bells between.
void percussion(Song& s, const Kit& k, int row, int rows, int beat, int barRows, Mode mode) {
    for (int r = 0; r < rows; ++r) {
        int inBar = r % barRows;
        if (inBar == 0 || (barRows == 16 && inBar == 8))
            s.note(row + r, PERC, 60, k.kick);
        else if (mode == Mode::Intro && inBar % beat != 0)
            continue;
        else if (r % (beat / 2) == 0)
            s.note(row + r, PERC, 60, k.bells, (r % beat) ? 22 : -1);
    }
}

int section(Song& s, const Kit& k, int row, const Phrase& p, Mode mode, int barRows, int beat) {
    switch (mode) {
    case Mode::Intro:
        playArpeggio(s, row, p.chords, {STRUM, k.strum, -1, 0, 1.0, false}, beat / 2, 55,
                     {0, 1, 2, 3, 2, 1});
        playBass(s, row, p.chords, {BASS, k.bass, -1, 0, 1.0, false}, BassStyle::Held, beat, 36);
        percussion(s, k, row, p.rows, beat, barRows, mode);
        break;
    case Mode::Verse:
        playMelody(s, row, p.melody, {LEAD, k.lead, 48, 0, 1.0, false}, barRows, 6);
        playArpeggio(s, row, p.chords, {STRUM, k.strum, -1, 0, 1.0, false}, beat / 2, 55,
                     {0, 1, 2, 1});
        playBass(s, row, p.chords, {BASS, k.bass, -1, 0, 1.0, false}, BassStyle::RootFifth, beat,
                 36);
        percussion(s, k, row, p.rows, beat, barRows, mode);
        break;
    case Mode::Bright:
        playMelody(s, row, p.melody, {LEAD, k.high, 54, k.brightShift, 1.0, false}, barRows, 8);
        playArpeggio(s, row, p.chords, {STRUM, k.strum, -1, 0, 1.0, false}, beat / 4 ? beat / 4 : 1,
                     55, {0, 1, 2, 3, 4, 3, 2, 1});
        playBass(s, row, p.chords, {BASS, k.bass, -1, 0, 1.0, false}, BassStyle::Walking, beat, 36);
        percussion(s, k, row, p.rows, beat, barRows, mode);
        break;
    case Mode::Strum: // the tune moves to the strum string, the lead answers with chord tones
        playMelody(s, row, p.melody, {STRUM, k.lead, 44, 0, 1.0, false}, barRows, 6);
        playArpeggio(s, row, p.chords, {LEAD, k.strum, -1, 12, 1.0, false}, beat, 55, {2, 1, 0, 1});
        playBass(s, row, p.chords, {BASS, k.bass, -1, 0, 1.0, false}, BassStyle::Held, beat, 36);
        percussion(s, k, row, p.rows, beat, barRows, Mode::Intro);
        break;
    case Mode::Outro: {
        Chord last = p.chords.back();
        last.start = 0;
        last.length = barRows * 2;
        playArpeggio(s, row, {last}, {STRUM, k.strum, -1, 0, 1.0, false}, beat / 2, 55,
                     {0, 1, 2, 3, 4, 5, 4, 3});
        s.note(row, BASS, nearestAbove(last.root, 36), k.bass);
        s.note(row, LEAD, nearestAbove(last.root, 60), k.lead, 44);
        s.note(row, PERC, 60, k.kick);
        s.note(row + beat, PERC, 60, k.bells);
        s.ensureRows(row + last.length);
        return last.length;
    }
    }
    return p.rows;
}

using Plan = Section<Mode>;

Module build(const char* title, const std::vector<Plan>& plan, int barRows, int beat,
             double seconds, double gain, int brightShift = 12) {
    Song s(title, Format::Mod, 4);
    Kit k = makeKit(s);
    k.brightShift = brightShift;
    const std::vector<int> starts = layOut(plan, [&](int row, const Plan& p) {
        return section(s, k, row, *p.phrase, p.mode, barRows, beat);
    });
    // Plucked strings on four channels: vibrato on the held tune, slides between near notes,
    // crisp cut notes, and the percussion rolling into each new pattern.
    Expression e;
    e.channels = {
        {LEAD, Role::Lead}, {STRUM, Role::Plain}, {BASS, Role::Bass}, {PERC, Role::Drums}};
    e.vibrato = 0x43;
    e.vibratoMinRows = 5;
    e.vibratoAfter = 2;
    e.slideEvery = 3;
    e.crispGates = true;
    e.rollEvery = 64;
    express(s, e);
    // The arc: a quiet opening, the strummed verse softer, the bright verse in full voice.
    // After the expression, so that slides and rolls keep the sample's own level and stand out.
    for (size_t i = 0; i < plan.size(); ++i) {
        Mode mode = plan[i].mode;
        double level = mode == Mode::Intro   ? 0.6
                       : mode == Mode::Strum ? 0.7
                       : mode == Mode::Verse ? 0.85
                                             : 1.0;
        if (level < 1.0) scaleLevels(s, starts[i], starts[i + 1] - starts[i], level);
    }
    s.finish(seconds, 6, gain);
    return s.module();
}

} // namespace

Module godRestYe() {
    static const Phrase verse =
        makePhrase("E4:4 B4 B4 A4 | G4 F#4 E4 D4 | E4 F#4 G4 A4 | B4:12 E4:4 |"
                   "E4:4 B4 B4 A4 | G4 F#4 E4 D4 | E4 F#4 G4 A4 | B4:12 B4:4 |"
                   "C5:4 A4 B4 C5 | D5 E5 B4 A4 | G4 E4 F#4 G4 | A4:12 G4:2 A4:2 |"
                   "B4:8 C5:4 B4 | B4 A4 G4 F#4 | E4:8 G4:4 F#4:2 E4 | F#4:8 A4 |"
                   "G4:4 F#4 E4 G4:2 F#4 | E4:4 D4 G4 A4 | B4 C5 B4 A4 | G4 F#4 E4:4 E4:4",
                   "Em:16 | Em:8 D:8 | C:8 D:8 | B7:16 | Em:16 | Em:8 D:8 | C:8 D:8 | B7:16 |"
                   "Am:16 | G:16 | Em:8 D:8 | D7:16 | G:8 C:8 | Em:8 D:8 | C:8 B7:8 | D:8 D7:8 |"
                   "G:8 C:8 | Em:8 D:8 | G:8 D:8 | Em:16",
                   1);
    static const Phrase intro = slicePhrase(verse, 0, 64);
    return build("god rest ye merry",
                 {{&intro, Mode::Intro},
                  {&verse, Mode::Verse},
                  {&verse, Mode::Strum},
                  {&verse, Mode::Bright},
                  {&verse, Mode::Outro}},
                 16, 4, 108, 1.27);
}

Module weWishYou() {
    static const Phrase verse =
        makePhrase("G4:4 G4:2 A4 G4 F#4 | E4:4 E4 E4 | A4:4 A4:2 B4 A4 G4 | F#4:4 D4 D4 |"
                   "B4:4 B4:2 C5 B4 A4 | G4:4 E4 D4:2 D4 | E4:4 A4 F#4 | G4:8 D4:4 |"
                   "G4:4 G4 G4 | F#4:8 F#4:4 | G4 F#4 E4 | D4:8 A4:4 |"
                   "B4:4 A4 G4 | D5 D4 D4:2 D4 | E4:4 A4 F#4 | G4:8 D4:4",
                   "G:12 | C | A7 | D | B7 | Em | C:4 D7:8 | G:12 |"
                   "G:12 | D | Em | D | G | D7 | C:4 D7:8 | G:12",
                   1);
    static const Phrase intro = slicePhrase(verse, 144, 48);
    return build("we wish you",
                 {{&intro, Mode::Intro},
                  {&verse, Mode::Verse},
                  {&verse, Mode::Bright},
                  {&verse, Mode::Strum},
                  {&verse, Mode::Verse},
                  {&verse, Mode::Bright},
                  {&verse, Mode::Outro}},
                 12, 4, 96, 1.23);
}

Module sleighTracks() {
    // An original reel-like tune in D: a running A part and a singing B part.
    Phrase a = makePhrase(
        "D5:2 F#5 A5 F#5 D5 F#5 A5 D6 | C#6:4 B5:2 A5 B5:4 G5 | A5:2 F#5 D5 F#5 G5 E5 C#5 E5 |"
        "D5:4 A4 F#4 A4 | D5:2 F#5 A5 F#5 D5 F#5 A5 D6 | E6:4 D6:2 C#6 B5:4 G5 |"
        "F#5:2 A5 G5 E5 C#5 E5 A4 C#5 | D5:8 r:8",
        "D:16 | G:8 Em:8 | D:8 A7:8 | D:16 | D:16 | G:8 Em:8 | D:8 A7:8 | D:16", 1);
    Phrase b = makePhrase("B5:6 A5:2 G5:4 B5 | A5:6 F#5:2 D5:8 | G5:6 F#5:2 E5:4 G5 | F#5:12 A5:4 |"
                          "B5:6 A5:2 G5:4 B5 | A5:6 F#5:2 D6:8 | C#6:4 B5 A5 G5 | F#5:4 E5 D5:8",
                          "G:16 | D | Em:8 A7:8 | D:16 | G:16 | D:8 Bm:8 | Em:8 A7:8 | D:16", 1);
    const Phrase intro = slicePhrase(a, 0, 64);
    // Written as it sounds bright, on the high string; the verse and the strum sit lower.
    a.melody = transposed(a.melody, -12);
    b.melody = transposed(b.melody, -12);
    return build("sleigh tracks",
                 {{&intro, Mode::Intro},
                  {&a, Mode::Verse},
                  {&b, Mode::Verse},
                  {&a, Mode::Strum},
                  {&b, Mode::Strum},
                  {&a, Mode::Bright},
                  {&b, Mode::Bright},
                  {&a, Mode::Verse},
                  {&a, Mode::Outro}},
                 16, 4, 120, 1.45);
}

} // namespace music
