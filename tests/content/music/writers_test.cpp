// Modules written by the XM and MOD writers, checked by playing them in libopenmpt and libxmp:
// pitch, format limits, pattern sharing, playing time and the loop back to the start.

#include "content/music/instruments.h"
#include "content/music/song.h"
#include "content/music/synth.h"
#include "content/music/writers.h"
#include "render.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <stdexcept>

using namespace music;

namespace {

std::vector<uint8_t> write(const Module& m) {
    return m.format == Format::Mod ? writeMod(m) : writeXm(m);
}

// One instrument holding one long note, then a release; played at 125 bpm, speed 6.
Module oneNote(Format f, Instrument in, int pitch) {
    Song s("tone", f, f == Format::Mod ? 4 : 2);
    int i = s.addInstrument(std::move(in));
    s.note(0, 0, pitch, i, 48);
    if (f == Format::Mod) s.at(0, 0).volume = -1; // leave the effect column to the tempo
    s.ensureRows(32);
    s.finish(32 * 0.12, 6, 1.0);
    return s.module();
}

double cents(double hz, double want) {
    return 1200.0 * std::log2(hz / want);
}

double measuredPitch(const Module& m) {
    Rendered r = renderModule(write(m), 2.0);
    EXPECT_TRUE(r.loaded);
    std::vector<float> mono = r.mono();
    EXPECT_GT(mono.size(), 30000u);
    return pitchOf(mono, 8000, 8192, 44100);
}

} // namespace

TEST(Writers, XmNotesSoundAtTheirPitch) {
    EXPECT_NEAR(cents(measuredPitch(oneNote(Format::Xm, sineBass("sine"), 57)), 220.0), 0, 10);
    EXPECT_NEAR(cents(measuredPitch(oneNote(Format::Xm, sineBass("sine"), 69)), 440.0), 0, 10);
    EXPECT_NEAR(cents(measuredPitch(oneNote(Format::Xm, chipTriangle("tri"), 64)), 329.63), 0, 10);
    // A plucked string's pitch comes from its delay line: the writer must tune out the rounding.
    EXPECT_NEAR(
        cents(measuredPitch(oneNote(Format::Xm, pluck("p", 22050, 60, 1.0, 0.999, 1), 62)), 293.66),
        0, 12);
}

TEST(Writers, ModNotesSoundAtTheirPitchAfterFinetune) {
    EXPECT_NEAR(cents(measuredPitch(oneNote(Format::Mod, modTriangle("tri", 72), 69)), 440.0), 0,
                14);
    EXPECT_NEAR(cents(measuredPitch(oneNote(Format::Mod, modTriangle("tri", 60), 50)), 146.83), 0,
                14);
    EXPECT_NEAR(
        cents(measuredPitch(oneNote(Format::Mod, pluck("p", kModDrumRate, 72, 1.0, 0.999, 2), 67)),
              392.0),
        0, 14);
}

TEST(Writers, RefuseWhatTheFormatCannotHold) {
    Module xm = oneNote(Format::Xm, sineBass("sine"), 60);
    xm.rows[1][0].note = 120; // above B-7
    EXPECT_THROW(writeXm(xm), std::runtime_error);

    Module mod = oneNote(Format::Mod, modTriangle("tri", 72), 69);
    Module high = mod;
    high.rows[1][1] = Cell{96, 1, -1, 0, 0}; // three octaves above the sample's C-2
    EXPECT_THROW(writeMod(high), std::runtime_error);
    Module clash = mod;
    clash.rows[2][1] = Cell{NOTE_NONE, 0, 40, 0xE, 0x93}; // volume needs the effect column
    EXPECT_THROW(writeMod(clash), std::runtime_error);
    Module noSample = mod;
    noSample.rows[3][1] = Cell{69, 0, -1, 0, 0};
    EXPECT_THROW(writeMod(noSample), std::runtime_error);
    Module wide = mod;
    wide.channels = 6;
    EXPECT_THROW(writeMod(wide), std::runtime_error);
    Module odd = mod;
    odd.instruments[0].loopStart = 1;
    EXPECT_THROW(writeMod(odd), std::runtime_error);
}

