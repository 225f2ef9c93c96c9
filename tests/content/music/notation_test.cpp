#include "content/music/notation.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace music;

TEST(Notation, MelodyCarriesLengthAndOctaveAndReadsAccidentals) {
    auto n = parseMelody("C4:4 D | Eb:2 F#5 r:4 G4:8 -:4 Cb4:1 B#3", 1);
    ASSERT_EQ(n.size(), 7u);
    EXPECT_EQ(n[0].pitch, 60);
    EXPECT_EQ(n[0].length, 4);
    EXPECT_EQ(n[1].pitch, 62); // octave and length carried over
    EXPECT_EQ(n[1].start, 4);
    EXPECT_EQ(n[1].length, 4);
    EXPECT_EQ(n[2].pitch, 63);
    EXPECT_EQ(n[2].start, 8);
    EXPECT_EQ(n[3].pitch, 78);
    EXPECT_EQ(n[3].length, 2);
    EXPECT_EQ(n[4].pitch, 67); // after the rest
    EXPECT_EQ(n[4].start, 16);
    EXPECT_EQ(n[4].length, 12); // tied
    EXPECT_EQ(n[5].pitch, 59);  // C flat belongs to the octave below
    EXPECT_EQ(n[6].pitch, 60);  // B sharp to the octave above
    EXPECT_EQ(spanOf(n), 30);
}

TEST(Notation, RowsPerUnitScalesEverything) {
    auto n = parseMelody("A4:3 B4:1", 2);
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[0].length, 6);
    EXPECT_EQ(n[1].start, 6);
    EXPECT_EQ(n[1].length, 2);
}

TEST(Notation, BadMelodiesAreRefusedWithTheToken) {
    EXPECT_THROW(parseMelody("H4:4", 1), std::runtime_error);
    EXPECT_THROW(parseMelody("C4:0", 1), std::runtime_error);
    EXPECT_THROW(parseMelody("C4:x", 1), std::runtime_error);
    EXPECT_THROW(parseMelody("-:4 C4", 1), std::runtime_error);
    EXPECT_THROW(parseMelody("C45", 1), std::runtime_error);
    try {
        parseMelody("C4 Q7", 1);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Q7"), std::string::npos);
    }
}

TEST(Notation, ChordsKnowTheirQualitiesAndBass) {
    auto c = parseChords("C:16 Am:8 G7 | F/A:16 Bbmaj7:4 - Edim7:4 Dsus4", 1);
    ASSERT_EQ(c.size(), 7u);
    EXPECT_EQ(c[0].pitchClasses(), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(c[1].pitchClasses(), (std::vector<int>{9, 0, 4}));
    EXPECT_EQ(c[2].pitchClasses(), (std::vector<int>{7, 11, 2, 5}));
    EXPECT_EQ(c[2].length, 8);
    EXPECT_EQ(c[3].root, 5);
    EXPECT_EQ(c[3].bass, 9);
    EXPECT_EQ(c[4].pitchClasses(), (std::vector<int>{10, 2, 5, 9}));
    EXPECT_EQ(c[4].length, 8); // held on by "-"
    EXPECT_EQ(c[5].start, 56);
    EXPECT_EQ(c[6].pitchClasses(), (std::vector<int>{2, 7, 9}));
    EXPECT_EQ(spanOf(c), 64);
    EXPECT_THROW(parseChords("Cfoo:4", 1), std::runtime_error);
    EXPECT_THROW(parseChords("- C", 1), std::runtime_error);
}

TEST(Notation, PhrasesCheckAndSlice) {
    EXPECT_THROW(makePhrase("C4:16 D4:4", "C:16", 1), std::runtime_error);
    Phrase p = makePhrase("C4:8 D4 | E4:16", "C:8 G:8 | Am:16", 1);
    EXPECT_EQ(p.rows, 32);
    Phrase s = slicePhrase(p, 8, 16);
    EXPECT_EQ(s.rows, 16);
    ASSERT_EQ(s.chords.size(), 2u);
    EXPECT_EQ(s.chords[0].start, 0);
    EXPECT_EQ(s.chords[0].length, 8);
    EXPECT_EQ(s.chords[1].length, 8); // clipped to the window
    ASSERT_EQ(s.melody.size(), 2u);
    EXPECT_EQ(s.melody[1].pitch, 64);
    EXPECT_EQ(s.melody[1].length, 8);
    auto t = transposed(p.chords, -3);
    EXPECT_EQ(t[0].root, 9);
    EXPECT_EQ(transposed(p.melody, 12)[0].pitch, 72);
}
