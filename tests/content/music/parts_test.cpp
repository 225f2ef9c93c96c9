// The building blocks of the arrangements: parts placed on the grid, and the synthesised
// sounds they play.

#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

using namespace music;

namespace {

std::vector<int> notesOn(Song& s, int ch, int from, int to) {
    std::vector<int> out;
    for (int r = from; r < to && r < s.rows(); ++r)
        if (s.at(r, ch).note > 0) out.push_back(s.at(r, ch).note);
    return out;
}

} // namespace

TEST(Parts, MelodyReleasesOnlyWhereAGapFollows) {
    Song s("m", Format::Xm, 2);
    auto notes = parseMelody("C4:4 D4:4 r:4 E4:4", 1);
    playMelody(s, 8, notes, {0, 1, 40, 12, 0.5}, 16, 6);
    EXPECT_EQ(s.at(8, 0).note, 72);
    EXPECT_EQ(s.at(8, 0).volume, 46);      // accented: starts a bar of 16
    EXPECT_EQ(s.at(10, 0).note, NOTE_OFF); // half the length
    EXPECT_EQ(s.at(12, 0).note, 74);
    EXPECT_EQ(s.at(12, 0).volume, 40);
    EXPECT_EQ(s.at(14, 0).note, NOTE_OFF);
    EXPECT_EQ(s.at(20, 0).note, 76);
    // A release never overwrites a note that starts on the same row.
    s.note(30, 1, 60, 1);
    s.off(30, 1);
    EXPECT_EQ(s.at(30, 1).note, 60);
}

TEST(Parts, ChordsAreVoicedInRangeWithTheirTonesAndMoveLittle) {
    Song s("c", Format::Xm, 4);
    auto chords = parseChords("C:16 F:16 G7:16 Am:16 Dm:16 G:16 C:16", 1);
    playChords(s, 0, chords, {0, 1, 2}, 1, 40, 55, 72);
    std::vector<int> prev;
    for (const Chord& c : chords) {
        std::vector<int> v;
        for (int ch = 0; ch < 3; ++ch) {
            // a held common tone keeps its earlier note: find the last note at or before the chord
            int r = c.start;
            while (r > 0 && s.at(r, ch).note <= 0) --r;
            v.push_back(s.at(r, ch).note);
        }
        std::sort(v.begin(), v.end());
        std::set<int> classes;
        for (int p : v) {
            EXPECT_GE(p, 55);
            EXPECT_LE(p, 72);
            auto pcs = c.pitchClasses();
            EXPECT_NE(std::find(pcs.begin(), pcs.end(), p % 12), pcs.end()) << p;
            classes.insert(p % 12);
        }
        EXPECT_EQ(classes.size(), 3u);                   // three different chord tones
        EXPECT_TRUE(classes.count(c.pitchClasses()[1])); // the third is always there
        if (!prev.empty()) {
            int moved = 0;
            for (int i = 0; i < 3; ++i) moved += std::abs(v[i] - prev[i]);
            EXPECT_LE(moved, 7) << "voices jump between chords";
        }
        prev = v;
    }
    EXPECT_EQ(s.at(spanOf(chords), 0).note, NOTE_OFF);
}

TEST(Parts, BassStylesPlayTheChordFromTheLowRange) {
    auto chords = parseChords("C:16 G/B:16 Am:16 F:16", 1);
    for (BassStyle style :
         {BassStyle::Held, BassStyle::RootFifth, BassStyle::Eighths, BassStyle::Octaves,
          BassStyle::Walking, BassStyle::OffbeatOctaves, BassStyle::Gallop, BassStyle::Pumping16}) {
        Song s("b", Format::Xm, 1);
        playBass(s, 0, chords, {0, 1, 50, 0, 1.0, false}, style, 4, 36);
        for (const Chord& c : chords) {
            // Every bar starts on the chord's bass note.
            EXPECT_EQ(s.at(c.start, 0).note, nearestAbove(c.bass, 36)) << static_cast<int>(style);
            for (int p : notesOn(s, 0, c.start, c.start + c.length)) {
                EXPECT_GE(p, 35);
                EXPECT_LE(p, 36 + 24);
            }
        }
    }
}

TEST(Parts, ArpeggiosAndDrumsFollowTheirPatterns) {
    Song s("a", Format::Xm, 3);
    playArpeggio(s, 0, parseChords("Am:8", 1), {0, 1, 40}, 2, 57, {0, 1, 2, 3});
    EXPECT_EQ(notesOn(s, 0, 0, 8), (std::vector<int>{57, 60, 64, 69}));
    playChipArp(s, 0, parseChords("C:4", 1), {1, 1, 40}, 60);
    EXPECT_EQ(s.at(0, 1).note, 60);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(s.at(r, 1).param, 0x47);
    playDrums(s, 0, 10, 2, "x..s", {{'x', {3, 50}}, {'s', {4, 30, 62}}});
    EXPECT_EQ(s.at(0, 2).instrument, 3);
    EXPECT_EQ(s.at(3, 2).note, 62);
    EXPECT_EQ(s.at(4, 2).instrument, 3);
    EXPECT_EQ(s.at(8, 2).instrument, 3);
    EXPECT_EQ(s.at(9, 2).instrument, 0);
}

