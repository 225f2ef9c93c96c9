// The measuring tool itself: it must find the effects and tempo changes a module really holds
// and measure known signals right, or the collection's figures mean nothing.

#include "analysis.h"
#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/writers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace music;

namespace {

// Two channels, 128 rows at speed 6 / 125 bpm, with a chosen cell set per test.
Song smallSong(Format f) {
    Song s("scan", f, f == Format::Mod ? 4 : 2);
    int i = s.addInstrument(f == Format::Mod ? modTriangle("tri", 60) : chipTriangle("tri"));
    s.note(0, 0, 60, i);
    s.ensureRows(128);
    return s;
}

std::vector<uint8_t> write(const Module& m) {
    return m.format == Format::Mod ? writeMod(m) : writeXm(m);
}

} // namespace

TEST(PatternScan, FindsEveryEffectKindInBothFormats) {
    for (Format f : {Format::Xm, Format::Mod}) {
        Song s = smallSong(f);
        s.effect(4, 0, 0x4, 0x34);  // vibrato
        s.effect(5, 0, 0x7, 0x22);  // tremolo
        s.effect(6, 0, 0x3, 0x10);  // slide to note
        s.effect(7, 0, 0xA, 0x02);  // volume slide
        s.effect(8, 0, 0xE, 0x93);  // retrigger
        s.effect(9, 0, 0xE, 0xC2);  // note cut
        s.effect(10, 0, 0x8, 0x40); // panning
        s.effect(11, 0, 0x0, 0x37); // arpeggio
        s.effect(12, 0, 0xE, 0x90); // retrigger of 0: nothing
        Module m = s.module();
        m.speed = 6;
        m.bpm = 125;
        m.rows[127][1].effect = 0xB;
        PatternScan scan = scanPatterns(write(m));
        ASSERT_TRUE(scan.ok);
        EXPECT_EQ(scan.format, f == Format::Mod ? "mod" : "xm");
        EXPECT_EQ(scan.expressionKinds(), 7);
        for (const char* k : {"arpeggio", "jump"}) EXPECT_TRUE(scan.kinds.count(k)) << k;
        EXPECT_EQ(scan.kinds.size(), 9u);
        EXPECT_NEAR(scan.seconds, 128 * 0.12, 1e-9);
        // Two patterns: the effects' column, the jump's column, and empty ones all alike.
        EXPECT_EQ(scan.tracks, 2 * m.channels);
        EXPECT_EQ(scan.distinctTracks, 3);
    }
}

TEST(PatternScan, ReadsTheXmVolumeColumnAndEnvelopes) {
    Song s = smallSong(Format::Xm);
    s.module().instruments[0].panEnvelope.points = {{0, 10}, {20, 50}};
    Module m = s.module();
    m.rows[3][0].volume = 40;
    Module base = m;
    EXPECT_EQ(scanPatterns(writeXm(base)).expressionKinds(), 0); // a set volume is no effect
    std::set<std::string> kinds;
    for (int byte : {0x62, 0x91, 0xB3, 0xC4, 0xF2}) classifyEffect(true, 0, 0, byte, kinds);
    EXPECT_EQ(kinds, (std::set<std::string>{"volume slide", "vibrato", "panning", "portamento"}));
    PatternScan scan = scanPatterns(writeXm(m));
    EXPECT_EQ(scan.envelopes, 1);
    EXPECT_EQ(scan.panEnvelopes, 1);
}

TEST(PatternScan, TimesEveryTempoChangeAndStopsAtTheLoop) {
    Song s = smallSong(Format::Xm);
    Module m = s.module();
    m.speed = 6;
    m.bpm = 125;
    auto fx = [&](int row, int effect, int param) {
        m.rows[row][1].effect = effect;
        m.rows[row][1].param = param;
    };
    fx(64, 0xF, 150); // second pattern: faster
    fx(100, 0xF, 3);  // and then half the ticks a row
    fx(110, 0xB, 0);  // loop here; the rest never plays
    fx(120, 0xF, 200);
    PatternScan scan = scanPatterns(writeXm(m));
    ASSERT_EQ(scan.tempo.size(), 2u);
    EXPECT_NEAR(scan.tempo[0].seconds, 64 * 0.12, 1e-9);
    EXPECT_EQ(scan.tempo[0].bpm, 150);
    EXPECT_EQ(scan.tempo[0].order, 1);
    EXPECT_EQ(scan.tempo[0].row, 0);
    EXPECT_NEAR(scan.tempo[1].seconds, 64 * 0.12 + 36 * 0.1, 1e-9);
    EXPECT_EQ(scan.tempo[1].speed, 3);
    EXPECT_NEAR(scan.seconds, 64 * 0.12 + 36 * 0.1 + 11 * 0.05, 1e-9);
}

