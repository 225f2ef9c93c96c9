// The arranger's expression pass: each effect lands where a player would want it and only in
// cells the composition left free, in the form each format can hold.

#include "content/music/expression.h"
#include "content/music/instruments.h"
#include "content/music/writers.h"
#include "render.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace music;

namespace {

Song twoVoices(Format f) {
    Song s("expr", f, 4);
    s.addInstrument(f == Format::Mod ? modTriangle("a", 72) : chipTriangle("a"));
    s.addInstrument(f == Format::Mod ? modSaw("b", 60, 0) : sawLead("b", 1));
    s.ensureRows(64);
    return s;
}

Expression leadOn(int ch) {
    Expression e;
    e.channels = {{ch, Role::Lead, 64}};
    e.vibrato = 0x43;
    e.vibratoAfter = 3;
    e.vibratoMinRows = 6;
    e.fade = 1;
    e.fadeMinRows = 8;
    e.slideEvery = 1;
    return e;
}

} // namespace

TEST(Expression, HeldXmNotesGetDelayedVibratoAndAFadingTail) {
    Song s = twoVoices(Format::Xm);
    s.note(4, 0, 60, 1, 40);
    s.off(20, 0);
    express(s, leadOn(0));
    const auto& rows = s.module().rows;
    EXPECT_FALSE(rows[4][0].hasEffect()); // the note itself is struck plainly
    for (int r = 5; r < 7; ++r) EXPECT_FALSE(rows[r][0].hasEffect()) << r;
    for (int r = 7; r < 20; ++r) EXPECT_EQ(rows[r][0].effect, 0x4) << r;
    EXPECT_EQ(rows[7][0].param, 0x43);
    EXPECT_EQ(rows[12][0].volumeFx, 0x61); // the tail, from halfway, every other row
    EXPECT_EQ(rows[13][0].volumeFx, 0);
    EXPECT_EQ(rows[20][0].note, NOTE_OFF);
    EXPECT_FALSE(rows[20][0].hasEffect());
    EXPECT_NO_THROW(writeXm(s.module()));
}

TEST(Expression, SlidesIntoNearLegatoStepsOnly) {
    for (Format f : {Format::Xm, Format::Mod}) {
        Song s = twoVoices(f);
        s.note(2, 1, 60, 1);
        s.note(6, 1, 62, 1);  // a step: slides
        s.note(10, 1, 69, 1); // a leap: struck
        s.note(14, 1, 67, 1);
        s.off(17, 1); // released a row early: still slurred into the next
        s.note(18, 1, 65, 1);
        s.note(24, 1, 64, 2); // another instrument: struck
        Expression e = leadOn(1);
        e.vibrato = 0;
        e.fade = 0;
        express(s, e);
        const auto& rows = s.module().rows;
        EXPECT_EQ(rows[6][1].effect, 0x3);
        EXPECT_GT(rows[6][1].param, 0);
        EXPECT_EQ(rows[7][1].effect, 0x3); // carried on
        EXPECT_EQ(rows[7][1].param, 0);
        EXPECT_EQ(rows[6][1].instrument, f == Format::Mod ? 1 : 0);
        EXPECT_FALSE(rows[10][1].hasEffect());
        EXPECT_EQ(rows[14][1].effect, 0x3);
        EXPECT_EQ(rows[17][1].note, NOTE_NONE); // the release between went
        EXPECT_EQ(rows[18][1].effect, 0x3);
        EXPECT_FALSE(rows[24][1].hasEffect());
        EXPECT_NO_THROW(f == Format::Mod ? writeMod(s.module()) : writeXm(s.module()));
    }
}

TEST(Expression, ModUsesOneColumnAndKeepsWrittenVolumes) {
    Song s = twoVoices(Format::Mod);
    const int own = s.module().instruments[0].volume;
    s.note(2, 0, 72, 1, 30);
    s.note(4, 0, 74, 1, 30); // a step, but its accent leaves no room for the slide
    s.off(20, 0);
    s.note(24, 0, 72, 1, 30);
    s.note(26, 0, 74, 1, own); // the sample's own volume is dropped to make room
    s.note(30, 0, 79, 1, 30);
    s.off(33, 0);
    Expression e = leadOn(0);
    e.crispGates = true;
    express(s, e);
    const auto& rows = s.module().rows;
    EXPECT_EQ(rows[4][0].volume, 30);
    EXPECT_FALSE(rows[4][0].hasEffect());
    // Vibrato, then vibrato with the fade (6xy) in the one column.
    EXPECT_EQ(rows[8][0].effect, 0x4);
    EXPECT_EQ(rows[12][0].effect, 0x6);
    EXPECT_EQ(rows[12][0].param, 0x01);
    EXPECT_EQ(rows[20][0].note, NOTE_OFF); // the row before is taken by the vibrato
    EXPECT_EQ(rows[26][0].volume, -1);
    EXPECT_EQ(rows[26][0].effect, 0x3);
    // A short note's release becomes a cut in the middle of the row before.
    EXPECT_EQ(rows[32][0].effect, 0xE);
    EXPECT_EQ(rows[32][0].param, 0xC3);
    EXPECT_EQ(rows[33][0].note, NOTE_NONE);
    for (const auto& row : rows)
        for (const Cell& c : row) EXPECT_EQ(c.volumeFx, 0);
    EXPECT_NO_THROW(writeMod(s.module()));
}