TEST(Parts, SongRefusesATimeItCannotReach) {
    Song s("t", Format::Xm, 2);
    s.ensureRows(16);
    EXPECT_THROW(s.finish(60, 6, 1.0), std::runtime_error); // would need a tempo below 32
    Song full("f", Format::Mod, 4);
    full.ensureRows(64);
    for (int ch = 0; ch < 4; ++ch) full.volume(63, ch, 30); // no room left for the jump
    EXPECT_THROW(full.finish(64 * 0.12, 6, 1.0), std::runtime_error);
}

TEST(Synth, LoopsJoinWithoutAStep) {
    // Across the loop point the wave continues as smoothly as inside the loop.
    for (const Instrument& in : {chipPulse("p", 0.25), padStrings("s", 0.6), choir("c", false),
                                 organ("o"), sawLead("l", 3), modSaw("m", 60, 240), flute("f")}) {
        ASSERT_GT(in.loopLength, 0) << in.name;
        const auto& d = in.data;
        int start = in.loopStart, end = in.loopStart + in.loopLength;
        ASSERT_EQ(static_cast<size_t>(end), d.size()) << in.name;
        float peak = 0, maxStep = 0;
        for (size_t i = 1; i < d.size(); ++i) {
            peak = std::max(peak, std::fabs(d[i]));
            if (static_cast<int>(i) > start)
                maxStep = std::max(maxStep, std::fabs(d[i] - d[i - 1]));
        }
        float joinStep = std::fabs(d[start] - d[end - 1]);
        EXPECT_LE(joinStep, maxStep * 1.05f + 1e-6f) << in.name;
        EXPECT_GT(peak, 0.1f) << in.name;
    }
}

TEST(Synth, ModLoopsAreEvenAndNearTheirPitch) {
    for (double midi : {36.0, 48.0, 60.0, 72.0, 78.0}) {
        Instrument in = modPulse("p", 0.3, midi);
        EXPECT_EQ(in.loopStart % 2, 0);
        EXPECT_EQ(in.loopLength % 2, 0);
        EXPECT_NEAR(in.baseMidi, midi, 0.1) << midi;
    }
}

TEST(Synth, OneShotsAreCentredAndRepeatable) {
    Instrument a = pluck("a", 22050, 48, 1.0, 0.998, 5);
    Instrument b = pluck("b", 22050, 48, 1.0, 0.998, 5);
    EXPECT_EQ(a.data, b.data);
    double mean = std::accumulate(a.data.begin(), a.data.end(), 0.0) / a.data.size();
    float peak = *std::max_element(a.data.begin(), a.data.end());
    EXPECT_LT(std::fabs(mean), peak * 0.01);
    EXPECT_NEAR(a.baseMidi, 48, 0.5);
    Instrument k = kickDrum("k", 22050, 1.0);
    EXPECT_EQ(k.baseMidi, 60);
    EXPECT_FLOAT_EQ(k.data.back(), 0.0f); // faded, so a cut never clicks
    EXPECT_NE(snareDrum("s", 22050, 0.5, 0.2, 1).data, snareDrum("s", 22050, 0.5, 0.2, 2).data);
}

TEST(Parts, ScaledSectionsGetExplicitVolumesOnlyInsideTheirRows) {
    for (Format f : {Format::Xm, Format::Mod}) {
        Song s("levels", f, 4);
        Instrument in = f == Format::Mod ? modTriangle("t", 72) : chipTriangle("t");
        in.volume = 40;
        int i = s.addInstrument(in);
        s.note(0, 0, 72, i);     // before the section
        s.note(4, 0, 72, i);     // the instrument's own level
        s.note(6, 1, 72, i, 60); // a written level
        s.note(8, 2, 72, i);     // a roll: a MOD cell has no room for a volume
        s.effect(8, 2, 0xE, 0x93);
        s.off(10, 0);
        s.note(12, 0, 72, i); // after it
        scaleLevels(s, 4, 8, 0.5);
        const auto& rows = s.module().rows;
        EXPECT_EQ(rows[0][0].volume, -1);
        EXPECT_EQ(rows[4][0].volume, 20);
        EXPECT_EQ(rows[6][1].volume, 30);
        EXPECT_EQ(rows[8][2].volume, f == Format::Mod ? -1 : 20);
        EXPECT_EQ(rows[10][0].volume, -1); // releases keep no volume
        EXPECT_EQ(rows[12][0].volume, -1);
    }
}