TEST(PatternScan, RefusesOrSurvivesDamagedFiles) {
    std::vector<uint8_t> good = writeXm(smallSong(Format::Xm).module());
    for (size_t cut : {0ul, 40ul, 80ul, 340ul, good.size() / 2, good.size() - 1}) {
        std::vector<uint8_t> bytes(good.begin(), good.begin() + cut);
        scanPatterns(bytes); // must not crash or read past the end (the sanitizer build checks)
    }
    std::vector<uint8_t> bad = good;
    bad[70] = 0xff; // claims 255 patterns
    EXPECT_FALSE(scanPatterns(bad).ok);
    EXPECT_FALSE(scanPatterns({1, 2, 3}).ok);
    std::vector<uint8_t> mod = writeMod(smallSong(Format::Mod).module());
    mod.resize(1100);
    EXPECT_FALSE(scanPatterns(mod).ok);
}

namespace {

std::vector<float> tone(double hz, double left, double right, double seconds) {
    std::vector<float> out;
    for (int i = 0; i < seconds * 44100; ++i) {
        float v = static_cast<float>(std::sin(2 * M_PI * hz * i / 44100));
        out.push_back(static_cast<float>(v * left));
        out.push_back(static_cast<float>(v * right));
    }
    return out;
}

} // namespace

TEST(SoundStats, MeasuresSpreadBrightnessAndLevelOfKnownSignals) {
    SoundStats centre = soundStats(tone(440, 0.5, 0.5, 4), 44100);
    EXPECT_LT(centre.sideToMidDb, -100);
    EXPECT_LT(centre.highShare, 0.001);
    SoundStats hardLeft = soundStats(tone(8000, 0.5, 0, 4), 44100);
    EXPECT_NEAR(hardLeft.sideToMidDb, 0, 0.01);
    EXPECT_GT(hardLeft.highShare, 0.999);
    // Half the level on the right: side is a third of mid, 9.5 dB under.
    EXPECT_NEAR(soundStats(tone(440, 0.6, 0.3, 4), 44100).sideToMidDb, 20 * std::log10(1 / 3.0),
                0.01);
}

// The meter's reference points: a 1 kHz sine of amplitude A in both channels reads 20 log A
// LUFS (0 dBFS in one channel is -3.01 LUFS); a steady tone has no loudness range.
TEST(Loudness, ReadsTheReferenceToneAndASteadyTone) {
    Loudness steady = measureLoudness(tone(1000, 0.1, 0.1, 10), 44100);
    ASSERT_TRUE(steady.ok);
    EXPECT_NEAR(steady.integratedLufs, -20.0, 0.1);
    EXPECT_NEAR(steady.rangeLu, 0, 0.1);
    EXPECT_NEAR(steady.truePeakDbtp, -20.0, 0.1);
    EXPECT_NEAR(measureLoudness(tone(1000, 1.0, 0, 10), 44100).integratedLufs, -3.01, 0.1);
    // K-weighting: the same level at 60 Hz counts for less, at 4 kHz for more.
    EXPECT_LT(measureLoudness(tone(60, 0.1, 0.1, 10), 44100).integratedLufs, -20.5);
    EXPECT_GT(measureLoudness(tone(4000, 0.1, 0.1, 10), 44100).integratedLufs, -18.5);
    EXPECT_FALSE(measureLoudness(std::vector<float>(2 * 44100 * 5, 0.0f), 44100).ok);
}

TEST(Loudness, RangeFollowsSectionsAndTruePeakSeesBetweenSamples) {
    std::vector<float> sections; // 10 s loud, 10 s 12 dB softer, three times
    for (int i = 0; i < 6; ++i) {
        const double a = i % 2 ? 0.05 : 0.2;
        std::vector<float> part = tone(1000, a, a, 10);
        sections.insert(sections.end(), part.begin(), part.end());
    }
    Loudness varied = measureLoudness(sections, 44100);
    EXPECT_NEAR(varied.rangeLu, 20 * std::log10(0.2 / 0.05), 0.7);
    // A quarter of the rate, sampled 45 degrees off its crests: every sample is at 0.707 of the
    // peak, which only oversampling finds.
    std::vector<float> quarter;
    for (int i = 0; i < 44100 * 5; ++i) {
        const float v = static_cast<float>(0.5 * std::sin(M_PI / 2 * i + M_PI / 4));
        quarter.insert(quarter.end(), {v, v});
    }
    EXPECT_NEAR(measureLoudness(quarter, 44100).truePeakDbtp, 20 * std::log10(0.5), 0.3);
}

TEST(SoundStats, CountsQuietMomentsAndTheOpeningLevel) {
    std::vector<float> steps;
    for (double level : {0.05, 0.1, 0.2, 0.4, 0.4, 0.2, 0.1, 0.05, 0.4, 0.05}) {
        std::vector<float> part = tone(300, level, level, 4);
        steps.insert(steps.end(), part.begin(), part.end());
    }
    std::vector<float> hush(2 * 44100 / 2, 0.0f); // half a second of silence
    steps.insert(steps.end(), hush.begin(), hush.end());
    SoundStats st = soundStats(steps, 44100);
    EXPECT_NEAR(st.openingDb, 20 * std::log10(0.05 / std::sqrt(2.0)), 0.1);
    EXPECT_EQ(st.quietGaps, 10);
    EXPECT_GT(st.loudness.rangeLu, 10);
}