TEST(Writers, RepeatedBlocksShareOnePattern) {
    Song s("share", Format::Xm, 2);
    int i = s.addInstrument(chipTriangle("tri"));
    for (int block = 0; block < 5; ++block) s.note(block * 64, 1, 60 + (block % 2) * 7, i);
    s.ensureRows(5 * 64);
    s.finish(5 * 64 * 0.12, 6, 1.0);
    Module m = s.module();
    // The tempo fits exactly, so XM keeps it in the header: blocks 0 and 2 are the same, so
    // are 1 and 3, and block 4 differs by its closing jump.
    std::vector<uint8_t> bytes = writeXm(m);
    openmpt_module* om = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(om, nullptr);
    EXPECT_EQ(openmpt_module_get_num_orders(om), 5);
    EXPECT_EQ(openmpt_module_get_num_patterns(om), 3);
    EXPECT_EQ(openmpt_module_get_order_pattern(om, 0), openmpt_module_get_order_pattern(om, 2));
    EXPECT_EQ(openmpt_module_get_order_pattern(om, 1), openmpt_module_get_order_pattern(om, 3));
    EXPECT_NE(openmpt_module_get_order_pattern(om, 1), openmpt_module_get_order_pattern(om, 2));
    openmpt_module_destroy(om);
}

TEST(Writers, SongsPlayForTheirTimeAndLoopToTheStart) {
    struct Case {
        Format format;
        int rows;
        double seconds;
    };
    for (Case c : {Case{Format::Xm, 256, 30.0}, Case{Format::Xm, 640, 61.3},
                   Case{Format::Mod, 512, 47.7}, Case{Format::Mod, 100, 9.1}}) {
        Song s("timing", c.format, 4);
        int i =
            s.addInstrument(c.format == Format::Mod ? modTriangle("tri", 72) : sineBass("sine"));
        for (int r = 0; r < c.rows; r += 4) s.note(r, 1, 60 + (r / 4) % 12, i);
        s.finish(c.seconds, 6, 1.0);
        Rendered r = renderModule(write(s.module()), 0); // only the measured time is needed
        ASSERT_TRUE(r.loaded);
        EXPECT_NEAR(r.duration, c.seconds, 0.15) << c.rows << " rows";
        // One tempo throughout: only the MOD's opening row sets it, nothing changes later.
        for (size_t row = 1; row < s.module().rows.size(); ++row)
            for (const Cell& cell : s.module().rows[row]) EXPECT_NE(cell.effect, 0xF) << row;
        EXPECT_EQ(r.type, c.format == Format::Mod ? "mod" : "xm");
    }
}

TEST(Writers, GainScalesEveryVolume) {
    Song s("gain", Format::Xm, 2);
    Instrument in = sineBass("sine");
    in.volume = 40;
    int i = s.addInstrument(in);
    s.note(0, 0, 60, i, 50);
    s.note(4, 0, 60, i);
    s.ensureRows(16);
    s.finish(16 * 0.12, 6, 1.5);
    EXPECT_EQ(s.module().rows[0][0].volume, 64); // clamped
    EXPECT_EQ(s.module().instruments[0].volume, 60);
    EXPECT_EQ(s.module().rows[4][0].volume, -1);
}

TEST(Writers, SampleDataUsesTheFullRange) {
    std::vector<float> d{0.0f, 0.25f, -0.5f};
    auto w = quantise16(d);
    EXPECT_EQ(w[2], -32767);
    EXPECT_EQ(w[1], 16384);
    auto n = quantise8(d);
    EXPECT_EQ(n[2], -127);
    EXPECT_EQ(n[1], 64);
    EXPECT_EQ(quantise8(std::vector<float>(4, 0.0f)),
              std::vector<int8_t>(4, 0)); // silence stays silence
}

TEST(Writers, AnEndingLengthenedToFitLetsTheLastNotesRingOn) {
    Song s("ring", Format::Xm, 2);
    int i = s.addInstrument(sineBass("sine"));
    s.note(0, 0, 60, i);
    s.off(27, 0);
    s.ensureRows(30);
    s.finish(12, 6, 1.0); // no whole tempo plays 30 rows in 12 s within 0.1 s; 31 rows do
    const Module& m = s.module();
    ASSERT_EQ(m.rows.size(), 31u);
    EXPECT_EQ(m.bpm, 39);
    EXPECT_EQ(m.rows[27][0].note, NOTE_NONE);
    EXPECT_EQ(m.rows[29][0].note, NOTE_OFF);
    EXPECT_NEAR(playingSeconds(m), 12, 0.1);
}