TEST(Expression, LeavesTheFirstAndLastRowsToTheTempoAndTheLoop) {
    Song s = twoVoices(Format::Mod);
    for (int ch = 0; ch < 4; ++ch) {
        s.note(0, ch, 72, 1);
        s.off(62, ch);
    }
    Expression e = leadOn(0);
    e.channels = {{0, Role::Lead}, {1, Role::Bass}, {2, Role::Drums}, {3, Role::Hats}};
    e.crispGates = true;
    e.rollEvery = 64;
    express(s, e);
    for (int ch = 0; ch < 4; ++ch) EXPECT_FALSE(s.module().rows[0][ch].hasEffect());
    EXPECT_NO_THROW(s.finish(64 * 0.12, 6, 1.0)); // still room for the tempo and the jump
}

TEST(Expression, PadsSwellAndDrumsRollIntoTheNextPattern) {
    Song s = twoVoices(Format::Xm);
    s.note(8, 2, 60, 2, 40);
    s.off(40, 2);
    for (int r = 0; r < 64; r += 2) s.note(r, 3, 60, 1, 50);
    Expression e;
    e.channels = {{2, Role::Pad, 40}, {3, Role::Drums, 128}};
    e.swell = 50;
    e.tremolo = 0x42;
    e.panDrift = 2;
    e.rollEvery = 32;
    express(s, e);
    const auto& rows = s.module().rows;
    EXPECT_EQ(rows[8][2].volume, 20);
    int rise = 0;
    for (int r = 9; r < 40; ++r) rise += rows[r][2].volumeFx == 0x71 ? 5 : 0;
    EXPECT_GE(rise, 20); // back up to the written level
    EXPECT_EQ(rows[20][2].effect, 0x7);
    bool drift = false;
    for (int r = 9; r < 40; ++r) drift |= (rows[r][2].volumeFx & 0xF0) >= 0xD0;
    EXPECT_TRUE(drift);
    EXPECT_EQ(rows[30][3].effect, 0xE); // the last hit before row 32
    EXPECT_EQ(rows[30][3].param, 0x93);
    EXPECT_FALSE(rows[28][3].hasEffect());
}

TEST(Expression, PlacesVoicesAcrossTheFieldInTheRender) {
    Song s("field", Format::Xm, 4);
    int own = s.addInstrument(chipTriangle("left"));
    int shared = s.addInstrument(chipPulse("shared", 0.5));
    for (int r = 0; r < 64; r += 8) {
        s.note(r, 0, 60, own, 40);
        s.note(r, 1, 67, shared, 40);
        s.note(r + 4, 2, 64, shared, 40);
    }
    placeChannels(s, {{0, Role::Plain, 0}, {1, Role::Plain, 255}, {2, Role::Plain, 128}});
    const Module& m = s.module();
    EXPECT_EQ(m.instruments[own - 1].pan, 0); // one channel's own sound takes its place
    EXPECT_EQ(m.rows[8][1].effect, 0x8);      // a shared one is placed note by note
    EXPECT_EQ(m.rows[8][1].param, 255);
    EXPECT_FALSE(m.rows[12][2].hasEffect()); // already in the middle
    s.finish(64 * 0.12, 6, 1.0);
    Rendered r = renderModule(writeXm(s.module()), 4.0);
    ASSERT_TRUE(r.loaded);
    double left = 0, right = 0;
    for (size_t i = 0; i < r.stereo.size(); i += 2) {
        left += r.stereo[i] * r.stereo[i];
        right += r.stereo[i + 1] * r.stereo[i + 1];
    }
    EXPECT_GT(std::fabs(10 * std::log10(left / right)), 1.0); // not mono any more
}
